#pragma once

// The field editor on a small stack opened as the program opens a stack file: one background
// "Item" with the fields Name (the card name), Cost (Real, 2 decimal places), Count (Integer)
// and Note (Text), and five cards A to E of which A, B and C have a Count. The window is real
// and shown on the offscreen platform; the user's clicks, keys and picks are real events.

#include "EditorUser.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TempRegistry.h"
#include "TestEnv.h"
#include "ValueBuild.h"
#include "editors/VexilCardSelect.h"
#include "editors/VexilControlEdit.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackHost.h"
#include "model/VexilStackViewRec.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilCurrentStack.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackView.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilWinMan.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class ControlEditFixture : public ::testing::Test
{
protected:
    static inline const QStringList kCards = {"A", "B", "C", "D", "E"};

    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilCurrentStack::Install();
        CVexilDialogLib::InitDialogLib();
        CVexilWinMan::RegisterForms();
        CVexilControlEdit::Register();
        CVexilCardSelect::Register();
        if (!gCompiler)
        {
            gCompiler = std::make_unique<CVexilCompiler>();
            gCompiler->Construct();
        }
        if (!gInterpreter)
        {
            gInterpreter = std::make_unique<CVexilInterpreter>();
            gInterpreter->Construct();
        }
    }

    void SetUp() override { Open(BuildStack()); }

    void TearDown() override
    {
        if (gStackView)
            gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        // The editor and every picker it opened.
        CVexilFormRegistry::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static TControlRef AddField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName,
                                int32_t aType, int32_t aFlags = 0)
    {
        TControlRef field = NewField(aStack, aBackground, aName, aType);
        field->SetFlags(EConInCardView | aFlags);
        field->SetLabel(aName);
        return field;
    }

    static TStackRef BuildStack()
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Shop"));
        TControlSetRef item = stack->Background(0);
        item->SetName(QStringLiteral("Item"));
        const TControlRef name = AddField(*stack, *item, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef cost = AddField(*stack, *item, QStringLiteral("Cost"), EConTypeReal);
        cost->SetDigits(2);
        const TControlRef count = AddField(*stack, *item, QStringLiteral("Count"), EConTypeInteger);
        AddField(*stack, *item, QStringLiteral("Note"), EConTypeText);
        for (int i = 0; i < kCards.size(); ++i)
        {
            const TCardRef card = NewCard(*stack, kCards[i], item);
            card->SetControlVal(name->Id(), Val::Str(kCards[i]));
            if (i < 3)
                card->SetControlVal(count->Id(), Val::Int(i + 1));
        }
        return stack;
    }

    // Saves the stack to the temporary folder and opens it as the current stack.
    void Open(const TStackRef& aStack)
    {
        const QString path = iDir.File(QStringLiteral("Shop.xml"));
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        CVexilStackFile file;
        file.Construct(path);
        file.SaveStack(aStack, rec);
        CVexilStackHost::HandleLoadStack(path);
        ASSERT_TRUE(gStack);
    }

    // The current stack as it would be saved, to tell whether anything changed.
    QByteArray Saved()
    {
        const QString path = iDir.File(QStringLiteral("Saved%1.xml").arg(++iSaves));
        CVexilStackFile file;
        file.Construct(path);
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        file.SaveStack(gStack, rec);
        QFile saved(path);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        return saved.readAll();
    }

    // ---- the model

    static TControlSetRef Item()
    {
        TControlSetRef background;
        EXPECT_TRUE(gStack->GetBackgroundByName(QStringLiteral("Item"), background));
        return background;
    }
    static TControlRef Field(const QString& aName, const TControlSetRef& aBackground = Item())
    {
        TControlRef field;
        return aBackground->GetControlByName(aName, field) ? field : nullptr;
    }
    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card)) << aName.toStdString();
        return card;
    }
    // The names of the background's fields in display order.
    static QStringList FieldNames(const TControlSetRef& aBackground = Item())
    {
        QStringList names;
        TControlRef field;
        int32_t cursor = 0;
        for (bool more = aBackground->GetFirstControl(field, cursor); more;
             more = aBackground->GetNextControl(field, cursor))
            names += field->Name();
        return names;
    }
    // The names of the cards of the background in stack order.
    static QStringList CardNames(const TControlSetRef& aBackground = Item())
    {
        QStringList names;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstCardInBackground(aBackground->Id(), card, cursor); more;
             more = gStack->GetNextCardInBackground(aBackground->Id(), card, cursor))
            names += card->Name();
        return names;
    }
    // Each card's stored value of the field as its neutral text ("-" for none).
    static QStringList Values(const TControlRef& aField, const TControlSetRef& aBackground = Item())
    {
        QStringList values;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstCardInBackground(aBackground->Id(), card, cursor); more;
             more = gStack->GetNextCardInBackground(aBackground->Id(), card, cursor))
        {
            TValue val;
            card->GetControlVal(aField->Id(), val, false);
            values += val.iType == EValUndef ? QStringLiteral("-") : CVexilValue::ValToIntText(val);
        }
        return values;
    }

    // ---- the window and the user

    // The field editor, shown and active.
    static CVexilControlEdit* Editor()
    {
        auto* editor = static_cast<CVexilControlEdit*>(CVexilWinMan::NameToForm(CVexilControlEdit::KClassName));
        if (!editor->isVisible())
        {
            CVexilWinMan::ShowForm(*editor);
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }

    static void Click(QAbstractButton* aButton) { QTest::mouseClick(aButton, Qt::LeftButton); }

    // A click on the line of a list view that shows that text in its first column.
    static void ClickLine(QTreeWidget* aView, const QString& aText, bool aDouble = false)
    {
        const QList<QTreeWidgetItem*> items = aView->findItems(aText, Qt::MatchExactly, 0);
        ASSERT_FALSE(items.isEmpty()) << aText.toStdString();
        const QPoint at = aView->visualItemRect(items.first()).center();
        QTest::mouseClick(aView->viewport(), Qt::LeftButton, {}, at);
        if (aDouble)
            QTest::mouseDClick(aView->viewport(), Qt::LeftButton, {}, at);
    }

    // The field's line clicked in the list of fields: the field is shown for changing.
    static void ShowField(const QString& aName) { ClickLine(Editor()->fControlBox, aName); }

    // The user opens the combo box's list and clicks the line that starts with the text.
    static void Pick(QComboBox* aCombo, const QString& aText) { EditorUser::Pick(aCombo, aText); }

    // The box's text replaced as the user types it, the focus left in the box.
    static void Type(QLineEdit* aBox, const QString& aText)
    {
        QTest::mouseClick(aBox, Qt::LeftButton);
        QTest::keyClick(aBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(aBox, Qt::Key_Delete);
        QTest::keyClicks(aBox, aText);
    }

    // Tab from the widget that has the focus.
    static void Tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

    static void Tick(QCheckBox* aBox, bool aOn)
    {
        if (aBox->isChecked() != aOn)
            QTest::mouseClick(aBox, Qt::LeftButton, {}, QPoint(8, aBox->height() / 2));
    }

    // The messages shown since the test began, as "id p0 p1".
    static QStringList Shown()
    {
        QStringList shown;
        for (const TMsgPrompt& prompt : ScriptedPrompts::Instance().Messages())
        {
            QString line = QString::number(prompt.Id);
            for (const QString& param : prompt.Params)
                if (param != CVexilMsg::Undef)
                    line += QLatin1Char(' ') + param;
            shown += line;
        }
        return shown;
    }

    TempDir iDir;
    TempRegistry iRegistry;
    int iSaves = 0;
};
