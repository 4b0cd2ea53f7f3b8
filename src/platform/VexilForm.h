#pragma once

#include "foundation/VexilObject.h"
#include "platform/VexilCtl.h"

#include <QHash>
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class QCloseEvent;
class QMdiArea;

// A window of the program with the properties its code uses: caption, back colour, outer
// position and size (Left, Top, Width, Height: see PlacementRect) and inner size in twips, the
// active control, and its controls in design order, found by name. A form's controls are
// made through Add, live as long as the form and keep one tab order of their own.
//
// While the main window's document area is set, a window that loads (is first placed or
// shown) opens inside that area in a frame of its own, and its outer position and size are
// those of the frame, relative to the area; without an area it is a top-level window, whose
// position and size are those of its client area. The frame shows and hides with the window
// and goes with it.
class CVexilForm : public QWidget, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilForm(QWidget* aParent = nullptr);

    // The form that holds a control (the control itself when it is a form), or none.
    static CVexilForm* FormOf(const CVexilCtl& aCtl);

    // The area windows open in from now on; none for top-level windows. The area's owner
    // clears it, or it goes with the area.
    static void SetMdiArea(QMdiArea* aArea);
    static QMdiArea* MdiArea();
    // The frame of the window inside the area, or none for a top-level window.
    QMdiSubWindow* SubWindow() const { return iSubWindow; }
    // Brings the window to the front and makes it the active one (restoring a minimized frame).
    void Activate();
    // Puts a window that loads into the area when there is one; nothing once it has its place.
    void HostInArea();

    // The rectangle of Left, Top, Width and Height in pixels: the frame's inside the area, the
    // client area's on the screen for a top-level window. A top-level window learns its frame
    // from the window system only once shown, so only its client area reads back what was
    // set, before and after showing alike. A maximized or minimized window gives the rectangle
    // it returns to when restored, so that a placement kept of it is that of a normal window.
    QRect PlacementRect() const;
    void SetPlacementRect(const QRect& aRect);
    // The client size the window's controls need: their bounding box, with the margin they
    // keep at the left and top repeated at the right and bottom, and at least what a layout
    // asks for.
    QSize ContentsSize() const;

    void setVisible(bool aVisible) override;

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

    // Whether a close comes from the user: the window system's close box or command, or the
    // close box of the window's frame in the area. The program's own closes are not.
    bool ClosedByUser(const QCloseEvent& aEvent) const;

private:
    friend class CVexilFormFrame;

    void Register(CVexilCtl& aCtl);

    std::vector<CVexilCtl*> iControls;
    std::vector<CVexilCtl*> iTabOrder;
    QHash<QString, CVexilCtl*> iByName;
    QPointer<QMdiSubWindow> iSubWindow;
    bool iFrameClosing = false;  // the frame in the area passes the user's close on
};
