#pragma once

#include "platform/VexilForm.h"

#include <QString>

#include <functional>
#include <vector>

class QCloseEvent;
class QEvent;
class QGroupBox;
class QWidget;

// A titled frame on aForm, placed and sized in twips.
QGroupBox* TwipsFrame(QWidget* aForm, const QString& aName, const QString& aTitle, float aLeft, float aTop,
                      float aWidth, float aHeight);

// A managed modeless window of the editors. Its Load runs when the window is first shown
// after it was made; closing it (its close box, or UnloadForm) unloads it: Unloading runs,
// the placement is saved under the class name and the registry drops the instance, which is
// destroyed once control is back in the event loop. No exception leaves an event handler of
// the window: Guarded reports it as the program's error.
class CVexilManagedForm : public CVexilForm
{
    Q_OBJECT

public:
    explicit CVexilManagedForm(const QString& aClassName);

    const QString& ClassName() const { return iClassName; }
    // Closes the window for good; nothing happens when it is no longer the loaded instance.
    void UnloadForm();

    void setVisible(bool aVisible) override;

protected:
    // The first show of this instance.
    virtual void Load() {}
    // The window is being unloaded; its placement is saved right after.
    virtual void Unloading() {}
    // The window became the active one (a caller may have closed meanwhile).
    virtual void Activated() {}

    // Runs aCheck when the focus goes from aInput to another control of this window (not to
    // another window, nor into a pop-up). The check may put the focus back.
    void CheckOnLeave(QWidget* aInput, std::function<void()> aCheck);

    // Runs a handler's work and reports what it raises.
    void Guarded(const std::function<void()>& aWork) const;

    bool event(QEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    struct TLeaveCheck
    {
        QWidget* Input;
        std::function<void()> Check;
    };

    QString iClassName;
    bool iLoaded = false;
    bool iUnloading = false;
    std::vector<TLeaveCheck> iLeaveChecks;
};
