// Which window takes the place of a maximized window that goes: the latest one active before it
// that is still shown, and none that is hidden, minimized or the going one itself.

#include "platform/VexilMaximizedArea.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace
{
enum class EState
{
    Shown,
    Hidden,
    Minimized
};

struct TSuccessorCase
{
    const char* Name;
    std::array<EState, 3> States;  // of the windows in the order they were last active
    int Going;                     // the window that goes
    int Expected;                  // -1: none
};

class MaximizedAreaTest : public ::testing::TestWithParam<TSuccessorCase>
{
};

TEST_P(MaximizedAreaTest, TheLatestShownWindowBeforeTheGoingOneTakesItsPlace)
{
    const TSuccessorCase& c = GetParam();
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    std::array<QMdiSubWindow*, 3> windows{};
    for (size_t i = 0; i < windows.size(); ++i)
    {
        windows[i] = area.addSubWindow(new QWidget);
        windows[i]->show();
    }
    for (size_t i = 0; i < windows.size(); ++i)
    {
        if (c.States[i] == EState::Hidden)
            windows[i]->hide();
        else if (c.States[i] == EState::Minimized)
            windows[i]->showMinimized();
    }
    const QList<QMdiSubWindow*> history(windows.begin(), windows.end());
    QMdiSubWindow* expected = c.Expected < 0 ? nullptr : windows[size_t(c.Expected)];
    EXPECT_EQ(CVexilMaximizedArea::LatestOther(history, windows[size_t(c.Going)]), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaximizedAreaTest,
    ::testing::Values(TSuccessorCase{"TheOneBefore", {EState::Shown, EState::Shown, EState::Shown}, 2, 1},
                      TSuccessorCase{"TheLatestWhenAnEarlierGoes", {EState::Shown, EState::Shown, EState::Shown}, 0, 2},
                      TSuccessorCase{"NotAHiddenOne", {EState::Shown, EState::Hidden, EState::Shown}, 2, 0},
                      TSuccessorCase{"NotAMinimizedOne", {EState::Shown, EState::Minimized, EState::Shown}, 2, 0},
                      TSuccessorCase{"NoneWhenNoOtherIsShown", {EState::Hidden, EState::Minimized, EState::Shown}, 2, -1}),
    [](const ::testing::TestParamInfo<TSuccessorCase>& aInfo) { return std::string(aInfo.param.Name); });

TEST(MaximizedAreaHandOverTest, OnlyTheMaximizedCurrentWindowHandsTheAreaOn)
{
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    QMdiSubWindow* first = area.addSubWindow(new QWidget);
    QMdiSubWindow* second = area.addSubWindow(new QWidget);
    first->show();
    second->show();
    area.setActiveSubWindow(first);
    area.setActiveSubWindow(second);
    EXPECT_EQ(CVexilMaximizedArea::Successor(*second), nullptr) << "not maximized";
    second->showMaximized();
    EXPECT_EQ(CVexilMaximizedArea::Successor(*second), first);

    second->hide();
    CVexilMaximizedArea::TakeOver(*first);
    EXPECT_TRUE(first->isMaximized());
    EXPECT_EQ(area.currentSubWindow(), first);
}
}  // namespace
