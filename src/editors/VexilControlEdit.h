#pragma once

#include "editors/VexilControlWriter.h"
#include "editors/VexilEditMode.h"
#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <QString>
#include <QTabWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CVexilArray;
class CVexilFont;
class CVexilListBox;
class QGroupBox;

// The tab control of the field editor's type-dependent inputs, as one control of the form.
class CVexilTabCtl : public QTabWidget, public CVexilCtl
{
    Q_OBJECT

public:
    explicit CVexilTabCtl(QWidget* aParent);
};

// The window "Edit Fields and Controls": the backgrounds of the current stack, the fields of
// the chosen one, and one field at a time with every property its type can have. It defines
// new fields, changes and deletes the shown one, and opens the pickers for its font, its
// destination card and its card-list columns.
//
// The form only fills its inputs and forwards their events: which inputs a type offers is
// decided by CVexilControlTypeRules, what is written (and whether it may be) by
// CVexilControlWriter. Input not yet written is dropped on every change of mode. No
// exception leaves an event handler; what a handler raises is reported with its message.
class CVexilControlEdit : public CVexilManagedForm,
                          public IVexilCardSelectCaller,
                          public IVexilControlSelectCaller,
                          public IVexilFontSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilControlEdit");

    CVexilControlEdit();
    ~CVexilControlEdit() override;

    static void Register();

    // The pickers' answers; each accepts only case 0 (else an assertion and nothing more).
    void SetControls(const std::shared_ptr<CVexilArray>& aIds, int16_t aCase) override;
    void SetCard(const TCardRef& aCard, int16_t aCase) override;
    void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) override;
    // Lists the fields of the background; the window ends with nothing edited.
    void SetAndShowBackground(const TControlSetRef& aBackground);
    // Lists the fields of the background and shows the field for changing.
    void SetAndShowControl(const TControlSetRef& aBackground, const TControlRef& aControl);
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    int32_t Mode() const { return iMode; }
    const TControlSetRef& Background() const { return iBackground; }
    const TControlRef& CurControl() const { return iCurControl; }

    // The controls, named as the window's design names them.
    CVexilListView* fBackgroundBox = nullptr;
    CVexilListView* fControlBox = nullptr;
    CVexilTextBox* fName = nullptr;
    CVexilTextBox* fLabel = nullptr;
    CVexilTextBox* fDescr = nullptr;
    CVexilComboBox* fTypeCombo = nullptr;
    CVexilLabel* fTypeComboLabel = nullptr;
    CVexilTextBox* fVisLines = nullptr;
    CVexilTextBox* fVisChar = nullptr;
    CVexilTextBox* fDefaultVal = nullptr;
    CVexilTextBox* fFontName = nullptr;
    CVexilTextBox* fFontSize = nullptr;
    CVexilLabel* fFontColor = nullptr;
    CVexilCommandButton* fSelectFontBut = nullptr;
    CVexilLabel* fBackColor = nullptr;
    CVexilCommandButton* fSelectColorBut = nullptr;
    CVexilCommandButton* fClearColorBut = nullptr;
    CVexilComboBox* fBeforeCombo = nullptr;
    CVexilTabCtl* fTypeDepTab = nullptr;
    CVexilTextBox* fMaxChar = nullptr;
    CVexilTextBox* fListVisChar = nullptr;
    CVexilTextBox* fListColTitle = nullptr;
    CVexilTextBox* fDigits = nullptr;
    CVexilComboBox* fComboInputControlCombo = nullptr;
    CVexilTextBox* fListCol = nullptr;
    CVexilCommandButton* fSelectControlBut = nullptr;
    CVexilComboBox* fSelBackgroundCombo = nullptr;
    CVexilComboBox* fSelControlCombo = nullptr;
    CVexilComboBox* fRefControlCombo = nullptr;
    CVexilComboBox* fStdCmdCombo = nullptr;
    CVexilTextBox* fDestCardName = nullptr;
    CVexilCommandButton* fSelectDestCardBut = nullptr;
    CVexilCommandButton* fNewBut = nullptr;
    CVexilCommandButton* fNewTextBut = nullptr;
    CVexilCommandButton* fNewIntegerBut = nullptr;
    CVexilCommandButton* fNewCommandBut = nullptr;
    CVexilCommandButton* fCreateBut = nullptr;
    CVexilCommandButton* fModifyBut = nullptr;
    CVexilCommandButton* fDeleteBut = nullptr;
    CVexilCommandButton* fScriptBut = nullptr;
    CVexilCommandButton* fHelpBut = nullptr;
    CVexilLabel* fModeText = nullptr;
    // The flag boxes, found by their names too ("fWikiText" ...).
    CVexilCheckBox* FlagBox(const QString& aName) const;

