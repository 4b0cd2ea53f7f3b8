#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"

#include <gtest/gtest.h>

namespace
{
class Described : public CVexilObject
{
public:
    explicit Described(bool aFails = false) : iFails(aFails) {}
    QString ObjDescr() const override
    {
        if (iFails)
            CVexilError::RaiseRunError(ERunSubscript);
        return QStringLiteral("CVexilFile name=a.txt, access=0");
    }

private:
    bool iFails;
};

}  // namespace

TEST(Error, PassingChecksAskNothing)
{
    CVexilError::Assert(true, QStringLiteral("len "));
    CVexilError::CheckFailed(true, nullptr, QStringLiteral("ctx"), QStringLiteral("d"));
    CVexilError::CheckStruct(true, nullptr, QStringLiteral("ctx"), QStringLiteral("d"));
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST(Error, FailedAssertYesGoesOnNoRaises1000)
{
    auto& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(true);
    CVexilError::Assert(false, QStringLiteral("len "));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Id, EMsgAssertFailedOk);
    EXPECT_EQ(prompts.Messages()[0].Class, EMsgClsQuestion);
    EXPECT_EQ(prompts.Messages()[0].Text,
              QStringLiteral("Assert failed (probably due to a bug):\r\n< len  >\r\nIgnore and try to proceed nevertheless?"));

    prompts.ExpectMessage(false);
    EXPECT_EQ(CaughtError([] { CVexilError::Assert(false, QStringLiteral("len ")); }, QStringLiteral("X.Y")), 1000);
    const TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Context, QStringLiteral("Assert"));
    EXPECT_EQ(info.Param1, QString());
    EXPECT_EQ(info.Param2, QStringLiteral("len "));
    EXPECT_EQ(info.RunNumber, UndefLong);
}

TEST(Error, CheckFailedAppendsTheObjectDescription)
{
    auto& prompts = ScriptedPrompts::Instance();
    prompts.ExpectMessage(false);
    Described file;
    EXPECT_EQ(CaughtError([&] { CVexilError::CheckFailed(false, &file, QStringLiteral("ReadStr"), QStringLiteral("len ")); },
                         QStringLiteral("Caller")),
              1000);
    EXPECT_TRUE(prompts.Messages()[0].Text.contains(QStringLiteral("< len CVexilFile name=a.txt, access=0\r\n >")));
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, file.ObjDescr());

    // An object whose description fails counts as none.
    prompts.ExpectMessage(false);
    Described broken(true);
    CaughtError([&] { CVexilError::CheckFailed(false, &broken, QStringLiteral("ReadStr"), QStringLiteral("len ")); },
               QStringLiteral("Caller"));
    EXPECT_TRUE(prompts.Messages()[1].Text.contains(QStringLiteral("< len  >")));
    EXPECT_EQ(CVexilError::GetErrInfo().Param1, QString());
}

TEST(Error, HandlerKeepsTheRaisersContextButRecordsRunErrors)
{
    CaughtError([] { CVexilError::Throw(1005, QStringLiteral("CVexilFile.OpenFile"), QStringLiteral("a.q"), QStringLiteral("0")); },
               QStringLiteral("CVexilStackFile.LoadStack"));
    TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Code, 1005);
    EXPECT_EQ(info.Context, QStringLiteral("CVexilFile.OpenFile"));
    EXPECT_EQ(info.Param1, QStringLiteral("a.q"));
    EXPECT_EQ(info.RunNumber, 1999999999);

    for (int32_t number : {9, -2147221504})
    {
        CaughtError([&] { CVexilError::RaiseRunError(number); }, QStringLiteral("CVexilArray.Find"));
        info = CVexilError::GetErrInfo();
        EXPECT_EQ(info.Code, number);
        EXPECT_EQ(info.RunNumber, number);
        EXPECT_EQ(info.Context, QStringLiteral("CVexilArray.Find"));
        EXPECT_TRUE(info.Param1.isEmpty() && info.Param2.isEmpty());
        EXPECT_EQ(info.RunDescription, CVexilError::RunErrorDescription(number));
    }

    // A number of 1000 or more that did not come from Throw leaves the record alone.
    CaughtError([] { throw CVexilException(1500, QStringLiteral("Control"), QStringLiteral("own")); }, QStringLiteral("Z"));
    EXPECT_EQ(CVexilError::GetErrInfo().Code, -2147221504);
}

TEST(Error, ReThrowRaisesTheRecordedNumberUnchanged)
{
    CaughtError([] { CVexilError::Throw(1006, QStringLiteral("A"), QStringLiteral("p1"), QStringLiteral("p2")); }, QStringLiteral("B"));
    try
    {
        CVexilError::ReThrow();
    }
    catch (const CVexilException& e)
    {
        EXPECT_EQ(e.Number(), 1006);
        EXPECT_EQ(e.Source(), QStringLiteral("CVexilErrors.Throw"));
        EXPECT_EQ(e.Description(), QStringLiteral("Application Error"));
    }
    EXPECT_EQ(CVexilError::GetErrInfo().Param2, QStringLiteral("p2"));
}

TEST(Error, ARunErrorPassedOnIsRecordedAgainAsAnApplicationError)
{
    // A reader's handler records the run-time error and passes it on; the command's handler
    // records the re-raised error: the number stays, the texts are those of the re-raise.
    EXPECT_EQ(CaughtError([] { CVexilError::RaiseRunError(ERunSubscript); }, QStringLiteral("CVexilFile.ReadStr")),
              ERunSubscript);
    EXPECT_EQ(CVexilError::GetErrInfo().RunDescription, QStringLiteral("Subscript out of range"));
    EXPECT_EQ(CaughtError([] { CVexilError::ReThrow(); }, QStringLiteral("CVexilLib.HandleLoadStack")), ERunSubscript);
    const TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Code, ERunSubscript);
    EXPECT_EQ(info.RunNumber, ERunSubscript);
    EXPECT_EQ(info.Context, QStringLiteral("CVexilLib.HandleLoadStack"));
    EXPECT_EQ(info.RunSource, QStringLiteral("CVexilErrors.Throw"));
    EXPECT_EQ(info.RunDescription, QStringLiteral("Application Error"));
}

TEST(Error, CheckStructRaises1006WithoutAsking)
{
    Described obj;
    EXPECT_EQ(CaughtError([&] { CVexilError::CheckStruct(false, &obj, QStringLiteral("BinObjStart"), QStringLiteral("typeId expected=3, got=5")); },
                         QStringLiteral("L")),
              1006);
    const TErrInfo info = CVexilError::GetErrInfo();
    EXPECT_EQ(info.Param1, obj.ObjDescr());
    EXPECT_EQ(info.Param2, QStringLiteral("BinObjStart: typeId expected=3, got=5"));
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}
