#pragma once

#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilStack.h"
#include "script/VexilInterpreter.h"

#include <QString>

#include <memory>

class CVexilForm;
class CVexilListBox;

// The card list as the stack view drives it: the list of the stack's cards on the card list
// window, made on that window by the window's owner.
class IVexilCardListView
{
public:
    virtual ~IVexilCardListView() = default;
    // The list of cards (its font, Resize and the selected card).
    virtual CVexilListBox& CardBox() = 0;
    // The card list window, for its placement; none when it is not loaded.
    virtual CVexilForm* Form() const = 0;
    // Fills the list for the background the user chose; aForce rebuilds the lines even when
    // that background is listed already.
    virtual void FillAndShowCardList(bool aForce) = 0;
    // Rewrites the line of the card.
    virtual void UpdateCard(const TCardRef& aCard) = 0;
};

// The windows of other parts of the program that the stack view and the card window open.
// The program installs the real ones; the defaults stand in until then: no card list opens,
// a script's run-time error shows its message through the prompts, the other windows do
// nothing, and a close of the card window by the user is refused.
class IVexilStackViewWindows
{
public:
    // The managed windows that the stack view shows by class name.
    static inline const QString KCardListForm = QStringLiteral("CVexilCardListForm");
    static inline const QString KCardSelect = QStringLiteral("CVexilCardSelect");

    virtual ~IVexilStackViewWindows() = default;
    // A card list view of the stack on its window (loaded, not yet shown); none opens no list.
    virtual std::shared_ptr<IVexilCardListView> NewCardListView(const TStackRef& aStack);
    // Unloads the card list window when it is loaded.
    virtual void UnloadCardList();
    // Shows a managed window modeless without owner, or brings it to the front.
    virtual void ShowForm(const QString& aClassName);
    // The script editor opened at the failing line of a script run-time error.
    virtual void ShowRunError(const TRunErrInfo& aInfo);
    // The wiki text editor on a field of a card.
    virtual void EditWikiText(const TCardRef& aCard, const TControlRef& aField);
    // The main window's Show Picture: the picture of the active picture field.
    virtual void ShowPicture();
    // The user closes the card window: leaves the current stack (which may ask to save).
    // True when no stack is open afterwards.
    virtual bool CloseCurrentStack();
};

class CVexilStackViewWindows
{
public:
    // Not owned; none restores the defaults.
    static void Install(IVexilStackViewWindows* aWindows);
    static IVexilStackViewWindows& Current();
};
