// The import dialog's five format procedures.
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "importexport/VexilCsvImportOptions.h"
#include "importexport/VexilImportOptions.h"
#include "interchange/VexilImports.h"
#include "model/VexilWinManLink.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWinMan.h"

namespace
{
// The common start: the file must exist; the option's folder when the dialog has none yet.
// False when the user cancelled.
bool AskFile(TFileDialogPrompt& aDialog, const QString& aOptionDir, QString& aPath)
{
    aDialog.Flags |= TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist;
    aDialog.Save = false;
    if (aDialog.InitDir.isEmpty())
        aDialog.InitDir = aOptionDir;
    return CVexilPrompts::Current()->FileDialog(aDialog, aPath);
}

QString FolderOf(const QString& aPath)
{
    QString folder;
    QString name;
    CVexilLib::SplitPath(aPath, folder, name);
    return folder;
}

// The save question before the current stack is left or changed as a whole. False when the
// user goes back to the stack or the save asked for did not take place.
bool MayLeaveStack()
{
    bool proceed = true;
    bool saveFirst = false;
    CVexilDialogLib::CheckLeaveStack(proceed, saveFirst);
    if (!proceed)
        return false;
    if (!saveFirst)
        return true;
    CVexilStackCmds::Save();
    return !(gStack && gStack->Changed());
}

// Runs an import under the wait cursor; a failure is reported under aContext and gives false.
template <class FImport>
bool Reported(const QString& aContext, FImport&& aImport)
{
    try
    {
        CVexilDialogLib::BeginWait();
        aImport();
        CVexilDialogLib::EndWait();
        return true;
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(aContext, e);
        // Ends the wait cursor too.
        CVexilMsg::ShowError();
        return false;
    }
}
}  // namespace

void CVexilImportOptions::ImportCsvFile()
{
    QString path;
    if (!AskFile(fImportCsvDialog, gImportCsvDialogInitDir, path))
        return;
    auto* csv = dynamic_cast<CVexilCsvImportOptions*>(CVexilWinMan::NameToForm(CVexilCsvImportOptions::KClassName));
    if (!csv)
        return;
    CVexilWinMan::ShowForm(*csv);
    // The folder counts as looked in even when the CSV import is then cancelled.
    gImportCsvDialogInitDir = FolderOf(path);
    csv->SetImportFile(path);
}

void CVexilImportOptions::ImportXmlFile()
{
    QString path;
    if (!AskFile(fImportXmlDialog, gImportXmlDialogInitDir, path))
        return;
    if (MayLeaveStack())
    {
        const bool imported = Reported(QStringLiteral("CVexilImportOptions.ImportXmlFile"), [&] {
            CVexilImports::ImportXml(*gStack, path);
            gStackView->OpenCardList();
            gStackView->OpenCardView();
            gStackView->RefreshViews(true, true);
            gImportXmlDialogInitDir = FolderOf(path);
        });
        if (!imported)
            return;
    }
    // Also after Back to Stack: the card window goes to the first card and the dialog closes.
    TCardRef first;
    if (gStack && gStackView && gStack->NumCards() > 0)
        gStackView->OrderFirst(first);
    UnloadForm();
}

void CVexilImportOptions::ImportHandBaseFile()
{
    QString path;
    if (!AskFile(fImportHandBaseDialog, gImportHandBaseDialogInitDir, path))
        return;
    if (!MayLeaveStack() || CVexilStackCmds::Busy())
        return;
    // Until the new stack is current, stack commands and close requests wait.
    const CVexilStackCmds::TBusy importing;
    const bool imported = Reported(QStringLiteral("CVexilImportOptions.ImportHandBaseFile"), [&] {
        // Built before the current stack is left: a file that fails leaves it current.
        const TStackRef stack = CVexilImports::ImportHandBase(path);
        CVexilStackCmds::LeaveAnswered();
        CVexilStackCmds::MakeCurrent(stack, nullptr);
        gStackView->RefreshViews(true, true);
    });
    if (!imported)
        return;
    CVexilWinMan::NotifyAll(EChgStackOpened);
    gImportHandBaseDialogInitDir = FolderOf(path);
}

void CVexilImportOptions::ImportQuorvan()
{
    QString path;
    if (!AskFile(fImportQuorvanDialog, gImportQuorvanDialogInitDir, path))
        return;
    if (!Reported(QStringLiteral("CVexilImportOptions.ImportQuorvan"), [&] {
            CVexilImports::ImportQuorvan(*gStack, path);
            gStackView->RefreshViews(true, true);
        }))
        return;
    CVexilWinMan::NotifyAll(EChgStructure);
    gImportQuorvanDialogInitDir = FolderOf(path);
    UnloadForm();
}

void CVexilImportOptions::ImportTextFile()
{
    QString path;
    if (!AskFile(fImportTextDialog, gImportTextDialogInitDir, path))
        return;
    if (!Reported(QStringLiteral("CVexilImportOptions.ImportTextFile"), [&] {
            const TControlSetRef background = TargetBackground();
            CVexilImports::ImportTextFile(*gStack, path, background,
                                          [&] { gStackView->DeleteBackground(background, true); });
            gStackView->RefreshViews(true, true);
        }))
        return;
    CVexilWinMan::NotifyAll(EChgStructure);
    gImportTextDialogInitDir = FolderOf(path);
    UnloadForm();
}
