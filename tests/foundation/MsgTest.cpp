#include "AssertAnswers.h"
#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"

#include <gtest/gtest.h>

namespace
{
const QString U = CVexilMsg::Undef;

struct TShowCase
{
    const char* What;
    int32_t Id;
    int32_t Class;
    QString P0, P1, P2;
    QString Name;
    QString Text;
};

// Shows one message with a scripted answer and returns what the box was given.
TMsgPrompt ShowOne(int32_t aId, int32_t aClass, const QString& aP0 = U, const QString& aP1 = U,
                   const QString& aP2 = U, bool aAnswer = false)
{
    auto& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(aAnswer);
    EXPECT_EQ(CVexilMsg::Show(aId, aClass, aP0, aP1, aP2), aAnswer);
    return prompts.Messages().back();
}

// Raises through the given action, records the error as a handler does and reports it.
TMsgPrompt ReportCaught(const std::function<void()>& aRaise)
{
    CaughtError(aRaise, QStringLiteral("Test.Handler"));
    ScriptedPrompts::Instance().ExpectMessage(false);
    CVexilMsg::ShowError();
    return ScriptedPrompts::Instance().Messages().back();
}
}  // namespace

TEST(Msg, ShowBuildsTheTextFromTheTable)
{
    const TShowCase cases[] = {
        {"question with a card name", 29, EMsgClsQuestion, QStringLiteral("Anna"), U, U,
         QStringLiteral("EMsgDeleteCardOk"), QStringLiteral("Delete card 'Anna'?")},
        {"\\n becomes CR LF", 1005, EMsgClsCritical, QStringLiteral("/home/a/b.qvn"), U, U,
         QStringLiteral("EMsgFileNotFound"),
         QStringLiteral("A file of the given name could not be found.\r\n/home/a/b.qvn")},
        {"<undef> keeps its placeholder", 8, EMsgClsCritical, U, U, U, QStringLiteral("EMsgEmptyField"),
         QStringLiteral("You must specify some value on field '%0', empty is not allowed.")},
        {"an empty parameter removes its placeholder", 3, EMsgClsCritical, QString(), U, U,
         QStringLiteral("EMsgSystemError"), QStringLiteral("The runtime system of the program reported an error: ")},
        {"%0 is replaced before %1", 1, EMsgClsCritical, QStringLiteral("%1"), QStringLiteral("sort key"), U,
         QStringLiteral("EMsgDuplicateName"), QStringLiteral("There is already a sort key with this name.")},
        {"later steps change earlier parameters", 9, EMsgClsCritical, QStringLiteral("%1"), QStringLiteral("%2"),
         QStringLiteral("7"), QStringLiteral("EMsgNumTooHigh"),
         QStringLiteral("The given value of 7 on field '7' is too high, the maximum allowed is 7.")},
        {"\\n inside a parameter stays", 1006, EMsgClsCritical, QStringLiteral("a\\nb"), QStringLiteral("c%"), U,
         QStringLiteral("EMsgBadStruct"),
         QStringLiteral("The stack file contains a structural error and cannot be opened.\r\na\\nb\r\nc%")},
        {"the text and the field fill the number message", 11, EMsgClsCritical, QStringLiteral("x"),
         QStringLiteral("Price"), U,
         QStringLiteral("EMsgNotNum"), QStringLiteral("The given string 'x' on field 'Price' is not a valid number.")},
        {"the assertion question has real line breaks", 31, EMsgClsQuestion, QStringLiteral("len "), QString(), U,
         QStringLiteral("EMsgAssertFailedOk"),
         QStringLiteral("Assert failed (probably due to a bug):\r\n< len  >\r\nIgnore and try to proceed nevertheless?")},
        {"two sentences joined", 25, EMsgClsExclamation, QStringLiteral("Tahoma"), U, U,
         QStringLiteral("EMsgFontSupport"),
         QStringLiteral("Your phone will probably only display a font with the face name 'Tahoma' after you installed "
                        "such a font yourself on your phone. (The SE UIQ3 phones only support a single font "
                        "'Sans-Serif Latin' out of the box.)")},
        // An unused id of the table shows an empty text; ids beyond it show their number and
        // parameters rather than failing.
        {"unused id inside the table", 40, EMsgClsCritical, QStringLiteral("a"), U, U, QString(), QString()},
        {"last id of the table", 1100, EMsgClsCritical, QStringLiteral("a"), U, U, QString(), QString()},
        {"first id beyond the table", 1101, EMsgClsCritical, QStringLiteral("a"), U, U, QString(),
         QStringLiteral("Error 1101\r\na")},
        {"script error number", 2001, EMsgClsCritical, QStringLiteral("line 3"), QString(), U, QString(),
         QStringLiteral("Error 2001\r\nline 3")},
        {"negative id", -1, EMsgClsInfo, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString(),
         QStringLiteral("Error -1\r\na\r\nb\r\nc")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        const TMsgPrompt shown = ShowOne(c.Id, c.Class, c.P0, c.P1, c.P2);
        EXPECT_EQ(shown.Id, c.Id);
        EXPECT_EQ(shown.Class, c.Class);
        EXPECT_EQ(shown.Name, c.Name);
        EXPECT_EQ(shown.Text.toStdString(), c.Text.toStdString());
        EXPECT_EQ(shown.Params, QStringList({c.P0, c.P1, c.P2}));
        EXPECT_EQ(CVexilMsg::LastMsgName(), c.Name);
        EXPECT_EQ(CVexilMsg::LastMsgText(), c.Text);
    }
}

TEST(Msg, AskReturnsTheAnswerAndLeavesP2Undefined)
{
    auto& prompts = ScriptedPrompts::Instance();
    for (bool answer : {true, false})
    {
        prompts.ExpectMessage(answer);
        EXPECT_EQ(CVexilMsg::Ask(EMsgDeleteControlOk, EMsgClsQuestion, QStringLiteral("12"), QStringLiteral("5")),
                  answer);
        EXPECT_EQ(prompts.Messages().back().Params, QStringList({QStringLiteral("12"), QStringLiteral("5"), U}));
        EXPECT_EQ(prompts.Messages().back().Text,
                  QStringLiteral("Delete the field/control from 12 cards, with 5 set values?"));
    }
}

TEST(Msg, ClassOutsideTheTableFailsTheAssertion)
{
    auto& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(true);   // ignore the assertion
    prompts.ExpectMessage(false);  // the message itself
    CVexilMsg::Show(EMsgEmptyFile, 4);
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[0].Id, EMsgAssertFailedOk);
    EXPECT_TRUE(prompts.Messages()[0].Text.contains(QStringLiteral("< Show class 4 >")));
    EXPECT_EQ(prompts.Messages()[1].Text, QStringLiteral("The file is empty."));

    EXPECT_EQ(RefusedCheck([] { CVexilMsg::Show(EMsgEmptyFile, -1); }).Param2, QStringLiteral("Show class -1"));
    EXPECT_EQ(prompts.Messages().size(), 3u);
}

