#include "DialogUser.h"
#include "QStringPrinter.h"
#include "platform/VexilCtls.h"
#include "platform/VexilReg.h"
#include "shell/VexilWelcome.h"

#include <QMdiArea>

#include <gtest/gtest.h>

namespace
{
using namespace DialogUser;

// A close timer short enough for tests, and far beyond it the wait that shows it did not fire.
constexpr int kInterval = 40;
constexpr int kWellPast = 300;

class WelcomeTest : public DialogTest
{
protected:
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        CVexilWelcome::Register();
        CVexilWelcome::SetCloseInterval(kInterval);
    }

    static CVexilWelcome* Open() { return Show<CVexilWelcome>(CVexilWelcome::KClassName); }
    static bool IsOpen() { return Loaded(CVexilWelcome::KClassName); }
};

TEST_F(WelcomeTest, ShowsTheProduct)
{
    CVexilWelcome* welcome = Open();
    ASSERT_NE(welcome, nullptr);
    // As About shows it: the broadcasts below yield, and the close timer must not end the test.
    welcome->Stay();
    EXPECT_EQ(welcome->Caption(), QStringLiteral("Welcome to Quorvans"));
    EXPECT_EQ(welcome->Label1->text(), QStringLiteral("Quorvans"));
    EXPECT_GT(welcome->Label1->font().pointSizeF(), 2 * welcome->Label2->font().pointSizeF());
    EXPECT_FALSE(welcome->Label2->text().isEmpty());
    EXPECT_EQ(welcome->Label3->text(), QStringLiteral("Database - Script Programming - WikiText - Multimedia"));
    EXPECT_TRUE(welcome->Label4->text().contains(QStringLiteral("FreeImage")));
    EXPECT_TRUE(welcome->Label4->text().contains(QStringLiteral("License")));
    for (const CVexilLabel* label : {welcome->Label1, welcome->Label2, welcome->Label3, welcome->Label4,
                                     welcome->Label5, welcome->Label6})
    {
        EXPECT_FALSE(label->text().contains(QStringLiteral("http"))) << label->text().toStdString();
        EXPECT_FALSE(label->text().contains(QStringLiteral("www"))) << label->text().toStdString();
        // Every line fits its label.
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
    }
    EXPECT_FALSE(welcome->Label5->text().isEmpty());
    EXPECT_TRUE(welcome->Label6->text().contains(QStringLiteral("Version")));
    EXPECT_FALSE(welcome->Image1->Picture().isNull());
    EXPECT_EQ(welcome->DoOk->text(), QStringLiteral("Ok"));

    // No change of the stack closes it.
    for (const int event : {EChgStackOpened, EChgClosingStack, EChgStackClosed})
        CVexilWinMan::NotifyAll(event);
    EXPECT_TRUE(IsOpen());
}

TEST_F(WelcomeTest, ClosesItselfWhenTheIntervalIsOver)
{
    CVexilWelcome* welcome = Open();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_TRUE(welcome->Waiting());
    EXPECT_TRUE(QTest::qWaitFor([] { return !IsOpen(); }, 5000));
    // It keeps no position.
    QString text;
    bool found = true;
    CVexilReg::GetVal(CVexilReg::KWindows, CVexilWelcome::KClassName, text, found);
    EXPECT_FALSE(found);
}

TEST_F(WelcomeTest, StayKeepsItOpenUntilOk)
{
    CVexilWelcome* welcome = Open();
    ASSERT_NE(welcome, nullptr);
    welcome->Stay();
    QTest::qWait(kWellPast);
    EXPECT_TRUE(IsOpen());
    EXPECT_TRUE(welcome->isVisible());
    Click(welcome->DoOk);
    EXPECT_FALSE(IsOpen());
}

TEST_F(WelcomeTest, AboutOnTheOpenWindowLoadsNothingAnew)
{
    CVexilWelcome* welcome = Open();
    ASSERT_NE(welcome, nullptr);
    welcome->SetLeft(300);
    welcome->SetTop(450);
    // What About does: show it again, then Stay.
    ASSERT_EQ(Open(), welcome);
    welcome->Stay();
    EXPECT_EQ(welcome->Left(), 300);
    EXPECT_EQ(welcome->Top(), 450);
    EXPECT_FALSE(welcome->Waiting());
    QTest::qWait(kWellPast);
    EXPECT_TRUE(IsOpen());

    // The close box closes it; the next showing loads a new window with a running timer.
    welcome->close();
    EXPECT_FALSE(IsOpen());
    CVexilWelcome* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Waiting());
}

TEST_F(WelcomeTest, CentredPos)
{
    const QSizeF window(6600, 4440);
    const QPointF current(135, 240);
    struct TCase
    {
        const char* What;
        QSizeF Area;
        QPointF Expected;
    } const cases[] = {
        {"larger both ways", {19200, 15360}, {6300, 2184}},
        {"narrower", {6000, 15360}, {135, 2184}},
        {"as wide", {6600, 15360}, {135, 2184}},
        {"lower", {19200, 4000}, {6300, 240}},
        {"as high", {19200, 4440}, {6300, 240}},
        {"smaller both ways", {3000, 2000}, {135, 240}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CVexilWelcome::CentredPos(c.Area, window, current), c.Expected) << c.What;
}

TEST_F(WelcomeTest, CentresInTheMainWindowsDocumentArea)
{
    QMdiArea area;
    area.resize(1000, 760);
    area.show();
    CVexilForm::SetMdiArea(&area);
    CVexilWelcome* welcome = Open();
    CVexilForm::SetMdiArea(nullptr);
    ASSERT_NE(welcome, nullptr);
    ASSERT_NE(welcome->SubWindow(), nullptr);
    const QSize inside = area.viewport()->size();
    EXPECT_NEAR(welcome->Left(), (inside.width() * 15 - welcome->Width()) / 2, 15);
    EXPECT_NEAR(welcome->Top(), (inside.height() * 15 - welcome->Height()) / 5, 15);
    EXPECT_EQ(welcome->SubWindow()->pos(), QPoint(int(welcome->Left()) / 15, int(welcome->Top()) / 15));
}

TEST_F(WelcomeTest, CentresInItsParentWithoutAMainWindow)
{
    QWidget parent;
    parent.resize(900, 600);
    auto* welcome = static_cast<CVexilWelcome*>(CVexilWinMan::NameToForm(CVexilWelcome::KClassName));
    ASSERT_NE(welcome, nullptr);
    CVexilWinMan::ShowForm(*welcome, false, &parent);
    EXPECT_NEAR(welcome->Left(), (900 * 15 - welcome->Width()) / 2, 15);
    EXPECT_NEAR(welcome->Top(), (600 * 15 - welcome->Height()) / 5, 15);
}
}  // namespace
