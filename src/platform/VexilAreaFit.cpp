#include "platform/VexilAreaFit.h"

#include "platform/VexilForm.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include <algorithm>

CVexilAreaFit::TPlan CVexilAreaFit::Plan(const QRect& aWindow, const QSize& aNeed, const QSize& aArea,
                                         const QSize& aRoom)
{
    const QSize size = aWindow.size().expandedTo(aNeed);
    const QSize growth = (size - aArea).expandedTo(QSize(0, 0)).boundedTo(aRoom.expandedTo(QSize(0, 0)));
    const QSize area = aArea + growth;
    const int left = std::clamp(aWindow.left(), 0, std::max(0, area.width() - size.width()));
    const int top = std::clamp(aWindow.top(), 0, std::max(0, area.height() - size.height()));
    return {QRect(QPoint(left, top), size), growth};
}

void CVexilAreaFit::Fit(CVexilForm& aForm)
{
    QMdiSubWindow* frame = aForm.SubWindow();
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    if (!area || frame->isMaximized() || frame->isMinimized())
        return;
    QWidget* main = area->window();
    const QMargins margins = frame->contentsMargins();
    const QSize need = aForm.ContentsSize().grownBy(margins);
    QSize room(0, 0);
    QRect available;
    if (const QScreen* screen = main->screen())
    {
        available = screen->availableGeometry();
        room = available.size() - main->frameGeometry().size();
    }
    const TPlan plan = Plan(frame->geometry(), need, area->viewport()->size(), room);
    if (plan.Growth.width() > 0 || plan.Growth.height() > 0)
    {
        main->resize(main->size() + plan.Growth);
        // The grown window stays on the screen.
        const QRect outer = main->frameGeometry();
        const QPoint shift(std::min(0, available.right() - outer.right()), std::min(0, available.bottom() - outer.bottom()));
        if (!shift.isNull())
            main->move(main->pos() + shift);
        if (QLayout* layout = main->layout())
            layout->activate();
    }
    frame->setGeometry(plan.Window);
}