protected:
    // The first show restores the window's position.
    void Load() override;

private:
    // Design (VexilControlEditDesign.cpp).
    void BuildDesign();
    QGroupBox* AddFrame(const QString& aName, const QString& aTitle, QWidget* aParent, int aLeft, int aTop, int aWidth,
                        int aHeight);
    template <class T>
    T* AddAt(const QString& aName, QWidget* aParent, int aLeft, int aTop, int aWidth, int aHeight);
    CVexilLabel* AddCaption(const QString& aName, const QString& aCaption, QWidget* aParent, int aLeft, int aTop,
                            int aWidth);
    CVexilCheckBox* AddFlagBox(const QString& aName, QWidget* aParent, int aLeft, int aTop, int aWidth);
    CVexilCommandButton* AddButton(const QString& aName, const QString& aCaption, QWidget* aParent, int aLeft,
                                   int aTop, int aWidth);
    void ConnectEvents();
    // The lists and the empty inputs, when the window is made.
    void Initialise();

    // Lists and modes (VexilControlEdit.cpp).
    void ShowBackgroundControls();
    void FillBeforeCombo();
    void FillSelControlList();
    void SetMode(int32_t aMode);
    void EnableButtons();
    void ClearAll();
    void DisableAll();
    void ShowControl(const TControlRef& aControl);
    void ShowDestCard(const TCardRef& aCard);

    // Type rules (VexilControlEditTypes.cpp).
    void ShowFlags(int32_t aFlags);
    int32_t GetFlags() const;
    void TypeChanged(bool aReset);
    void ClearTypeDependentInputs();
    void SetDefaults();
    void HandleDisables();
    void ApplyRule(int aRule);
    void FlagBoxClicked(CVexilCheckBox* aBox);
    // The checks as the user leaves an input; a failed one puts the focus back.
    void NameLeft();
    void NumberBoxLeft(ENumberBox aBox);
    void Refocus(QWidget* aInput);

    // Writing (VexilControlEditWrite.cpp).
    TControlInput ReadInput() const;
    void ReadNumbers(TControlInput& aInput) const;
    void FocusInput(const QString& aName);
    void CreateClicked();
    void ModifyClicked();
    void DeleteClicked();
    // The broadcast after a write; the window is in EModeNone by now or gets there by it.
    void AfterWrite();

    // Event handlers (VexilControlEdit.cpp).
    void BackgroundClicked();
    void BackgroundDoubleClicked();
    void ControlClicked();
    void NewClicked(const QString& aType);
    void ScriptClicked();
    void SelectFontClicked();
    void SelectColorClicked();
    void ClearColorClicked();
    void SelectDestCardClicked();
    void SelectControlsClicked();
    void HelpRequested(const QString& aControl);
    void TypeComboPicked();
    void SelBackgroundPicked();

    // The data inputs: every control but the lists of backgrounds and fields, the mode
    // text, the colour samples and the buttons other than the four pickers' and colours'.
    std::vector<CVexilCtl*> DataInputs() const;
    bool IsDataInput(const CVexilCtl& aCtl) const;
    void SetInputEditable(const QString& aName, bool aEditable);
    // Selects a line (-1: none) of a combo box without the list box's yield: the window's own
    // selections need no event loop, and each yield would paint the half-filled window.
    static void SelectLine(CVexilListBox& aList, int32_t aIndex);

    std::shared_ptr<CVexilListBox> iBackgroundList;
    std::shared_ptr<CVexilListBox> iControlList;
    std::shared_ptr<CVexilListBox> iTypeList;
    std::shared_ptr<CVexilListBox> iBeforeList;
    std::shared_ptr<CVexilListBox> iStdCmdList;
    std::shared_ptr<CVexilListBox> iSelBackgroundList;
    std::shared_ptr<CVexilListBox> iRefControlList;
    std::shared_ptr<CVexilListBox> iSelControlList;
    std::shared_ptr<CVexilListBox> iComboInputList;
    std::vector<std::pair<CVexilCheckBox*, int32_t>> iFlagChecks;

    int32_t iMode = EModeNone;
    TControlSetRef iBackground;
    TControlRef iCurControl;
    int32_t iCurType = 0;
    std::shared_ptr<CVexilFont> iFont;
    int32_t iBackColor = UndefLong;
    // The destination card shown; only its name is on the window.
    std::weak_ptr<CVexilCard> iDestCard;
    bool iBusy = false;
    // True while a failed check puts the focus back, so that the input the focus passed
    // through is not examined.
    bool iRefocusing = false;
};
