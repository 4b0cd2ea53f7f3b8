// Opening a stack file as the current stack, showing cards, the history and moving in stack order.

#include "StackViewFixture.h"

TEST_F(StackViewFixture, OpeningAStackShowsItsFirstCardAndSendsOpenCardOnce)
{
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Title(), QStringLiteral("Adams - 1 of 12"));
    EXPECT_EQ(ScriptedPrompts::Instance().Notices(), QStringList{QStringLiteral("openCard Adams")});
    EXPECT_EQ(HistoryText(), QStringLiteral("[Adams]"));
    EXPECT_EQ(CVexilStackViewLink::Current(), gStackView.get());
}
