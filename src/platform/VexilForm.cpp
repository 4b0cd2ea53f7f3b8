#include "platform/VexilForm.h"

#include "platform/VexilMaximizedArea.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace
{
QPointer<QMdiArea> gMdiArea;
}

// The frame of a form in the area. Its close box is the user's close of the form: the frame
// asks the form first, and a form that refuses keeps the frame open.
class CVexilFormFrame : public QMdiSubWindow
{
public:
    explicit CVexilFormFrame(CVexilForm& aForm) : iForm(&aForm) {}

    // The frame's rectangle as a normal window: while it is maximized or minimized, the one it
    // returns to when restored.
    QRect NormalGeometry() const { return isMaximized() || isMinimized() ? iNormal : geometry(); }

protected:
    void changeEvent(QEvent* aEvent) override
    {
        if (aEvent->type() != QEvent::WindowStateChange)
        {
            QMdiSubWindow::changeEvent(aEvent);
            return;
        }
        // Taken before the frame leaves its normal state and the area changes its geometry. The
        // frame's own state is asked: the area also sends changes whose old state is not the
        // one the frame was in.
        if (iNormalState)
            iNormal = geometry();
        QMdiSubWindow::changeEvent(aEvent);
        iNormalState = !isMaximized() && !isMinimized();
    }

    void closeEvent(QCloseEvent* aEvent) override
    {
        const QPointer<CVexilForm> form = iForm;
        if (form)
            form->iFrameClosing = true;
        QMdiSubWindow::closeEvent(aEvent);
        if (form)
            form->iFrameClosing = false;
    }

private:
    QPointer<CVexilForm> iForm;
    QRect iNormal;
    bool iNormalState = true;
};

CVexilForm::CVexilForm(QWidget* aParent) : QWidget(aParent, Qt::Window), CVexilCtl(this, QPalette::Window)
{
}

CVexilForm* CVexilForm::FormOf(const CVexilCtl& aCtl)
{
    // Not window(): inside the area that is the main window.
    for (QWidget* widget = aCtl.Widget(); widget; widget = widget->parentWidget())
        if (auto* form = dynamic_cast<CVexilForm*>(widget))
            return form;
    return nullptr;
}

void CVexilForm::SetMdiArea(QMdiArea* aArea)
{
    gMdiArea = aArea;
}

QMdiArea* CVexilForm::MdiArea()
{
    return gMdiArea;
}

void CVexilForm::HostInArea()
{
    QMdiArea* area = gMdiArea;
    // Only a top-level window that has not shown yet; never the window that holds the area.
    if (iSubWindow || !area || !isWindow() || parentWidget() || isVisible() || isAncestorOf(area))
        return;
    const QSize inner = size();
    auto* frame = new CVexilFormFrame(*this);
    frame->setWidget(this);
    area->addSubWindow(frame);
    iSubWindow = frame;
    connect(this, &QObject::destroyed, frame, &QObject::deleteLater);
    // The window keeps its client size; the frame adds its borders and caption.
    frame->resize(inner.grownBy(frame->contentsMargins()));
}

void CVexilForm::setVisible(bool aVisible)
{
    if (aVisible)
        HostInArea();
    QWidget::setVisible(aVisible);
    if (!iSubWindow)
        return;
    if (aVisible)
    {
        if (iSubWindow->isHidden())
            iSubWindow->show();
    }
    // A minimized frame hides the window inside it itself and stays.
    else if (!iSubWindow->isMinimized())
    {
        // The area stays maximized: the window the user came from takes this one's place.
        QMdiSubWindow* next = CVexilMaximizedArea::Successor(*iSubWindow);
        iSubWindow->hide();
        if (next)
            CVexilMaximizedArea::TakeOver(*next);
    }
}

void CVexilForm::Activate()
{
    if (iSubWindow)
    {
        if (iSubWindow->isMinimized())
            iSubWindow->showNormal();
        if (QMdiArea* area = iSubWindow->mdiArea())
            area->setActiveSubWindow(iSubWindow);
    }
    else
        raise();
    activateWindow();
}

QRect CVexilForm::PlacementRect() const
{
    // Every frame a form gets is one of ours (HostInArea).
    if (iSubWindow)
        return static_cast<const CVexilFormFrame*>(iSubWindow.data())->NormalGeometry();
    return isMaximized() || isMinimized() || isFullScreen() ? normalGeometry() : geometry();
}

void CVexilForm::SetPlacementRect(const QRect& aRect)
{
    HostInArea();
    if (iSubWindow)
        iSubWindow->setGeometry(aRect);
    else
        setGeometry(aRect);
}

QSize CVexilForm::ContentsSize() const
{
    // A far-off first control does not make the window wider still.
    constexpr int kMaxMargin = 12;
    QSize need(0, 0);
    if (const QRect children = childrenRect(); children.isValid())
        need = QSize(children.right() + 1 + std::clamp(children.left(), 0, kMaxMargin),
                     children.bottom() + 1 + std::clamp(children.top(), 0, kMaxMargin));
    if (layout())
        need = need.expandedTo(layout()->minimumSize());
    return need;
}

bool CVexilForm::ClosedByUser(const QCloseEvent& aEvent) const
{
    return aEvent.spontaneous() || iFrameClosing;
}

CVexilCtl* CVexilForm::ActiveControl() const
{
    for (QWidget* widget = focusWidget(); widget && widget != this; widget = widget->parentWidget())
    {
        // The focus may sit in a part of a control, such as the edit field of a combo box.
        if (CVexilCtl* ctl = Of(widget))
            return ctl;
    }
    return nullptr;
}

CVexilCtl* CVexilForm::Control(const QString& aName) const
{
    return iByName.value(aName, nullptr);
}

void CVexilForm::Register(CVexilCtl& aCtl)
{
    aCtl.iTabIndex = int32_t(iTabOrder.size());
    iControls.push_back(&aCtl);
    iTabOrder.push_back(&aCtl);
    if (!iByName.contains(aCtl.Name()))
        iByName.insert(aCtl.Name(), &aCtl);
}

bool CVexilForm::MoveInTabOrder(CVexilCtl& aCtl, int32_t aIndex)
{
    const auto at = std::find(iTabOrder.begin(), iTabOrder.end(), &aCtl);
    if (at == iTabOrder.end())
        return false;
    iTabOrder.erase(at);
    const auto index = size_t(std::clamp<int32_t>(aIndex, 0, int32_t(iTabOrder.size())));
    iTabOrder.insert(iTabOrder.begin() + ptrdiff_t(index), &aCtl);
    for (size_t i = 0; i < iTabOrder.size(); ++i)
        iTabOrder[i]->iTabIndex = int32_t(i);

    // The focus chain follows: the control goes right after its predecessor, or right
    // before its successor when it is the first.
    QWidget* widget = aCtl.Widget();
    if (index > 0)
        setTabOrder(iTabOrder[index - 1]->Widget(), widget);
    else if (iTabOrder.size() > 1)
    {
        QWidget* before = iTabOrder[1]->Widget()->previousInFocusChain();
        if (before != widget)
            setTabOrder(before, widget);
    }
    return true;
}

QRect CVexilForm::PixelRect() const
{
    return PlacementRect();
}

void CVexilForm::PlacePixels(const QRect& aRect)
{
    SetPlacementRect(aRect);
}
