#pragma once

// The program started on a small stack as the user starts it with a stack file: background
// "Item" with Name (the card name), Note (Text) and a button Buy whose "select" handler puts a
// field that does not exist; background "Other" with Tag; cards A, B and C of "Item". The
// stack carries a script of one handler. Tear-down leaves the stack without questions and
// unloads every window.

#include "EditorUser.h"
#include "ProgramFixture.h"
#include "editors/VexilScriptEdit.h"
#include "editors/VexilStackEdit.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilMsg.h"
#include "script/VexilCompiler.h"
#include "shell/VexilStackCmds.h"

#include <QAbstractButton>
#include <QTextCursor>

class ScriptStackFixture : public ProgramFixture
{
protected:
    static inline const QStringList kBuyScript = {"On select", "  Put Field \"Nowhere\" Into Field \"Note\"", "End"};
    static inline const QString kStackScript = QStringLiteral("On openCard\r\nEnd");

    void SetUp() override
    {
        Start({MakeShop()});
        ASSERT_TRUE(gStack);
    }

    static QString CrLf(const QStringList& aLines) { return aLines.join(QStringLiteral("\r\n")); }

    template <class T>
    static void SetScript(T& aObj, const QString& aSource)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        // The program's compiler is made when it starts, after the stack file.
        CVexilCompiler compiler;
        compiler.Construct();
        compiler.Compile(aSource, *script);
        aObj.SetScriptSource(aSource);
        aObj.SetScript(script);
    }

    QString MakeShop() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Shop"));
        const TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        auto add = [&](const TControlSetRef& aBackground, const QString& aName, int32_t aType, int32_t aFlags) {
            return ShownField(*stack, *aBackground, aName, aType, aFlags);
        };
        const TControlRef name = add(item, QStringLiteral("Name"), EConTypeText, EConCardName);
        add(item, QStringLiteral("Note"), EConTypeText, 0);
        SetScript(*add(item, QStringLiteral("Buy"), EConTypeCommand, EConAsButton), CrLf(kBuyScript));
        const TControlSetRef other = NewBackground(*stack, QStringLiteral("Other"));
        add(other, QStringLiteral("Tag"), EConTypeText, 0);
        for (const char* card : {"A", "B", "C"})
            NewCard(*stack, QLatin1String(card), item)->SetControlVal(name->Id(), Val::Str(QLatin1String(card)));
        SetScript(*stack, kStackScript);
        const QString path = QDir(StackFolder()).filePath(QStringLiteral("Shop.xml"));
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        CVexilStackFile file;
        file.Construct(path);
        file.SaveStack(stack, rec);
        return path;
    }

    // ---- the model

    static TControlSetRef Background(const QString& aName)
    {
        TControlSetRef background;
        EXPECT_TRUE(gStack->GetBackgroundByName(aName, background)) << aName.toStdString();
        return background;
    }
    static TControlRef Field(const QString& aName, const QString& aBackground = QStringLiteral("Item"))
    {
        TControlRef field;
        EXPECT_TRUE(Background(aBackground)->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }
    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }

    // ---- the windows and the user

    static CVexilScriptEdit* ScriptEditor()
    {
        return static_cast<CVexilScriptEdit*>(Loaded(CVexilScriptEdit::KClassName));
    }
    static CVexilStackEdit* StackEditor()
    {
        return static_cast<CVexilStackEdit*>(Loaded(CVexilStackEdit::KClassName));
    }
    // The stack editor as the user opens it: Stack > Info...
    static CVexilStackEdit* OpenStackEditor()
    {
        Item(QStringLiteral("fEditStack"))->trigger();
        CVexilStackEdit* editor = StackEditor();
        EXPECT_NE(editor, nullptr);
        if (editor)
        {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(editor));
        }
        return editor;
    }

    static void Click(QAbstractButton* aButton) { QTest::mouseClick(aButton, Qt::LeftButton); }

    // Keys typed at the end of the source box, Enter for each "\n".
    static void TypeAtEnd(const QString& aText)
    {
        QTextEdit* box = ScriptEditor()->fSource;
        box->moveCursor(QTextCursor::End);
        const QStringList lines = aText.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i)
        {
            if (i > 0)
                QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClicks(box, lines[i]);
        }
    }

    // The next question is answered.
    static void Answer(bool aYes) { ScriptedPrompts::Instance().ExpectMessage(aYes); }

    // The messages shown since the test began, as "id p0 p1" (empty parameters left out).
    static QStringList Shown() { return EditorUser::Shown(); }
};
