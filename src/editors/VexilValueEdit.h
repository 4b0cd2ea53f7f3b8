#pragma once

#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"

#include <QString>

#include <cstdint>

// The window "Edit Field Values": the user chooses a background, one of its fields, a new
// type and the decimal separator that texts of numbers use, and Change Type changes the
// field's type with every card's value (CVexilValueTypeChange) and broadcasts EChgValueType.
//
// The chosen field always follows the field list: none when the list is empty, and chosen
// again whenever the background list is refilled. Change Type acts on the background and
// field chosen at the click, and only while both still belong to the current stack. No
// exception leaves an event handler; what a handler raises is reported with its message.
class CVexilValueEdit final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilValueEdit");

    CVexilValueEdit();
    ~CVexilValueEdit() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // Chooses the background and the field, both of which must be listed.
    void SetAndShowControl(const TControlSetRef& aBackground, const TControlRef& aControl);
    // EChgStructure refills the lists; closing the stack unloads the window.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    const TControlSetRef& Background() const { return iBackground; }
    const TControlRef& Control() const { return iControl; }

    CVexilComboBox* fBackgroundCombo = nullptr;
    CVexilComboBox* fControlCombo = nullptr;
    CVexilComboBox* fNewTypeCombo = nullptr;
    CVexilOptionButton* fDecimalDot = nullptr;
    CVexilOptionButton* fDecimalComma = nullptr;
    CVexilCommandButton* fChangeTypeBut = nullptr;

protected:
    void Load() override;

private:
    void BackgroundChosen();
    void ControlChosen();
    void ChangeTypeClicked();
    // Refills the background list and chooses the line of that text again (else the first).
    void FillBackgrounds(const QString& aSelected);

    CVexilListBox iBackgroundList;
    CVexilListBox iControlList;
    CVexilListBox iTypeList;
    TControlSetRef iBackground;
    TControlRef iControl;
    // True while the window fills its lists: the choices it makes follow in one step.
    bool iBusy = false;
};
