#include "shell/VexilWindowClasses.h"

#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilCardEdit.h"
#include "editors/VexilCardSelect.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilControlSelect.h"
#include "editors/VexilFontSelect.h"
#include "editors/VexilScriptEdit.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilStackEdit.h"
#include "editors/VexilValueEdit.h"
#include "editors/VexilWikiTextEdit.h"
#include "foundation/VexilDialogLib.h"
#include "interchange/dialogs/VexilCsvExportOptions.h"
#include "interchange/dialogs/VexilCsvImportOptions.h"
#include "interchange/dialogs/VexilExportOptions.h"
#include "interchange/dialogs/VexilImportOptions.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilPictureViewer.h"
#include "presentation/VexilSearchForm.h"
#include "shell/VexilFrame.h"
#include "shell/VexilMainForm.h"
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
    CVexilBackgroundEdit::Register();
    CVexilScriptEdit::Register();
    CVexilStackEdit::Register();
    CVexilCardEdit::Register();
    CVexilWikiTextEdit::Register();
    CVexilSearchForm::Register();
    CVexilPictureViewer::Register();
    CVexilCsvImportOptions::Register();
    CVexilExportOptions::Register();
    CVexilCsvExportOptions::Register();
    CVexilImportOptions::Register();
    MainForm::Register();
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

void CVexilShellWindows::ShowRunError(const TRunErrInfo& aInfo)
{
    CVexilScriptEdit::ShowScriptRunError(aInfo);
}

void CVexilShellWindows::EditWikiText(const TCardRef& aCard, const TControlRef& aField)
{
    if (auto* editor = qobject_cast<CVexilWikiTextEdit*>(CVexilWinMan::NameToForm(CVexilWikiTextEdit::KClassName)))
    {
        CVexilWinMan::ShowForm(*editor);
        editor->SetObj(aCard, aField);
    }
}

void CVexilShellWindows::ShowPicture()
{
    CVexilStackCmds::ShowPicture();
}

bool CVexilShellWindows::CloseCurrentStack()
{
    return !CVexilDialogLib::CloseCurrentStack();
}
