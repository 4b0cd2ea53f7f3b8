#pragma once

#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <cstdint>

// The card picker "Select Card": the user chooses a background in the combo box and a card of
// it in the list; Select (or a double click on a card) hands the card to the caller of the last
// SelectCard with its case, and the picker stays open for further answers.
//
// The caller, its case and the card chosen outlive the window: the next opening (also by the
// standard command, which only shows the window) answers the same caller. The picker never
// hands over a card that is no longer in the current stack, nor calls a caller whose window is
// gone or closed; Select is enabled exactly when it would answer. Closing the stack forgets
// caller and card; choosing another background forgets the card. The list shows the card that
// Select would hand over, or no selection.
class CVexilCardSelect final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCardSelect");

    CVexilCardSelect();
    ~CVexilCardSelect() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilCardSelect* Instance();

    // Shows the picker for aCaller, limited to aBackground when one is given (the combo box is
    // then read-only); every answer goes to aCaller with aCase.
    void SelectCard(IVexilCardSelectCaller* aCaller, const TControlSetRef& aBackground, int16_t aCase);
    // Closing the stack unloads the window.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    CVexilComboBox* fBackgroundCombo = nullptr;
    CVexilListView* fCardBox = nullptr;
    CVexilCommandButton* fSelectBut = nullptr;

protected:
    void Load() override;
    void Unloading() override;
    void Activated() override;

private:
    void SetUp();
    void BackgroundChosen();
    void CardSelected();
    void Answer();
    void UpdateSelectBut();

    CVexilListBox iBackgroundList;
    CVexilListBox iCardList;
    TControlSetRef iBackground;
    bool iBusy = false;
    bool iInitialised = false;
    // True while the program fills or selects in the card list: not the user's choice.
    bool iFillingCards = false;
};
