#include "TestEnv.h"

#include "ScriptedPrompts.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"

#include <gtest/gtest.h>

namespace
{
class PromptListener : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo&) override
    {
        ScriptedPrompts::Instance().Reset();
        CVexilError::ResetErrInfo();
        QLocale::setDefault(kDotLocale);
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        EXPECT_EQ(ScriptedPrompts::Instance().Pending(), 0) << "scripted answers left over";
    }
};
}  // namespace

void InitTestEnvironment(int& argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    QLocale::setDefault(kDotLocale);
    testing::InitGoogleTest(&argc, argv);
    CVexilMsg::InitMsg();
    CVexilPrompts::Install(&ScriptedPrompts::Instance());
    testing::UnitTest::GetInstance()->listeners().Append(new PromptListener);
}
