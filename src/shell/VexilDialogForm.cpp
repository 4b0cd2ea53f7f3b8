#include "shell/VexilDialogForm.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "platform/VexilFormRegistry.h"

#include <QCloseEvent>

CVexilDialogForm::CVexilDialogForm(const QString& aClassName) : iClassName(aClassName)
{
    setObjectName(aClassName);
}

void CVexilDialogForm::SetDesignSize(int aWidthTwips, int aHeightTwips)
{
    setFixedSize(TwipsToPixels(float(aWidthTwips)), TwipsToPixels(float(aHeightTwips)));
}

void CVexilDialogForm::setVisible(bool aVisible)
{
    const bool loads = aVisible && !iLoaded;
    iLoaded = iLoaded || aVisible;
    CVexilForm::setVisible(aVisible);
    // Once shown the window has the frame it opens in, which its outer placement includes;
    // nothing is painted before Load has placed and filled it.
    if (loads)
        Guarded([this] { Load(); });
}

void CVexilDialogForm::UnloadForm()
{
    if (iUnloaded)
        return;
    iUnloaded = true;
    Guarded([this] { Unload(); });
    // Only the registry's own instance leaves it: a window made outside it just hides.
    if (CVexilFormRegistry::Loaded(iClassName) == this)
        CVexilFormRegistry::Unload(iClassName);
    else
        hide();
}

void CVexilDialogForm::closeEvent(QCloseEvent* aEvent)
{
    UnloadForm();
    aEvent->accept();
}

void CVexilDialogForm::ReportError(const std::exception& aError) const
{
    CVexilError::CatchRunError(iClassName, aError);
    CVexilMsg::ShowError();
}
