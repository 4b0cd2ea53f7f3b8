#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace
{
// A window that records how it was asked to close and may refuse.
class ClosingForm : public CVexilForm
{
public:
    ClosingForm() { fText = Add<CVexilTextBox>(QStringLiteral("fText")); }
    CVexilTextBox* fText;
    bool iRefuse = false;
    QList<bool> iCloses;  // ClosedByUser of each close

protected:
    void closeEvent(QCloseEvent* aEvent) override
    {
        iCloses.append(ClosedByUser(*aEvent));
        aEvent->setAccepted(!iRefuse);
    }
};

// A main window with a document area that windows open in while the test runs.
class MdiForms : public testing::Test
{
protected:
    void SetUp() override
    {
        iMain = std::make_unique<QWidget>();
        iMain->resize(800, 600);
        auto* layout = new QVBoxLayout(iMain.get());
        iArea = new QMdiArea;
        layout->addWidget(iArea);
        iMain->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(iMain.get()));
        CVexilForm::SetMdiArea(iArea);
    }
    void TearDown() override
    {
        CVexilForm::SetMdiArea(nullptr);
        iMain.reset();
    }

    // Clicks the close box in the frame's title bar, as the user does.
    static void ClickCloseBox(QMdiSubWindow& aFrame)
    {
        QStyleOptionTitleBar option;
        option.initFrom(&aFrame);
        option.subControls = QStyle::SC_All;
        option.titleBarFlags = aFrame.windowFlags();
        option.titleBarState = int(aFrame.windowState());
        option.rect = QRect(0, 0, aFrame.width(), aFrame.contentsMargins().top());
        const QPoint at =
            aFrame.style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton, &aFrame).center();
        // The frame knows which button is under the mouse only from a move.
        QTest::mouseMove(&aFrame, at);
        QTest::mouseClick(&aFrame, Qt::LeftButton, {}, at);
    }

    std::unique_ptr<QWidget> iMain;
    QMdiArea* iArea = nullptr;
};

TEST_F(MdiForms, AWindowPlacedOrShownOpensInTheAreaAndItsFrameIsItsOuterRectangle)
{
    auto* form = new ClosingForm;
    form->Move(1500, 750, 6000, 4500);
    QMdiSubWindow* frame = form->SubWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->mdiArea(), iArea);
    EXPECT_EQ(frame->geometry(), QRect(100, 50, 400, 300));
    EXPECT_EQ(form->Left(), 1500);
    EXPECT_EQ(form->Top(), 750);
    EXPECT_EQ(form->Width(), 6000);
    EXPECT_EQ(form->Height(), 4500);
    const QMargins margins = frame->contentsMargins();
    EXPECT_GT(margins.top(), margins.bottom());  // the caption
    EXPECT_FALSE(frame->isVisible());

    form->show();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->InnerWidth(), float(400 - margins.left() - margins.right()) * 15);
    EXPECT_EQ(form->InnerHeight(), float(300 - margins.top() - margins.bottom()) * 15);
    // The card window's size command measures this frame; a window not yet framed, such as
    // the card window's default placement, is measured with the same frame.
    const TWindowSize outer = CVexilLowLevelUi::ClientToWindowSize(208, 255, form);
    EXPECT_EQ(outer.Width, 208 * 20 + float(margins.left() + margins.right()) * 15);
    EXPECT_EQ(outer.Height, 255 * 20 + float(margins.top() + margins.bottom()) * 15);
    const TWindowSize unframed = CVexilLowLevelUi::ClientToWindowSize(208, 255);
    EXPECT_EQ(unframed.Width, outer.Width);
    EXPECT_EQ(unframed.Height, outer.Height);

    form->SetCaption(QStringLiteral("Card 1 of 3"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Card 1 of 3"));
    EXPECT_EQ(CVexilForm::FormOf(*form->fText), form);

    form->hide();
    EXPECT_FALSE(frame->isVisible());
    form->show();
    EXPECT_TRUE(frame->isVisible());

    // The window goes, and its frame with it.
    const QPointer<QMdiSubWindow> gone = frame;
    delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    EXPECT_TRUE(iArea->subWindowList().isEmpty());
}

TEST_F(MdiForms, AWindowKeepsItsClientSizeWhenItOpensUnplaced)
{
    auto* form = new ClosingForm;
    form->resize(300, 200);
    form->show();
    ASSERT_NE(form->SubWindow(), nullptr);
    EXPECT_EQ(form->size(), QSize(300, 200));
    delete form;
}

TEST_F(MdiForms, AMinimizedFrameStaysAndShowsItsWindowAgainWhenRestoredOrActivated)
{
    auto* form = new ClosingForm;
    form->Move(0, 0, 6000, 4500);
    form->show();
    QMdiSubWindow* frame = form->SubWindow();
    frame->showMinimized();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(form->isVisible());
    form->Activate();
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(iArea->activeSubWindow(), frame);
    delete form;
}

TEST_F(MdiForms, TheFramesCloseBoxIsTheUsersCloseAndTheWindowMayRefuseIt)
{
    auto* form = new ClosingForm;
    form->Move(0, 0, 6000, 4500);
    form->show();
    QMdiSubWindow* frame = form->SubWindow();
    QApplication::processEvents();

    form->iRefuse = true;
    ClickCloseBox(*frame);
    EXPECT_EQ(form->iCloses, QList<bool>({true}));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(form->isVisible());

    form->iRefuse = false;
    ClickCloseBox(*frame);
    EXPECT_EQ(form->iCloses, QList<bool>({true, true}));
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(form->isVisible());

    // The program's own close.
    form->show();
    form->close();
    EXPECT_EQ(form->iCloses, QList<bool>({true, true, false}));
    EXPECT_FALSE(frame->isVisible());
    delete form;
}

TEST_F(MdiForms, WithoutAnAreaAndForTheWindowHoldingItWindowsStayTopLevel)
{
    // The window that holds the area is not put into it.
    ClosingForm holder;
    auto* area = new QMdiArea(&holder);
    CVexilForm::SetMdiArea(area);
    holder.Move(0, 0, 6000, 4500);
    holder.show();
    EXPECT_EQ(holder.SubWindow(), nullptr);
    EXPECT_TRUE(holder.isWindow());

    CVexilForm::SetMdiArea(nullptr);
    ClosingForm alone;
    alone.Move(1500, 1500, 6000, 4500);
    alone.show();
    EXPECT_EQ(alone.SubWindow(), nullptr);
    EXPECT_TRUE(alone.isWindow());
    EXPECT_EQ(alone.Left(), 1500);
}
}  // namespace
