#pragma once

#include "platform/VexilForm.h"

#include <QString>

#include <exception>

class QCloseEvent;

// A managed modeless window of the shell with a fixed design size. It is loaded when it is
// first shown (showing it again while it is open loads nothing anew) and unloaded when it
// closes, by one of its buttons, its close box or the program: the instance leaves the form
// registry, so the next showing loads a new window with fresh controls. No exception leaves
// an event handler of the window: what a handler raises is reported with the error message.
class CVexilDialogForm : public CVexilForm
{
    Q_OBJECT

public:
    // aClassName: the name the window is registered under.
    explicit CVexilDialogForm(const QString& aClassName);

    // Runs Unload and takes the window out of the registry; it is destroyed once control is
    // back in the event loop. A second call does nothing.
    void UnloadForm();

    void setVisible(bool aVisible) override;
    bool Sizable() const override { return false; }

protected:
    // The window's load and unload events; both run inside Guarded. Load runs when the window
    // first shows, before it paints.
    virtual void Load() {}
    virtual void Unload() {}

    // Design helper: the client area's fixed size in twips.
    void SetDesignSize(int aWidthTwips, int aHeightTwips);

    // Runs a handler's work and reports what it raises.
    template <class F>
    void Guarded(F aWork)
    {
        try
        {
            aWork();
        }
        catch (const std::exception& e)
        {
            ReportError(e);
        }
    }

    void closeEvent(QCloseEvent* aEvent) override;

private:
    void ReportError(const std::exception& aError) const;

    QString iClassName;
    bool iLoaded = false;
    bool iUnloaded = false;
};
