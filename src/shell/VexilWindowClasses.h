#pragma once

#include "presentation/VexilStackViewWindows.h"

// Registers every window class of the program with the form registry, so that the window
// manager makes each window by its class name. Start-up calls it once; again is harmless.
void RegisterWindowClasses();

// The windows the stack view and the card window open, as the program has them: the card list
// on its window, managed windows through the window manager, a script's run-time error in the
// script editor, the user's close of the card window as the main window's Close, the main
// window's Show picture, and the wiki text editor.
class CVexilShellWindows : public IVexilStackViewWindows
{
public:
    // Installs the one instance for the stack views.
    static void Install();

    std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef& aStack) override;
    void UnloadCardList() override;
    void ShowForm(const QString& aClassName) override;
    void ShowRunError(const TRunErrInfo& aInfo) override;
    void EditWikiText(const TCardRef& aCard, const TControlRef& aField) override;
    void ShowPicture() override;
    bool CloseCurrentStack() override;
};
