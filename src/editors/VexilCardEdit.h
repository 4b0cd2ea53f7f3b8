#pragma once

#include "editors/VexilEditMode.h"
#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilFont;

// The window "Edit Cards": the backgrounds of the current stack, the cards of the chosen one
// in stack order, and the fields of the card shown with its values. It creates single cards
// at a chosen place of the stack order, renames cards, writes a card's own font and back
// colour and deletes cards (CVexilCardWriter does the writing).
//
// Create, Modify and Delete act on the background and card taken at the click, and only while
// they still belong to the current stack; without a background nothing can be created. No
// list offers a card that is being deleted, and the card chosen for "before this card:" is
// forgotten when it is deleted. A name that is blank keeps the focus as the user leaves it,
// and Create and Modify check it again themselves. Input not yet written is dropped on every
// change of mode. No exception leaves an event handler; what a handler raises is reported
// with its message.
class CVexilCardEdit final : public CVexilManagedForm, public IVexilCardSelectCaller, public IVexilFontSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCardEdit");

    CVexilCardEdit();
    ~CVexilCardEdit() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // The font picker's answer (case 0 only): the font Create or Modify writes.
    void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) override;
    // The card picker's answer (case 0 only): the card for "before this card:".
    void SetCard(const TCardRef& aCard, int16_t aCase) override;
    // Lists the cards of the card's background and shows the card for changing.
    Q_INVOKABLE void SetAndShowCard(const TCardRef& aCard);
    // Lists the cards of the background and starts a new card of it.
    Q_INVOKABLE void NewCard(const TControlSetRef& aBackground);
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    int32_t Mode() const { return iMode; }
    const TControlSetRef& Background() const { return iBackground; }
    const TCardRef& Card() const { return iCard; }
    int32_t BeforeCardId() const { return iBeforeCardId; }

    // The controls, named as the window's design names them.
    CVexilListView* fBackgroundBox = nullptr;
    CVexilListView* fCardBox = nullptr;
    CVexilListView* fControlBox = nullptr;
    CVexilTextBox* fName = nullptr;
    CVexilTextBox* fFontName = nullptr;
    CVexilTextBox* fFontSize = nullptr;
    CVexilLabel* fFontColor = nullptr;
    CVexilCommandButton* fSelectFontBut = nullptr;
    CVexilLabel* fColorSample = nullptr;
    CVexilCommandButton* fSelectColorBut = nullptr;
    CVexilCommandButton* fClearColorBut = nullptr;
    CVexilTextBox* fCreDate = nullptr;
    CVexilTextBox* fModDate = nullptr;
    CVexilCheckBox* fChanged = nullptr;
    CVexilOptionButton* fAtEnd = nullptr;
    CVexilOptionButton* fBeforeCur = nullptr;
    CVexilOptionButton* fAfterCur = nullptr;
    CVexilOptionButton* fBeforeSpec = nullptr;
    CVexilTextBox* fCardName = nullptr;
    CVexilCommandButton* fSelectCardBut = nullptr;
    CVexilLabel* fModeText = nullptr;
    CVexilCommandButton* fNewBut = nullptr;
    CVexilCommandButton* fCreateBut = nullptr;
    CVexilCommandButton* fModifyBut = nullptr;
    CVexilCommandButton* fDeleteBut = nullptr;
    // Kept disabled: the card's script is edited through the script editor, not here yet.
    CVexilCommandButton* fScriptBut = nullptr;
    CVexilCommandButton* fHelpBut = nullptr;

protected:
    void Load() override;
    // Something dropped on the card list selects the line under the drop.
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    void BuildDesign();
    void ConnectEvents();

    // aLeaveOut: a card being deleted, which the card list must not offer.
    void ShowBackgroundCards(const CVexilCard* aLeaveOut = nullptr);
    void ShowCard(const TCardRef& aCard);
    void SetMode(int32_t aMode);
    void ClearInputs();
    // Sets the box back to the card's flag: the user cannot change it.
    void ShowChangedFlag();
    // The lists again after a change of the stack, the selected background kept by its name.
    void RefillLists(const CVexilCard* aLeaveOut);
    // Forgets the card chosen for "before this card:" when it is gone or being deleted.
    void ForgetBeforeCard(const CVexilCard* aDeleting);
    // The insert option selected (an EInsertPos).
    int32_t InsertPos() const;
    // The selected card line's card while it is one of the stack's, else none.
    TCardRef SelectedCard() const;
    // The name as Create and Modify check it; false with the focus put back in the box.
    bool CheckName();
    void Refocus(QWidget* aInput);

    void BackgroundClicked();
    void BackgroundDoubleClicked();
    void CardClicked();
    void CardDoubleClicked();
    void ControlDoubleClicked();
    void NewClicked();
    void CreateClicked();
    void ModifyClicked();
    void DeleteClicked();
    void ScriptClicked();
    void SelectCardClicked();
    void SelectFontClicked();
    void SelectColorClicked();
    void ClearColorClicked();
    void NameLeft();

    CVexilListBox iBackgroundList;
    CVexilListBox iCardList;
    CVexilListBox iControlList;
    int32_t iMode = EModeNone;
    TControlSetRef iBackground;
    bool iKeptSorted = false;
    TCardRef iCard;
    int32_t iBeforeCardId = UndefLong;
    std::shared_ptr<CVexilFont> iFont;
    int32_t iBackColor = UndefLong;
    bool iLoading = false;
    // True while the window fills and selects in its inputs: those are no choices of the user.
    bool iBusy = false;
    // True while a failed check puts the focus back.
    bool iRefocusing = false;
};
