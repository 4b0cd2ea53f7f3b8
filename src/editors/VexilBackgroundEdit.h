#pragma once

#include "editors/VexilBackgroundWriter.h"
#include "editors/VexilEditMode.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CVexilFont;

// The window "Edit Backgrounds": the backgrounds of the current stack, one at a time with its
// name, description, flags, the sort key that keeps its cards sorted, wallpaper, font and
// colour, and the cards of the background shown. It creates, rewrites and deletes backgrounds
// (CVexilBackgroundWriter), deletes all cards of one, attaches and clears wallpapers, and
// goes on to the field editor, the card editor and the card window.
//
// A blank name keeps the focus as the user leaves it, and Create and Modify check the name
// and the kept key again themselves, so a refused input never reaches the stack. Create,
// Modify, Delete, Delete Cards and the wallpaper act on the background taken at the click,
// and only while it still belongs to the current stack; the card buttons act only on a card
// still in the stack. Only the wallpaper changes the stack before Create or Modify. Input not
// yet written is dropped on every change to EModeNone. No exception leaves an event handler;
// what a handler raises is reported with its message.
class CVexilBackgroundEdit final : public CVexilManagedForm, public IVexilFontSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilBackgroundEdit");

    CVexilBackgroundEdit();
    ~CVexilBackgroundEdit() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // The font picker's answer (case 0 only): the font Create and Modify write.
    void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) override;
    // Shows the background for changing.
    Q_INVOKABLE void SetAndShowBackground(const TControlSetRef& aBackground);
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    int32_t Mode() const { return iMode; }
    const TControlSetRef& Background() const { return iBackground; }

    CVexilListView* fBackgroundBox = nullptr;
    CVexilListView* fCardBox = nullptr;
    CVexilLabel* fModeText = nullptr;
    CVexilTextBox* fName = nullptr;
    CVexilTextBox* fDescr = nullptr;
    CVexilCheckBox* fCardNameInList = nullptr;
    CVexilCheckBox* fKeepCardsSorted = nullptr;
    CVexilCheckBox* fShowWallPaper = nullptr;
    CVexilCheckBox* fTileWallPaper = nullptr;
    CVexilCheckBox* fShowCardName = nullptr;
    CVexilCheckBox* fScrollable = nullptr;
    CVexilCheckBox* fDenseLayout = nullptr;
    CVexilComboBox* fSortKeyCombo = nullptr;
    CVexilTextBox* fWallPaperId = nullptr;
    CVexilCommandButton* fWallPaperBut = nullptr;
    CVexilCommandButton* fClearWallPaperBut = nullptr;
    CVexilTextBox* fFontName = nullptr;
    CVexilTextBox* fFontSize = nullptr;
    CVexilLabel* fFontColor = nullptr;
    CVexilCommandButton* fSelectFontBut = nullptr;
    CVexilLabel* fColorSample = nullptr;
    CVexilCommandButton* fSelectColorBut = nullptr;
    CVexilCommandButton* fClearColorBut = nullptr;
    CVexilCommandButton* fNewBut = nullptr;
    CVexilCommandButton* fCreateBut = nullptr;
    CVexilCommandButton* fModifyBut = nullptr;
    CVexilCommandButton* fDeleteBut = nullptr;
    CVexilCommandButton* fScriptBut = nullptr;
    CVexilCommandButton* fShowControlsBut = nullptr;
    CVexilCommandButton* fEditCardBut = nullptr;
    CVexilCommandButton* fShowCardBut = nullptr;
    CVexilCommandButton* fDeleteCardsBut = nullptr;
    CVexilCommandButton* fHelpBut = nullptr;

protected:
    void Load() override;

private:
    // Design (VexilBackgroundEditDesign.cpp).
    void BuildDesign();
    void ConnectEvents();

    // Lists, modes and inputs.
    void ShowBackground();
    void SetMode(int32_t aMode);
    void ClearInputs();
    void ShowFlags(int32_t aFlags);
    int32_t ReadFlags() const;
    TBackgroundInput ReadInput() const;
    void Refocus(QWidget* aInput);
    // The broadcast; false when this window was unloaded meanwhile.
    bool Broadcast(int32_t aEvent, const TObjRef& aObj = {});
    // The end of every change: nothing edited, the focus on the backgrounds.
    void Finish();
    // The card selected, when it is still in the stack.
    TCardRef SelectedCard() const;

    // Handlers.
    void BackgroundClicked();
    void NameLeft();
    void KeepSortedToggled();
    void NewClicked();
    void CreateClicked();
    void ModifyClicked();
    void DeleteClicked();
    void DeleteCardsClicked();
    void WallPaperClicked();
    void ClearWallPaperClicked();
    void SelectFontClicked();
    void SelectColorClicked();
    void ClearColorClicked();
    void ScriptClicked();
    void ShowControlsClicked();
    void EditCardClicked();
    void ShowCardClicked();
    void HelpClicked();

    CVexilListBox iBackgroundList;
    CVexilListBox iCardList;
    CVexilListBox iSortKeyList;
    // The flag boxes with their bits, in the order of the background's flags.
    std::vector<std::pair<CVexilCheckBox*, int32_t>> iFlagChecks;
    TControlSetRef iBackground;
    int32_t iMode = EModeNone;
    std::shared_ptr<CVexilFont> iFont;
    int32_t iBackColor = UndefLong;
    // True while the window copies a background into its inputs or clears them: those are
    // no choices of the user.
    bool iBusy = false;
    // True while a failed check puts the focus back, so that the input the focus passed
    // through is not examined.
    bool iRefocusing = false;
};
