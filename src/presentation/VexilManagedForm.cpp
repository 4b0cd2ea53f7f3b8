#include "presentation/VexilManagedForm.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "platform/VexilCtl.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>

#include <exception>

CVexilManagedForm::CVexilManagedForm(const QString& aClassName) : iClassName(aClassName)
{
    setObjectName(aClassName);
}

void CVexilManagedForm::setVisible(bool aVisible)
{
    if (aVisible && !iLoaded)
    {
        iLoaded = true;
        // With its native window the window knows its frame, which its placement includes.
        create();
        Guarded([this] { Load(); });
    }
    CVexilForm::setVisible(aVisible);
}

void CVexilManagedForm::UnloadForm()
{
    if (iUnloading || CVexilFormRegistry::Loaded(iClassName) != this)
        return;
    iUnloading = true;
    Guarded([this] {
        Unloading();
        CVexilFormPlacement::Save(*this);
    });
    CVexilFormRegistry::Unload(iClassName);
}

bool CVexilManagedForm::event(QEvent* aEvent)
{
    if (aEvent->type() == QEvent::WindowActivate)
        Guarded([this] { Activated(); });
    return CVexilForm::event(aEvent);
}

void CVexilManagedForm::closeEvent(QCloseEvent* aEvent)
{
    aEvent->accept();
    UnloadForm();
}

void CVexilManagedForm::CheckOnLeave(QWidget* aInput, std::function<void()> aCheck)
{
    aInput->installEventFilter(this);
    iLeaveChecks.push_back({aInput, std::move(aCheck)});
}

bool CVexilManagedForm::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aEvent->type() == QEvent::FocusOut)
    {
        const auto reason = static_cast<QFocusEvent*>(aEvent)->reason();
        // The focus has moved already when the box hears of it. Inside the document area
        // window() is the main window, so the target is asked for this form as its ancestor.
        const QWidget* next = QApplication::focusWidget();
        const bool toOwnControl = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                                  next && next != aWatched && isAncestorOf(next);
        for (const TLeaveCheck& leave : iLeaveChecks)
            if (leave.Input == aWatched && toOwnControl)
                Guarded(leave.Check);
    }
    return CVexilForm::eventFilter(aWatched, aEvent);
}

void CVexilManagedForm::Guarded(const std::function<void()>& aWork) const
{
    try
    {
        aWork();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(iClassName, e);
        CVexilMsg::ShowError();
    }
}

QGroupBox* TwipsFrame(QWidget* aForm, const QString& aName, const QString& aTitle, float aLeft, float aTop,
                      float aWidth, float aHeight)
{
    auto* frame = new QGroupBox(aTitle, aForm);
    frame->setObjectName(aName);
    frame->setGeometry(CVexilCtl::TwipsToPixels(aLeft), CVexilCtl::TwipsToPixels(aTop),
                       CVexilCtl::TwipsToPixels(aWidth), CVexilCtl::TwipsToPixels(aHeight));
    return frame;
}
