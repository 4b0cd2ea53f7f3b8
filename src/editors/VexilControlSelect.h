#pragma once

#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <cstdint>
#include <memory>

class CVexilArray;

// The field picker "Select Fields": the user chooses several fields of one background and
// "Done" hands their ids to the caller of the last SelectControls, in the background's display
// order (none when no field is chosen); then the picker has no caller, its case is UndefInt and
// it hides. "Cancel" hands back nothing and hides. Ids and names that are no fields of the
// background are skipped, and "Done" hands back only fields still in it; a caller whose window
// is gone or closed is never called.
class CVexilControlSelect final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilControlSelect");

    CVexilControlSelect();
    ~CVexilControlSelect() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilControlSelect* Instance();

    // Shows the picker for aCaller with the fields of aBackground, those of aIds (field ids, or
    // none) selected. When aIds is given, "Done" empties and refills that very array.
    void SelectControls(IVexilControlSelectCaller* aCaller, const TControlSetRef& aBackground, int16_t aCase,
                        const std::shared_ptr<CVexilArray>& aIds);
    // Closing the stack unloads the window.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    // The ids of the comma-separated field names that are fields of aBackground, in the order
    // typed (blanks around a name are ignored); other names are skipped. None when no name is
    // a field.
    static std::shared_ptr<CVexilArray> IdsOfNames(const QString& aNames, const CVexilControlSet& aBackground);

    // The case "Done" would hand back: the caller's, UndefInt after an answer.
    int16_t Case() const { return iCase; }

    CVexilListView* fControlBox = nullptr;
    CVexilCommandButton* fDoneBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;
    void Activated() override;

private:
    void BuildLists();
    void Done();
    void Cancel();
    void EnableDone();

    CVexilListBox iControlList;
    bool iLoading = false;
    bool iLoaded = false;
    TControlSetRef iBackground;
    TVexilPickerCaller<IVexilControlSelectCaller> iCaller;
    int16_t iCase = UndefInt;
    std::shared_ptr<CVexilArray> iIds;
};
