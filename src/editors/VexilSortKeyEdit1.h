#pragma once

#include "editors/VexilEditMode.h"
#include "editors/VexilSortKeyRows.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"

#include <QString>

#include <array>
#include <cstdint>

class CVexilSortKeyWriter;

// The window "Edit Sort Keys": the backgrounds of the current stack, the sort keys of the
// chosen one, and one key at a time in five part rows of field and way. It creates, rewrites
// and deletes keys (CVexilSortKeyWriter) and sorts the background's cards once by the key
// shown; every key change is broadcast as EChgSortKeys, a new card order as EChgCardOrder.
//
// A name or a field that the key cannot take keeps the focus as the user leaves it, and
// Create and Modify check them again themselves, so a refused input never reaches the stack.
// Create, Modify, Delete and Sort Cards act on the background and key taken at the click, and
// only while they still belong to the current stack; without a background nothing can be
// created. Input not yet written is dropped on every change of mode. No exception leaves an
// event handler; what a handler raises is reported with its message.
class CVexilSortKeyEdit1 final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilSortKeyEdit1");

    CVexilSortKeyEdit1();
    ~CVexilSortKeyEdit1() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    int32_t Mode() const { return iMode; }
    const TControlSetRef& Background() const { return iBackground; }
    const TSortKeyRef& SortKey() const { return iSortKey; }

    CVexilListView* fBackgroundBox = nullptr;
    CVexilListView* fSortKeyBox = nullptr;
    CVexilTextBox* fName = nullptr;
    CVexilLabel* fModeText = nullptr;
    std::array<CVexilComboBox*, KNumKeyRows> fControlCombo{};
    std::array<CVexilComboBox*, KNumKeyRows> fSortWayCombo{};
    CVexilCommandButton* fNewBut = nullptr;
    CVexilCommandButton* fCreateBut = nullptr;
    CVexilCommandButton* fModifyBut = nullptr;
    CVexilCommandButton* fDeleteBut = nullptr;
    CVexilCommandButton* fSortBut = nullptr;

protected:
    void Load() override;

private:
    void BuildDesign();
    void ConnectEvents();

    void ShowBackgroundSortKeys();
    void ShowSortKey();
    void SetMode(int32_t aMode);
    void ClearRows();
    TKeyRows ReadRows() const;

    // The checks of a row's field as the user chooses it or leaves the box.
    void ControlChosen(int aRow, bool aLeaving);
    void NameLeft();
    // The name and the rows as Create and Modify check them; false with the focus put on
    // the input refused.
    bool CheckInput(const CVexilSortKeyWriter& aWriter, const CVexilSortKey* aKey);
    void Refocus(QWidget* aInput);

    void BackgroundClicked();
    void BackgroundDoubleClicked();
    void SortKeyClicked();
    void NewClicked();
    void CreateClicked();
    void ModifyClicked();
    void DeleteClicked();
    void SortClicked();

    CVexilListBox iBackgroundList;
    CVexilListBox iSortKeyList;
    std::array<CVexilListBox, KNumKeyRows> iControlLists;
    std::array<CVexilListBox, KNumKeyRows> iWayLists;
    TControlSetRef iBackground;
    TSortKeyRef iSortKey;
    int32_t iMode = EModeNone;
    // True while the window fills and selects in its inputs: those are no choices of the user.
    bool iBusy = false;
    // True while a failed check puts the focus back, so that the input the focus passed
    // through is not examined.
    bool iRefocusing = false;
};
