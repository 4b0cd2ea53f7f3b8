#pragma once

#include <QList>

class QMdiSubWindow;

// Keeps the document area maximized when its maximized window goes (closes or hides): the
// window the user came from, the one shown that was active last before, takes its place,
// maximized and active. Windows that are not the area's maximized current one go without
// changing the others.
class CVexilMaximizedArea
{
public:
    // The window to take the place of aGoing, or none when aGoing is not the maximized current
    // window of an area or no other window is shown.
    static QMdiSubWindow* Successor(const QMdiSubWindow& aGoing);
    // Of the windows in the order they were last active (the latest last), the latest one
    // other than aGoing that is shown and not minimized; none when there is none.
    static QMdiSubWindow* LatestOther(const QList<QMdiSubWindow*>& aHistory, const QMdiSubWindow* aGoing);
    // aNext maximized and made the area's active window.
    static void TakeOver(QMdiSubWindow& aNext);
};
