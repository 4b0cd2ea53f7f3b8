#include "UserClick.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#ifdef QUORVANS_XTEST
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#endif

namespace
{
// Notes the release of the left button when the window system delivers it to a window.
class CReleaseSeen : public QObject
{
public:
    CReleaseSeen() { qApp->installEventFilter(this); }
    ~CReleaseSeen() override { qApp->removeEventFilter(this); }
    bool Seen() const { return iSeen; }

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override
    {
        if (aEvent->type() == QEvent::MouseButtonRelease && aWatched->isWindowType() &&
            static_cast<QMouseEvent*>(aEvent)->button() == Qt::LeftButton)
            iSeen = true;
        return false;
    }

private:
    bool iSeen = false;
};

#ifdef QUORVANS_XTEST
Display* XDisplay()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}
#endif

// The press to the top-level window, the release posted behind it.
void PostClick(QWidget* aWidget, const QPoint& aPos)
{
    QWindow* window = aWidget->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint global = aWidget->mapToGlobal(aPos);
    const QPoint at = window->mapFromGlobal(global);
    QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    QTest::mousePress(window, Qt::LeftButton, {}, at);
}
}  // namespace

void UserClick::Click(QWidget* aWidget, const QPoint& aPos)
{
    ASSERT_NE(aWidget, nullptr);
    const CReleaseSeen release;
#ifdef QUORVANS_XTEST
    if (Display* display = XDisplay())
    {
        const QPoint global = aWidget->mapToGlobal(aPos);
        XTestFakeMotionEvent(display, -1, global.x(), global.y(), CurrentTime);
        XTestFakeButtonEvent(display, Button1, True, CurrentTime);
        XTestFakeButtonEvent(display, Button1, False, CurrentTime);
        XFlush(display);
    }
    else
#endif
        PostClick(aWidget, aPos);
    ASSERT_TRUE(QTest::qWaitFor([&release] { return release.Seen(); }));
    QCoreApplication::processEvents();
}

void UserClick::Click(QWidget* aWidget)
{
    ASSERT_NE(aWidget, nullptr);
    Click(aWidget, aWidget->rect().center());
}
