#include "platform/VexilForm.h"

#include <algorithm>

CVexilForm::CVexilForm(QWidget* aParent) : QWidget(aParent, Qt::Window), CVexilCtl(this, QPalette::Window)
{
}

CVexilForm* CVexilForm::FormOf(const CVexilCtl& aCtl)
{
    return dynamic_cast<CVexilForm*>(aCtl.Widget()->window());
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
    return frameGeometry();
}

void CVexilForm::PlacePixels(const QRect& aRect)
{
    // Left and Top place the frame; the frame's own size is what the window system adds.
    const QSize frame = frameGeometry().size() - size();
    move(aRect.topLeft());
    resize(std::max(0, aRect.width() - frame.width()), std::max(0, aRect.height() - frame.height()));
}
