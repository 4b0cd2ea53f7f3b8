#pragma once

#include "presentation/VexilStackViewWindows.h"
#include "shell/VexilMenuWindows.h"

// Registers every window class of the program with the form registry, so that the window
// manager makes each window by its class name. Start-up calls it once; again is harmless.
void RegisterWindowClasses();

// The windows that the lower layers open, as the program has them.
// For the stack view and the card window: the card list on its window, managed windows
// through the window manager, a script's run-time error in the script editor, the user's
// close of the card window as the main window's Close, the main window's Show picture, and
// the wiki text editor.
// For the main window's menus and the developer panel: the card picker, the card and field
// editors on the current card, the script editor and the CSV import.
class CVexilProgramWindows : public IVexilStackViewWindows, public IVexilMenuWindows
{
public:
    // Installs the one instance for the stack views and the main window.
    static void Install();

    std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef& aStack) override;
    void UnloadCardList() override;
    void ShowForm(const QString& aClassName) override;
    void ShowRunError(const TRunErrInfo& aInfo) override;
    void EditWikiText(const TCardRef& aCard, const TControlRef& aField) override;
    void ShowPicture() override;
    bool CloseCurrentStack() override;

    void EditBackgroundFields() override;
    void SelectCard() override;
    void NewCard() override;
    void EditCard() override;
    void EditField(const TCardRef& aCard, const TControlRef& aField) override;
    void EditScript(const TObjRef& aObj, QWidget* aOwner) override;
    bool ImportCsv(const QString& aFileName) override;
};
