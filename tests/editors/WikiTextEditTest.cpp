// The wiki text editor on a card window: opened by a double click on a rich-text field, it
// edits the field's text, wraps the selection in a link and saves into the card only while
// card and field are still there.

#include "../presentation/CardWindowUser.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "ValueBuild.h"
#include "app/VexilWindowClasses.h"
#include "editors/VexilWikiTextEdit.h"
#include "foundation/VexilDialogLib.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackHost.h"
#include "model/VexilStackViewRec.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilCurrentStack.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

#include <QCoreApplication>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <optional>

using namespace CardWindowUser;

// A stack of one background "Page": Name (the card name), Wiki (wiki text, 4 lines), Count (an
// Integer of 3 lines) and Fixed (read-only wiki text), with the cards Home and Away; the card
// window shows Home, the first card.
class WikiTextEditTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CVexilCardWidgets::Start();
        CVexilCurrentStack::Install();
        CVexilDialogLib::InitDialogLib();
        CVexilWinMan::RegisterForms();
        CVexilWikiTextEdit::Register();
        CVexilProgramWindows::Install();
    }
    static void TearDownTestSuite() { CVexilStackViewWindows::Install(nullptr); }

    void SetUp() override
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Wiki"));
        const TControlSetRef page = stack->Background(0);
        page->SetName(QStringLiteral("Page"));
        const auto add = [&](const QString& aName, int32_t aType, int32_t aFlags, int16_t aLines) {
            const TControlRef field = NewField(*stack, *page, aName, aType);
            field->SetFlags(EConInCardView | aFlags);
            field->SetLabel(aName);
            field->SetVisLines(aLines);
            field->SetVisChar(30);
            return field;
        };
        const TControlRef name = add(QStringLiteral("Name"), EConTypeText, EConCardName, 1);
        const TControlRef wiki = add(QStringLiteral("Wiki"), EConTypeText, EConWikiText, 4);
        const TControlRef count = add(QStringLiteral("Count"), EConTypeInteger, 0, 3);
        const TControlRef fixed = add(QStringLiteral("Fixed"), EConTypeText, EConWikiText | EConReadOnly, 3);
        const TCardRef home = NewCard(*stack, QStringLiteral("Home"), page);
        home->SetControlVal(name->Id(), Val::Str(QStringLiteral("Home")));
        NewCard(*stack, QStringLiteral("Away"), page)->SetControlVal(name->Id(), Val::Str(QStringLiteral("Away")));
        home->SetControlVal(wiki->Id(), Val::Str(QStringLiteral("Go **home** page")));
        home->SetControlVal(count->Id(), Val::Int(7));
        home->SetControlVal(fixed->Id(), Val::Str(QStringLiteral("kept")));

        const QString path = iDir.File(QStringLiteral("Wiki.xml"));
        auto rec = std::make_shared<CVexilStackViewRec>();
        rec->Contruct(QStringLiteral("View"));
        CVexilStackFile file;
        file.Construct(path);
        file.SaveStack(stack, rec);
        CVexilStackHost::HandleLoadStack(path);
        ASSERT_TRUE(gStackView);
        Activate(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
    }

    void TearDown() override
    {
        if (gStackView)
            gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        CVexilFormRegistry::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(gStack->GetCard(aName, card));
        return card;
    }
    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field));
        return field;
    }
    static TValue Stored(const QString& aField, const QString& aCard = QStringLiteral("Home"))
    {
        TValue val;
        Card(aCard)->GetControlVal(Field(aField)->Id(), val, false);
        return val;
    }
    static CVexilWikiTextEdit* Editor()
    {
        return static_cast<CVexilWikiTextEdit*>(CVexilFormRegistry::Loaded(CVexilWikiTextEdit::KClassName));
    }
    // The user double-clicks the field on the card window: the editor opens on it.
    static CVexilWikiTextEdit* OpenEditor(const QString& aField)
    {
        QTest::mouseDClick(Input(Field(aField)), Qt::LeftButton);
        CVexilWikiTextEdit* editor = Editor();
        EXPECT_NE(editor, nullptr);
        if (editor)
        {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(editor));
        }
        return editor;
    }
    // The editor's text replaced as the user types it; "\n" is the Return key.
    static void TypeText(CVexilWikiTextEdit& aEditor, const QString& aText)
    {
        CVexilRichTextBox* box = aEditor.fWikiText;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        const QStringList lines = aText.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i)
        {
            if (i > 0)
                QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClicks(box, lines[i]);
        }
    }
    // The user selects aLength characters from aStart with the keys.
    static void Select(CVexilWikiTextEdit& aEditor, int aStart, int aLength)
    {
        CVexilRichTextBox* box = aEditor.fWikiText;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < aStart; ++i)
            QTest::keyClick(box, Qt::Key_Right);
        for (int i = 0; i < aLength; ++i)
            QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    }
    static QString Shown(const QString& aField)
    {
        return qobject_cast<CVexilRichTextBox*>(Field(aField)->BaseControl())->toPlainText();
    }

    TempDir iDir;
};