TEST(Msg, ShowErrorReportsOwnErrorsWithTheirMessage)
{
    const TMsgPrompt shown = ReportCaught([] {
        CVexilError::Throw(EErrBadStruct, QStringLiteral("CVexilFile.ReadStr"), QStringLiteral("a.qvn"),
                           QStringLiteral("ReadStr: len"));
    });
    EXPECT_EQ(shown.Id, EMsgBadStruct);
    EXPECT_EQ(shown.Class, EMsgClsCritical);
    EXPECT_EQ(shown.Text, QStringLiteral("The stack file contains a structural error and cannot be opened.\r\n"
                                         "a.qvn\r\nReadStr: len"));
    EXPECT_EQ(shown.Params, QStringList({QStringLiteral("a.qvn"), QStringLiteral("ReadStr: len"), U}));
}

TEST(Msg, ShowErrorReportsRunErrorsAsSystemError)
{
    const TMsgPrompt shown = ReportCaught([] { CVexilError::RaiseRunError(ERunSubscript); });
    EXPECT_EQ(shown.Id, EMsgSystemError);
    EXPECT_EQ(shown.Class, EMsgClsCritical);
    EXPECT_EQ(shown.Text, QStringLiteral("The runtime system of the program reported an error: Subscript out of range"));
    EXPECT_EQ(CVexilMsg::LastMsgName(), QStringLiteral("EMsgSystemError"));
}

TEST(Msg, ShowErrorOfAScriptErrorShowsItsNumberPlainly)
{
    CVexilError::SetErrInfo(EScrRunError, QStringLiteral("CVexilInterpreter.Run"), QStringLiteral("Go"), QString());
    ScriptedPrompts::Instance().ExpectMessage(false);
    CVexilMsg::ShowError();
    const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages().back();
    EXPECT_EQ(shown.Id, EScrRunError);
    EXPECT_EQ(shown.Text, QStringLiteral("Error 2001\r\nGo"));
    EXPECT_EQ(CVexilMsg::LastMsgName(), QString());
}

TEST(Msg, ShowErrorEndsOneLevelOfTheBusyCursor)
{
    CVexilDialogLib::BeginWait();
    CVexilDialogLib::BeginWait();
    ReportCaught([] { CVexilError::RaiseRunError(ERunOverflow); });
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 1);
    CVexilDialogLib::EndWait();
    ReportCaught([] { CVexilError::RaiseRunError(ERunOverflow); });
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0);
}
