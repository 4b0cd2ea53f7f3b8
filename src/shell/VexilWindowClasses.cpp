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
    // In the order of the program's window table; the developer test panel is not one of them.
    CVexilFrame::Register();
    CVexilStackEdit::Register();
    CVexilGenForm::Register();
    CVexilCardListForm::Register();
    CVexilSearchForm::Register();
    CVexilNewStackForm::Register();
    CVexilControlEdit::Register();
    CVexilOptionEdit::Register();
    CVexilFontSelect::Register();
    CVexilCardSelect::Register();
    CVexilBackgroundEdit::Register();
    CVexilCardEdit::Register();
    CVexilValueEdit::Register();
    CVexilCsvImportOptions::Register();
    CVexilWikiTextEdit::Register();
    CVexilSortKeyEdit1::Register();
    CVexilControlSelect::Register();
    CVexilScriptEdit::Register();
    CVexilWelcome::Register();
    CVexilExportOptions::Register();
    CVexilCsvExportOptions::Register();
    CVexilImportOptions::Register();
    CVexilPictureViewer::Register();
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