TEST_F(WikiTextEditTest, SelectionToLinkWrapsTheSelectionLeavingATrailingBlankOutside)
{
    struct TCase
    {
        QString Text;
        int Start;
        int Length;
        std::optional<QString> Result;
    };
    const std::vector<TCase> cases = {
        {"Home page", 0, 5, QStringLiteral("[[Home]] page")},
        {"Go Home", 3, 4, QStringLiteral("Go [[Home]]")},
        {"a b", 0, 3, QStringLiteral("[[a b]]")},
        {"a b", 1, 1, std::nullopt},
        {"ab", 1, 0, std::nullopt},
        {"x\ny", 0, 3, QStringLiteral("[[x\ny]]")},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CVexilWikiTextEdit::SelectionToLink(c.Text, c.Start, c.Length), c.Result) << c.Text.toStdString();

    // As the user does it.
    CVexilWikiTextEdit* editor = OpenEditor(QStringLiteral("Wiki"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Caption(), QStringLiteral("Edit Wiki Text"));
    EXPECT_EQ(editor->fWikiText->toPlainText(), QStringLiteral("Go **home** page"));
    Select(*editor, 0, 3);
    QTest::mouseClick(editor->fSelToLinkBut, Qt::LeftButton);
    EXPECT_EQ(editor->fWikiText->toPlainText(), QStringLiteral("[[Go]] **home** page"));
    // One blank, or nothing, selected.
    for (const auto& [start, length] : {std::pair{6, 1}, std::pair{5, 0}})
    {
        Select(*editor, start, length);
        QTest::mouseClick(editor->fSelToLinkBut, Qt::LeftButton);
        EXPECT_EQ(editor->fWikiText->toPlainText(), QStringLiteral("[[Go]] **home** page"));
    }
    // Cancel stores nothing.
    QTest::mouseClick(editor->fCancelBut, Qt::LeftButton);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Stored(QStringLiteral("Wiki")).iStr, QStringLiteral("Go **home** page"));
}

TEST_F(WikiTextEditTest, SaveStoresParagraphsWithCrLfAndTheCardWindowShowsThem)
{
    EXPECT_EQ(Shown(QStringLiteral("Wiki")), QStringLiteral("Go home page"));
    CVexilWikiTextEdit* editor = OpenEditor(QStringLiteral("Wiki"));
    ASSERT_NE(editor, nullptr);
    TypeText(*editor, QStringLiteral("First //one//\n\n[[Away]] next"));
    QTest::mouseClick(editor->fSaveBut, Qt::LeftButton);
    EXPECT_EQ(Editor(), nullptr);
    const TValue stored = Stored(QStringLiteral("Wiki"));
    EXPECT_EQ(stored.iType, EValStr);
    EXPECT_EQ(stored.iStr, QStringLiteral("First //one//\r\n\r\n[[Away]] next"));
    EXPECT_EQ(Shown(QStringLiteral("Wiki")), QStringLiteral("First one\n\nAway next"));

    // An empty text leaves the field undefined.
    editor = OpenEditor(QStringLiteral("Wiki"));
    ASSERT_NE(editor, nullptr);
    TypeText(*editor, QString());
    QTest::mouseClick(editor->fSaveBut, Qt::LeftButton);
    EXPECT_EQ(Stored(QStringLiteral("Wiki")).iType, EValUndef);
    EXPECT_EQ(Shown(QStringLiteral("Wiki")), QString());
}

