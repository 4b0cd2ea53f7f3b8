#include "shell/VexilWindowClasses.h"

#include "editors/VexilCardSelect.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilControlSelect.h"
#include "editors/VexilFontSelect.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilValueEdit.h"
#include "foundation/VexilDialogLib.h"
#include "interchange/dialogs/VexilCsvExportOptions.h"
#include "interchange/dialogs/VexilCsvImportOptions.h"
#include "interchange/dialogs/VexilExportOptions.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilGenForm.h"
#include "shell/VexilFrame.h"
#include "shell/VexilNewStackForm.h"
#include "shell/VexilOptionEdit.h"
#include "shell/VexilStackCmds.h"
#include "shell/VexilWelcome.h"
#include "shell/VexilWinMan.h"

void RegisterWindowClasses()
{
    CVexilFrame::Register();
    CVexilGenForm::Register();
    CVexilCardListForm::Register();
    CVexilNewStackForm::Register();
    CVexilOptionEdit::Register();
    CVexilWelcome::Register();
    CVexilCardSelect::Register();
    CVexilControlSelect::Register();
    CVexilFontSelect::Register();
    CVexilControlEdit::Register();
    CVexilSortKeyEdit1::Register();
    CVexilValueEdit::Register();
    CVexilCsvImportOptions::Register();
    CVexilExportOptions::Register();
    CVexilCsvExportOptions::Register();
}

void CVexilShellWindows::Install()
{
    static CVexilShellWindows windows;
    CVexilStackViewWindows::Install(&windows);
}

std::shared_ptr<IVexilCardListView> CVexilShellWindows::NewCardListView(const TStackRef& aStack)
{
    return CVexilCardListView::Make(aStack);
}

void CVexilShellWindows::UnloadCardList()
{
    CVexilFormRegistry::Unload(CVexilCardListForm::KClassName);
}

void CVexilShellWindows::ShowForm(const QString& aClassName)
{
    if (CVexilForm* form = CVexilWinMan::NameToForm(aClassName))
        CVexilWinMan::ShowForm(*form);
}

void CVexilShellWindows::ShowPicture()
{
    CVexilStackCmds::ShowPicture();
}

bool CVexilShellWindows::CloseCurrentStack()
{
    return !CVexilDialogLib::CloseCurrentStack();
}
