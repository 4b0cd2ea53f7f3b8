// Clicks in the card window and on the command menu: command fields with their "select"
// script and standard command, wiki links, check boxes, double clicks and the paste key, and
// what a script's run-time error leaves.

#include "AssertAnswers.h"
#include "CardWindowUser.h"
#include "RecordingWindows.h"
#include "StackViewFixture.h"
#include "presentation/VexilCmdMenu.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>

using namespace CardWindowUser;

namespace
{
// The wiki text of the field "Wiki": a paragraph without links, then one of links.
const QString KWikiText =
    QStringLiteral("**Links:**\r\n\r\n[[select:x]] [[select:]] [[SELECT:x]] [[Nowhere]] [[Baker|Next one]]");
}  // namespace

// The fixture's stack with more command fields on "Person" (each answers "select" through the
// stack unless it has a handler of its own), a wiki text field, a multi-line number, read-only
// fields, a picture and a command that is only in the command menu.
class StackViewClickTest : public StackViewFixture
{
protected:
    void SetUp() override
    {
        const TStackRef stack = BuildStack();
        const TControlSetRef person = stack->Background(0);
        const auto command = [&](const QString& aName, int16_t aStdCmd, const QStringList& aScript = {}) {
            const TControlRef field = AddField(*stack, *person, aName, EConTypeCommand,
                                               EConAsButton | (aStdCmd == UndefInt ? 0 : EConStdCmd));
            field->SetStdCmd(aStdCmd);
            if (!aScript.isEmpty())
                SetScript(*field,
                          QStringList{QStringLiteral("On select")} + aScript + QStringList{QStringLiteral("End")});
            return field;
        };
        command(QStringLiteral("Jump"), EStdCmdGoToCard);
        command(QStringLiteral("Skip"), EStdCmdNextCard,
                {QStringLiteral("Answer \"skip\""), QStringLiteral("Go \"Clark\"")});
        command(QStringLiteral("Crash"), UndefInt, {QStringLiteral("Put Field \"Nowhere\" Into Field \"Notes\"")});
        command(QStringLiteral("Loop"), UndefInt, {QStringLiteral("Repeat While 1 = 1"), QStringLiteral("End Repeat")});
        command(QStringLiteral("List"), EStdCmdShowCardList);
        command(QStringLiteral("Chooser"), EStdCmdSelectCard);
        command(QStringLiteral("Odd"), 9);
        const TControlRef menu = NewField(*stack, *person, QStringLiteral("Menu"), EConTypeCommand);
        menu->SetFlags(EConInMenu | EConStdCmd);
        menu->SetLabel(QStringLiteral("Menu"));
        menu->SetStdCmd(EStdCmdNextCard);

        const TControlRef wiki = AddField(*stack, *person, QStringLiteral("Wiki"), EConTypeText, EConWikiText, 3);
        SetScript(*wiki,
                  {QStringLiteral("On select p"), QStringLiteral("Answer \"param \" & p"), QStringLiteral("End")});
        AddField(*stack, *person, QStringLiteral("Count"), EConTypeInteger, 0, 3);
        AddField(*stack, *person, QStringLiteral("Memo"), EConTypeText, EConReadOnly, 3)
            ->SetDefaultVal(QStringLiteral("kept"));
        AddField(*stack, *person, QStringLiteral("Flag"), EConTypeBoolean, EConReadOnly);
        AddField(*stack, *person, QStringLiteral("Photo"), EConTypePicture);
        AddField(*stack, *person, QStringLiteral("Photo2"), EConTypePicture);
        Card(*stack, QStringLiteral("Adams"))->SetControlVal(wiki->Id(), Str(KWikiText));

        Open(stack, QStringLiteral("Click.xml"), 1);
        Activate(Window());
    }

    void TearDown() override
    {
        if (gStackView && gStackView->CurObj())
            ScriptedPrompts::Instance().ExpectNotice();
        StackViewFixture::TearDown();
    }

    static TCardRef Card(CVexilStack& aStack, const QString& aName)
    {
        TCardRef card;
        EXPECT_TRUE(aStack.GetCard(aName, card));
        return card;
    }
    using StackViewFixture::Card;