TEST_F(WikiTextEditTest, ANumberFieldIsShownByItsTextAndStoredAsANumber)
{
    CVexilWikiTextEdit* editor = OpenEditor(QStringLiteral("Count"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->fWikiText->toPlainText(), QStringLiteral("7"));
    TypeText(*editor, QStringLiteral("1234"));
    QTest::mouseClick(editor->fSaveBut, Qt::LeftButton);
    const TValue stored = Stored(QStringLiteral("Count"));
    EXPECT_EQ(stored.iType, EValInt);
    EXPECT_EQ(stored.iInt, 1234);
}

TEST_F(WikiTextEditTest, AReadOnlyFieldIsNotStored)
{
    CVexilWikiTextEdit* editor = OpenEditor(QStringLiteral("Fixed"));
    ASSERT_NE(editor, nullptr);
    TypeText(*editor, QStringLiteral("changed"));
    ScriptedPrompts::Instance().ExpectNotice();
    QTest::mouseClick(editor->fSaveBut, Qt::LeftButton);
    EXPECT_EQ(ScriptedPrompts::Instance().Notices().back(), QStringLiteral("Read-only!"));
    EXPECT_EQ(Stored(QStringLiteral("Fixed")).iStr, QStringLiteral("kept"));
    // The text stays for the user to copy or cancel.
    EXPECT_EQ(Editor(), editor);
}

TEST_F(WikiTextEditTest, DeletingTheCardClosesTheEditorWithoutStoring)
{
    CVexilWikiTextEdit* editor = OpenEditor(QStringLiteral("Wiki"));
    ASSERT_NE(editor, nullptr);
    TypeText(*editor, QStringLiteral("lost"));
    const int32_t homeId = Card(QStringLiteral("Home"))->Id();
    ScriptedPrompts::Instance().ExpectMessage(true);
    CVexilStackCmds::DeleteCard();
    EXPECT_EQ(gStack->GetCardById(homeId), nullptr);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Stored(QStringLiteral("Wiki"), QStringLiteral("Away")).iType, EValUndef);
}

TEST_F(WikiTextEditTest, TheEditorClosesWhenItsFieldOrStackGoes)
{
    struct TCase
    {
        const char* Name;
        const char* Field;
        std::function<void()> Change;
        int32_t Event;
        std::function<TObjRef()> Obj;
        bool Closes;
    };
    const auto none = [] { return TObjRef(); };
    const std::vector<TCase> cases = {
        {"another card", "Wiki", [] {}, EChgDeletingCard, [] { return TObjRef(Card(QStringLiteral("Away"))); }, false},
        {"another background", "Wiki", [] {}, EChgDeletingBackground,
         [] { return TObjRef(NewBackground(*gStack, QStringLiteral("Other"))); }, false},
        {"structure with the field kept", "Wiki", [] {}, EChgStructure, none, false},
        {"the card's background", "Wiki", [] {}, EChgDeletingBackground,
         [] { return TObjRef(gStack->Background(0)); }, true},
        {"the stack closing", "Wiki", [] {}, EChgClosingStack, none, true},
        {"the field changed type", "Count", [] { Field(QStringLiteral("Count"))->SetConType(EConTypeReal); },
         EChgValueType, [] { return TObjRef(Field(QStringLiteral("Count"))); }, true},
        {"the field deleted", "Wiki",
         [] { gStack->DeleteControl(Field(QStringLiteral("Wiki"))->Id(), *gStack->Background(0)); }, EChgStructure,
         none, true},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CVexilWikiTextEdit* editor = OpenEditor(QLatin1String(c.Field));
        ASSERT_NE(editor, nullptr);
        c.Change();
        CVexilWinMan::NotifyAll(c.Event, c.Obj());
        EXPECT_EQ(Editor() == nullptr, c.Closes);
        if (Editor())
            QTest::mouseClick(editor->fCancelBut, Qt::LeftButton);
    }
}
