#include "platform/VexilMaximizedArea.h"

#include <QMdiArea>
#include <QMdiSubWindow>

QMdiSubWindow* CVexilMaximizedArea::Successor(const QMdiSubWindow& aGoing)
{
    QMdiArea* area = aGoing.mdiArea();
    // The current window, not the active one: the area's window may be inactive (a message box).
    if (!area || !aGoing.isMaximized() || area->currentSubWindow() != &aGoing)
        return nullptr;
    return LatestOther(area->subWindowList(QMdiArea::ActivationHistoryOrder), &aGoing);
}

QMdiSubWindow* CVexilMaximizedArea::LatestOther(const QList<QMdiSubWindow*>& aHistory, const QMdiSubWindow* aGoing)
{
    for (auto window = aHistory.crbegin(); window != aHistory.crend(); ++window)
        if (*window != aGoing && !(*window)->isHidden() && !(*window)->isMinimized())
            return *window;
    return nullptr;
}

void CVexilMaximizedArea::TakeOver(QMdiSubWindow& aNext)
{
    aNext.showMaximized();
    if (QMdiArea* area = aNext.mdiArea())
        area->setActiveSubWindow(&aNext);
}