    static TControlRef Person(const QString& aName) { return Field(QStringLiteral("Person"), aName); }
    static QWidget* Widget(const QString& aName) { return qobject_cast<QWidget*>(Person(aName)->BaseControl()); }
    // What the user does, which takes the focus from the field being edited, if any: that one
    // is left untouched first (a button is left only with its card). The answers after that
    // one's "exitField".
    static QStringList Act(int aAnswers, const std::function<void()>& aDo)
    {
        const bool leaves = View().CurObj() && !qobject_cast<QPushButton*>(View().CurObj());
        QStringList answers = Answers(aAnswers + (leaves ? 1 : 0), aDo);
        if (leaves && !answers.isEmpty())
        {
            EXPECT_EQ(answers.takeFirst(), QStringLiteral("exitField"));
        }
        return answers;
    }
    static QStringList Click(const QString& aButton, int aAnswers)
    {
        return Act(aAnswers, [&] { QTest::mouseClick(Widget(aButton), Qt::LeftButton); });
    }
    static QAction* MenuItem(int aIndex)
    {
        return CVexilFrameParts::CmdMenu().Item(QStringLiteral("fGenFunc%1").arg(aIndex));
    }
    static TValue Stored(const QString& aField)
    {
        TValue val;
        Card(QStringLiteral("Adams"))->GetControlVal(Person(aField)->Id(), val, false);
        return val;
    }

    RecordingWindows iWindows;
};

TEST_F(StackViewClickTest, AButtonSendsSelectAndThenRunsItsStandardCommand)
{
    EXPECT_EQ(Click(QStringLiteral("Next"), 2),
              (QStringList{QStringLiteral("select"), QStringLiteral("openCard Baker")}));
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams [Baker]"));
    // A handler that moves on is followed by the command, from the card it moved to. The
    // button clicked has the focus when Clark is shown, and is left when the command goes on.
    EXPECT_EQ(Click(QStringLiteral("Skip"), 4),
              (QStringList{QStringLiteral("skip"), QStringLiteral("openCard Clark"), QStringLiteral("exitField"),
                           QStringLiteral("openCard Davis")}));
    EXPECT_EQ(HistoryText(), QStringLiteral("Adams Baker Clark [Davis]"));
}

TEST_F(StackViewClickTest, ACommandMenuItemActsAsItsCommandAlsoWithoutAButton)
{
    // The menu command is the background's only one, so it has the first item.
    ASSERT_EQ(Person(QStringLiteral("Menu"))->BaseFunc(), MenuItem(0));
    EXPECT_EQ(MenuItem(0)->text(), QStringLiteral("Menu"));
    EXPECT_EQ(Answers(2, [] { MenuItem(0)->trigger(); }),
              (QStringList{QStringLiteral("select"), QStringLiteral("openCard Baker")}));

    // A right click on the window's surface pops the menu up; the user clicks the item.
    CVexilCmdMenu& menu = CVexilFrameParts::CmdMenu();
    QTest::mouseClick(Window(), Qt::RightButton, {}, QPoint(Window()->width() - 5, Window()->height() - 5));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(
        Answers(2, [&] { QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(MenuItem(0)).center()); }),
        (QStringList{QStringLiteral("select"), QStringLiteral("openCard Clark")}));
    EXPECT_FALSE(menu.isVisible());

    // A right click on a widget is the widget's.
    QTest::mouseClick(Widget(QStringLiteral("Next")), Qt::RightButton);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(StackViewClickTest, AGoToCardCommandGoesOnlyToACardOfTheStack)
{
    const TControlRef jump = Person(QStringLiteral("Jump"));
    const int32_t deletedId = Card(QStringLiteral("Hill"))->Id();
    View().DeleteCard(Card(QStringLiteral("Hill")), nullptr);
    // Unset, outside the stack's ids, a deleted card's.
    for (const int32_t id : {UndefLong, 1000000, deletedId})
    {
        SCOPED_TRACE(id);
        jump->SetDestCardId(id);
        EXPECT_EQ(Click(QStringLiteral("Jump"), 1), QStringList{QStringLiteral("select")});
        EXPECT_EQ(CurName(), QStringLiteral("Adams"));
        EXPECT_EQ(HistoryText(), QStringLiteral("[Adams]"));
    }
    jump->SetDestCardId(Card(QStringLiteral("Davis"))->Id());
    EXPECT_EQ(Click(QStringLiteral("Jump"), 2),
              (QStringList{QStringLiteral("select"), QStringLiteral("openCard Davis")}));
}

TEST_F(StackViewClickTest, ACommandMenuItemWithoutCardDoesNothing)
{
    View().EmptyStack();
    ASSERT_EQ(View().CurCard(), nullptr);
    EXPECT_EQ(Title(), QStringLiteral("(No Card)"));
    Answers(0, [] { MenuItem(0)->trigger(); });
    EXPECT_EQ(View().CurCard(), nullptr);
}

