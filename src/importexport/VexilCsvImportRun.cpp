#include "importexport/VexilCsvImportRun.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "importexport/VexilTargetBackground.h"
#include "model/VexilStackHost.h"
#include "presentation/VexilStackView.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilNewStackForm.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

namespace
{
const QString kContext = QStringLiteral("CVexilCsvImportOptions.fImportBut_Click");

// Runs a step under the wait cursor; a failure is reported and gives false.
template <class FStep>
bool Reported(FStep&& aStep)
{
    try
    {
        CVexilDialogLib::BeginWait();
        aStep();
        CVexilDialogLib::EndWait();
        return true;
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(kContext, e);
        // Ends the wait cursor too.
        CVexilMsg::ShowError();
        return false;
    }
}

// The complete new stack and its view become current together; a failure while its windows
// open leaves no stack current.
void MakeCurrent(const TStackRef& aStack)
{
    try
    {
        auto view = std::make_shared<CVexilStackView>();
        view->Contruct(aStack->Name());
        view->SetStack(aStack);
        gStack = aStack;
        gStackView = view;
        CVexilStackViewLink::Install(view.get());
        view->OpenCardList();
        view->OpenCardView();
        view->RefreshViews(true, true);
    }
    catch (const std::exception&)
    {
        CVexilNewStack::DropCurrent();
        throw;
    }
}
}  // namespace

CVexilCsvImportRun::EEnd CVexilCsvImportRun::Run(const TCsvOptions& aOptions, const TImportTargetState& aTarget)
{
    TControlSetRef background;
    if (aTarget.IntoCurStack)
    {
        background = CVexilTargetBackground::Find(aTarget.BackgroundId, aTarget.BackgroundName);
        if (!background)
            return EStay;
    }
    CVexilImports import;
    bool read = false;
    if (!Reported([&] { read = import.ReadCsv(aOptions); }) || !read)
        return EStay;
    if (!aTarget.IntoCurStack && CVexilDialogLib::CloseCurrentStack())
        return ELeaveRefused;
    // Until the import is complete, stack commands and close requests wait.
    const CVexilStackCmds::TBusy importing;
    const bool built = Reported([&] {
        if (!aTarget.IntoCurStack)
        {
            MakeCurrent(import.BuildCsvStack());
            return;
        }
        TCardRef before;
        bool found = false;
        CVexilStackHost::GetCardAfterBackground(*background, before, found);
        gStackView->DeleteBackground(background, true);
        import.FillCsvBackground(*gStack, background, before);
        gStackView->OpenCardList();
        gStackView->OpenCardView();
        gStackView->RefreshViews(true, true);
    });
    if (!built)
        return EStay;
    CVexilWinMan::NotifyAll(EChgStackOpened);
    gCsvDetectTypes = aOptions.DetectTypes;
    gCsvGuessKey = aOptions.GuessKey;
    gCsvTryCardName = aOptions.TryCardName;
    return EImported;
}
