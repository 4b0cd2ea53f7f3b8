// Work handed to the end of a mouse press runs once, when the press ends, before its release
// is delivered; it may stop the click. A press whose release never comes ends at the next
// press or key press.

#include "platform/VexilPressEnd.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
class PressEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        iWindow = std::make_unique<QWidget>();
        iWindow->resize(200, 100);
        iButton = new QPushButton(QStringLiteral("Go"), iWindow.get());
        iButton->setGeometry(20, 20, 80, 30);
        iWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(iWindow.get()));
        // The press hands work to its end, as a focus change made by the press does.
        QObject::connect(iButton, &QPushButton::pressed, iButton, [this] {
            if (!iEnd.Waiting() && iLog.isEmpty())
                iEnd.Wait();
        });
        QObject::connect(iButton, &QPushButton::clicked, iButton, [this] { iLog.append(QStringLiteral("clicked")); });
    }

    std::unique_ptr<QWidget> iWindow;
    QPushButton* iButton = nullptr;
    QStringList iLog;
    bool iGoOn = true;
    CVexilPressEnd iEnd{[this] {
        iLog.append(QStringLiteral("end"));
        return iGoOn;
    }};
};

TEST_F(PressEnd, TheWorkRunsOnceWhenThePressEnds)
{
    struct TCase
    {
        const char* Name;
        bool GoOn;
        std::function<void(QPushButton&)> After;  // what follows the press
        QStringList Log;
        bool StillDown;  // the button saw no release
    } const cases[] = {
        {"release", true, [](QPushButton& aButton) { QTest::mouseRelease(&aButton, Qt::LeftButton); },
         {QStringLiteral("end"), QStringLiteral("clicked")}, false},
        {"release of a stopped click", false,
         [](QPushButton& aButton) { QTest::mouseRelease(&aButton, Qt::LeftButton); }, {QStringLiteral("end")}, false},
        {"key press", true, [](QPushButton& aButton) { QTest::keyClick(aButton.window(), Qt::Key_A); },
         {QStringLiteral("end")}, true},
        {"new press", true,
         [](QPushButton& aButton) {
             QTest::mousePress(aButton.window()->windowHandle(), Qt::LeftButton, {}, QPoint(150, 80));
             QTest::mouseRelease(aButton.window()->windowHandle(), Qt::LeftButton, {}, QPoint(150, 80));
         },
         {QStringLiteral("end")}, true},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        iLog.clear();
        iGoOn = c.GoOn;
        QTest::mousePress(iButton, Qt::LeftButton);
        ASSERT_TRUE(iEnd.Waiting());
        c.After(*iButton);
        EXPECT_FALSE(iEnd.Waiting());
        EXPECT_EQ(iLog, c.Log);
        EXPECT_EQ(iButton->isDown(), c.StillDown);
        if (iButton->isDown())
            QTest::mouseRelease(iButton, Qt::LeftButton);
        // Nothing is left waiting: the next click is a plain one.
        iLog.append(QStringLiteral("-"));
        QTest::mouseClick(iButton, Qt::LeftButton);
        EXPECT_EQ(iLog.last(), QStringLiteral("clicked"));
        iLog.clear();
    }
}
}  // namespace