TEST_F(StackViewClickTest, StandardCommandsOpenTheirWindowsAndAnUnknownOneIsAnAssertion)
{
    EXPECT_EQ(Click(QStringLiteral("List"), 1), QStringList{QStringLiteral("select")});
    EXPECT_EQ(Click(QStringLiteral("Chooser"), 1), QStringList{QStringLiteral("select")});
    EXPECT_EQ(iWindows.iCalls, (QStringList{QStringLiteral("ShowForm CVexilCardListForm"),
                                            QStringLiteral("ShowForm CVexilCardSelect")}));
    const IgnoredAssert odd(QStringLiteral("9"));
    EXPECT_EQ(Click(QStringLiteral("Odd"), 1), QStringList{QStringLiteral("select")});
}

TEST_F(StackViewClickTest, AScriptsRunTimeErrorGoesToTheScriptEditorAndResetsTheInterpreter)
{
    Click(QStringLiteral("Crash"), 0);
    EXPECT_EQ(iWindows.iCalls, QStringList{QStringLiteral("ShowRunError")});
    ASSERT_TRUE(iWindows.iRunError);
    EXPECT_EQ(iWindows.iRunError->Param1, QStringLiteral("Nowhere"));
    EXPECT_EQ(iWindows.iRunError->Obj, std::static_pointer_cast<CVexilObject>(Person(QStringLiteral("Crash"))));
    EXPECT_FALSE(gInterpreter->Running());
    // The next message runs.
    EXPECT_EQ(Click(QStringLiteral("Next"), 2),
              (QStringList{QStringLiteral("select"), QStringLiteral("openCard Baker")}));
}

TEST_F(StackViewClickTest, WithoutTheScriptEditorARunTimeErrorShowsItsMessage)
{
    CVexilStackViewWindows::Install(nullptr);
    ScriptedPrompts::Instance().ExpectMessage();
    Click(QStringLiteral("Crash"), 0);
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), 1U);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages()[0].Id, gInterpreter->GetErrorInfo().MsgId);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages()[0].Params.value(0), QStringLiteral("Nowhere"));
    EXPECT_FALSE(gInterpreter->Running());
}

