#pragma once

#include "foundation/VexilObject.h"
#include "platform/VexilCtl.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <vector>

// A top-level window of the program with the properties its code uses: caption, back colour,
// outer position and size (Left, Top, Width, Height, frame included) and inner size in twips,
// the active control, and its controls in design order, found by name. A form's controls are
// made through Add, live as long as the form and keep one tab order of their own.
class CVexilForm : public QWidget, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilForm(QWidget* aParent = nullptr);

    // The form that holds a control, or none.
    static CVexilForm* FormOf(const CVexilCtl& aCtl);

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& aCaption) { setWindowTitle(aCaption); }
    // The client area (ScaleWidth, ScaleHeight).
    float InnerWidth() const { return PixelsToTwips(width()); }
    float InnerHeight() const { return PixelsToTwips(height()); }

    // The control that has or last had the focus in this window, or none.
    CVexilCtl* ActiveControl() const;

    // Every control in design order.
    const std::vector<CVexilCtl*>& Controls() const { return iControls; }
    // The first control of that exact name in design order, or none.
    CVexilCtl* Control(const QString& aName) const;

    // Moves a control of this form to the place aIndex of the tab order (clamped to the
    // controls' range); false when the control is not on this form.
    bool MoveInTabOrder(CVexilCtl& aCtl, int32_t aIndex);

    // A change of the stack, broadcast by the window manager to every loaded window.
    virtual void ChangeNotify(int32_t /*aEvent*/, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/) {}
    // Whether the user may size the window; a stored placement restores only the position
    // of a fixed-size window.
    virtual bool Sizable() const { return true; }

protected:
    // Makes a control of the design on the form, or inside aParent (a control of the form).
    template <class T>
    T* Add(const QString& aName, QWidget* aParent = nullptr)
    {
        auto* ctl = new T(aParent ? aParent : this);
        ctl->setObjectName(aName);
        Register(*ctl);
        return ctl;
    }

    QRect PixelRect() const override;
    void PlacePixels(const QRect& aRect) override;

private:
    void Register(CVexilCtl& aCtl);

    std::vector<CVexilCtl*> iControls;
    std::vector<CVexilCtl*> iTabOrder;
    QHash<QString, CVexilCtl*> iByName;
};
