#include "app/VexilWindowClasses.h"

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
#include "importexport/VexilCsvExportOptions.h"
#include "importexport/VexilCsvImportOptions.h"
#include "importexport/VexilExportOptions.h"
#include "importexport/VexilImportOptions.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilPictureViewer.h"
#include "presentation/VexilSearchForm.h"
#include "presentation/VexilStackView.h"
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

void CVexilProgramWindows::Install()
{
    static CVexilProgramWindows windows;
    CVexilStackViewWindows::Install(&windows);
    CVexilMenuWindows::Install(&windows);
}

std::shared_ptr<IVexilCardListView> CVexilProgramWindows::NewCardListView(const TStackRef& aStack)
{
    return CVexilCardListView::Make(aStack);
}

void CVexilProgramWindows::UnloadCardList()
{
    CVexilFormRegistry::Unload(CVexilCardListForm::KClassName);
}

void CVexilProgramWindows::ShowForm(const QString& aClassName)
{
    CVexilWinMan::ShowNamed(aClassName);
}

void CVexilProgramWindows::ShowRunError(const TRunErrInfo& aInfo)
{
    CVexilScriptEdit::ShowScriptRunError(aInfo);
}

void CVexilProgramWindows::EditWikiText(const TCardRef& aCard, const TControlRef& aField)
{
    if (auto* editor = qobject_cast<CVexilWikiTextEdit*>(CVexilWinMan::NameToForm(CVexilWikiTextEdit::KClassName)))
    {
        CVexilWinMan::ShowForm(*editor);
        editor->SetObj(aCard, aField);
    }
}

void CVexilProgramWindows::ShowPicture()
{
    CVexilStackCmds::ShowPicture();
}

bool CVexilProgramWindows::CloseCurrentStack()
{
    return !CVexilDialogLib::CloseCurrentStack();
}

void CVexilProgramWindows::EditBackgroundFields()
{
    if (auto* editor = qobject_cast<CVexilControlEdit*>(CVexilWinMan::ShowNamed(CVexilControlEdit::KClassName)))
        if (const TCardRef card = gStackView ? gStackView->CurCard() : nullptr)
            editor->SetAndShowBackground(card->Background());
}

void CVexilProgramWindows::SelectCard()
{
    if (auto* picker = qobject_cast<CVexilCardSelect*>(CVexilWinMan::ShowNamed(CVexilCardSelect::KClassName)))
        picker->SelectCard(CVexilGenForm::Instance(), nullptr, 0);
}

void CVexilProgramWindows::NewCard()
{
    auto* editor = qobject_cast<CVexilCardEdit*>(CVexilWinMan::ShowNamed(CVexilCardEdit::KClassName));
    if (const TCardRef card = gStackView ? gStackView->CurCard() : nullptr; editor && card)
        editor->NewCard(card->Background());
}

void CVexilProgramWindows::EditCard()
{
    if (const TCardRef card = gStackView ? gStackView->CurCard() : nullptr)
        if (auto* editor = qobject_cast<CVexilCardEdit*>(CVexilWinMan::ShowNamed(CVexilCardEdit::KClassName)))
            editor->SetAndShowCard(card);
}

void CVexilProgramWindows::EditField(const TCardRef& aCard, const TControlRef& aField)
{
    auto* editor = qobject_cast<CVexilControlEdit*>(CVexilWinMan::ShowNamed(CVexilControlEdit::KClassName));
    if (editor && aCard && aField)
        editor->SetAndShowControl(aCard->Background(), aField);
}

void CVexilProgramWindows::EditScript(const TObjRef& aObj, QWidget* aOwner)
{
    auto* editor = qobject_cast<CVexilScriptEdit*>(CVexilWinMan::NameToForm(CVexilScriptEdit::KClassName));
    if (!editor)
        return;
    editor->SetScriptObj(aObj);
    CVexilWinMan::ShowForm(*editor, true, aOwner);
}

bool CVexilProgramWindows::ImportCsv(const QString& aFileName)
{
    auto* csv = dynamic_cast<CVexilCsvImportOptions*>(CVexilWinMan::NameToForm(CVexilCsvImportOptions::KClassName));
    if (!csv)
        return false;
    CVexilWinMan::ShowForm(*csv);
    csv->SetImportFile(aFileName);
    return true;
}