TEST_F(StackViewClickTest, AClickOnTheProgressDisplayBreaksTheRunningScript)
{
    // The click waits until the running script yields to the user.
    QCoreApplication::postEvent(Window()->fProgressBox,
                                new QMouseEvent(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    EXPECT_EQ(Click(QStringLiteral("Loop"), 1), QStringList{QStringLiteral("Script breaked")});
    EXPECT_FALSE(gInterpreter->Running());
    EXPECT_TRUE(iWindows.iCalls.isEmpty());
}

TEST_F(StackViewClickTest, WikiLinksSelectOrGoToTheirCard)
{
    const TControlRef wiki = Person(QStringLiteral("Wiki"));
    auto* box = qobject_cast<CVexilRichTextBox*>(wiki->BaseControl());
    ASSERT_NE(box, nullptr);
    // The links, green and underlined, in the second paragraph after a small gap.
    const QString shown = box->toPlainText();
    ASSERT_EQ(shown, QStringLiteral("Links:\n\nselect:x select: SELECT:x Nowhere Next one"));
    const auto clickWord = [&](const QString& aWord, Qt::KeyboardModifiers aKeys = {}) {
        const int at = int(shown.indexOf(QLatin1Char(' ') + aWord + QLatin1Char(' ')) + 1);
        const int start = at > 0 ? at : int(shown.indexOf(aWord));
        QTextCursor caret(box->document());
        caret.setPosition(start);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, aKeys, box->cursorRect(caret).center() + QPoint(1, 0));
    };
    struct TCase
    {
        QString Word;
        QStringList Answers;
        bool BadLink;
    };
    const std::vector<TCase> cases = {
        {"Links:", {}, false},
        {"select:x", {"param x"}, false},
        {"select:", {"param "}, false},
        // The prefix counts with its case: this is the name of a card, which is missing.
        {"SELECT:x", {}, true},
        {"Nowhere", {}, true},
        // The wiki field clicked is left with the card.
        {"one", {"exitField", "openCard Baker"}, false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Word.toStdString());
        ScriptedPrompts& prompts = ScriptedPrompts::Instance();
        if (c.BadLink)
            prompts.ExpectMessage();
        const size_t messages = prompts.Messages().size();
        EXPECT_EQ(Answers(int(c.Answers.size()), [&] { clickWord(c.Word); }), c.Answers);
        ASSERT_EQ(prompts.Messages().size(), messages + (c.BadLink ? 1 : 0));
        if (c.BadLink)
        {
            EXPECT_EQ(prompts.Messages().back().Id, EMsgBadLinkTarget);
            EXPECT_EQ(prompts.Messages().back().Params.value(0), c.Word);
        }
    }
    EXPECT_EQ(CurName(), QStringLiteral("Baker"));

    // A click that selects text follows no link.
    Answers(2, [] { View().GoToCard(Card(QStringLiteral("Adams"))); });
    clickWord(QStringLiteral("Links:"));
    Answers(0, [&] { clickWord(QStringLiteral("Next"), Qt::ShiftModifier); });
    EXPECT_TRUE(box->textCursor().hasSelection());
    EXPECT_EQ(CurName(), QStringLiteral("Adams"));
}

TEST_F(StackViewClickTest, CtrlUStoresTheClipboardByTheFieldsType)
{
    struct TCase
    {
        QString Field;
        QString Clipboard;
        TValue Stored;
        QString Shown;
        QStringList Answers;
    };
    TValue fortyTwo;
    fortyTwo.iType = EValInt;
    fortyTwo.iInt = 42;
    const std::vector<TCase> cases = {
        {"Notes", "pasted\nlines\n", Str("pasted\r\nlines"), "pasted\nlines", {}},
        {"Count", "42", fortyTwo, "42", {}},
        {"Count", "forty", CVexilValue::ExtTextToVal("forty", *Person("Count")), "0", {}},
        {"Memo", "refused", Str("kept"), "kept", {"Read-only!"}},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE((c.Field + QLatin1Char(' ') + c.Clipboard).toStdString());
        const TControlRef field = Person(c.Field);
        if (View().CurObj() != field->BaseControl())
            Act(0, [&] { ClickInto(field); });
        QGuiApplication::clipboard()->setText(c.Clipboard);
        EXPECT_EQ(
            Answers(int(c.Answers.size()), [&] { QTest::keyClick(Widget(c.Field), Qt::Key_U, Qt::ControlModifier); }),
            c.Answers);
        EXPECT_TRUE(CVexilValue::Equal(Stored(c.Field), c.Stored));
        EXPECT_EQ(Shown(field), c.Shown);
    }
    // Other keys reach the field.
    const TControlRef notes = Person(QStringLiteral("Notes"));
    Act(0, [&] { ClickInto(notes); });
    QTest::keyClick(Widget(QStringLiteral("Notes")), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Widget(QStringLiteral("Notes")), QStringLiteral("u"));
    EXPECT_EQ(Shown(notes), QStringLiteral("pasted\nlinesu"));
}

TEST_F(StackViewClickTest, AReadOnlyCheckBoxRefusesTheClick)
{
    QWidget* box = Widget(QStringLiteral("Flag"));
    EXPECT_EQ(Act(1, [&] { QTest::mouseClick(box, Qt::LeftButton); }), QStringList{QStringLiteral("Read-only!")});
    EXPECT_EQ(Shown(Person(QStringLiteral("Flag"))), QStringLiteral("0"));
    EXPECT_FALSE(Card(QStringLiteral("Adams"))->ControlValDef(Person(QStringLiteral("Flag"))->Id()));
}

TEST_F(StackViewClickTest, DoubleClicksOpenTheWikiEditorAndThePictureOfTheFieldClicked)
{
    // Any rich-text field, with wiki text or not, read-only or not.
    for (const QString& name : {QStringLiteral("Wiki"), QStringLiteral("Memo")})
        Act(0, [&] { QTest::mouseDClick(Input(Person(name)), Qt::LeftButton); });
    EXPECT_EQ(iWindows.iCalls,
              (QStringList{QStringLiteral("EditWikiText Adams Wiki"), QStringLiteral("EditWikiText Adams Memo")}));
    iWindows.iCalls.clear();
    // The picture box clicked takes the focus: its field is the one whose picture is shown.
    Act(0, [] { QTest::mouseDClick(Widget(QStringLiteral("Photo2")), Qt::LeftButton); });
    EXPECT_EQ(iWindows.iCalls, QStringList{QStringLiteral("ShowPicture fGenPictureBox1")});
}
