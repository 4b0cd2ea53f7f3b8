#include "platform/VexilPressEnd.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>

CVexilPressEnd::CVexilPressEnd(std::function<bool()> aEnd, QObject* aParent) : QObject(aParent), iEnd(std::move(aEnd))
{
}

CVexilPressEnd::~CVexilPressEnd()
{
    Watch(false);
}

void CVexilPressEnd::Wait()
{
    iWaiting = true;
    iStopRelease = false;
    Watch(true);
}

void CVexilPressEnd::End(bool aReleasing)
{
    if (!iWaiting)
        return;
    iWaiting = false;
    // The work may yield to the event loop and even end the owner.
    const QPointer<CVexilPressEnd> self(this);
    const bool goOn = !iEnd || iEnd();
    if (!self)
        return;
    iStopRelease = aReleasing && !goOn;
    Watch(iWaiting || iStopRelease);
}

void CVexilPressEnd::Watch(bool aOn)
{
    if (aOn == iWatching || !QCoreApplication::instance())
        return;
    iWatching = aOn;
    if (aOn)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool CVexilPressEnd::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    switch (aEvent->type())
    {
    case QEvent::MouseButtonRelease:
        // First seen on its way to the window, before any widget has it.
        End(true);
        if (aWatched->isWidgetType() && !iWaiting)
        {
            auto* widget = static_cast<QWidget*>(aWatched);
            const bool stop = iStopRelease || !widget->isVisible();
            iStopRelease = false;
            Watch(false);
            if (stop)
            {
                if (auto* button = qobject_cast<QAbstractButton*>(widget))
                    button->setDown(false);
                return true;
            }
        }
        break;
    case QEvent::MouseButtonPress:
        // A new press: the release of the last one never came. The press being handled passed
        // its window before the wait began.
        if (!aWatched->isWindowType())
            break;
        [[fallthrough]];
    case QEvent::MouseButtonDblClick:
        // A double click follows a press already handled, and needs no release of its own.
        End(false);
        iStopRelease = false;
        Watch(iWaiting);
        break;
    case QEvent::KeyPress:
        End(false);
        break;
    default:
        break;
    }
    return QObject::eventFilter(aWatched, aEvent);
}
