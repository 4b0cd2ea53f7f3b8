#pragma once

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

// The window "Edit Stack": the description, card font, list font, colour and flags of the
// current stack and the list of its backgrounds. Nothing reaches the stack before Modify,
// which writes every property at once (the flags as exactly the three boxes say) and
// broadcasts EChgStructure. Edits not written are dropped when the window closes.
// No exception leaves an event handler; what a handler raises is reported with its message.
class CVexilStackEdit final : public CVexilManagedForm, public IVexilFontSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilStackEdit");

    CVexilStackEdit();
    ~CVexilStackEdit() override;

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The file's name without its folder: the part after the last "/" or "\".
    static QString FileTitle(const QString& aPath);

    // The font picker's answer: case 0 the card font, case 1 the list font.
    void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) override;
    // EChgStructure lists the backgrounds again; EChgClosingStack unloads the window.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    CVexilLabel* fModeText = nullptr;
    CVexilTextBox* fFileName = nullptr;
    CVexilTextBox* fDescr = nullptr;
    CVexilTextBox* fFontName = nullptr;
    CVexilTextBox* fFontSize = nullptr;
    CVexilLabel* fFontColor = nullptr;
    CVexilCommandButton* fSelectFontBut = nullptr;
    CVexilTextBox* fListFontName = nullptr;
    CVexilTextBox* fListFontSize = nullptr;
    CVexilLabel* fListFontColor = nullptr;
    CVexilCommandButton* fSelectListFontBut = nullptr;
    CVexilLabel* fBackColor = nullptr;
    CVexilCommandButton* fSelectColorBut = nullptr;
    CVexilCommandButton* fClearColorBut = nullptr;
    CVexilCheckBox* fBinary = nullptr;
    CVexilCheckBox* fOpenFullScreen = nullptr;
    CVexilCheckBox* fOpenLandscape = nullptr;
    CVexilListView* fBackgroundBox = nullptr;
    CVexilCommandButton* fScript = nullptr;
    CVexilCommandButton* fModifyBut = nullptr;
    CVexilCommandButton* fHelpBut = nullptr;

protected:
    void Load() override;

private:
    void BuildDesign();
    void ConnectEvents();

    void ShowStack();
    void FillBackgrounds();
    void SelectFontClicked(int16_t aCase);
    void SelectColorClicked();
    void ClearColorClicked();
    void ScriptClicked();
    void BackgroundDoubleClicked();
    void ModifyClicked();

    CVexilListBox iBackgroundList;
    std::shared_ptr<CVexilFont> iFont;
    std::shared_ptr<CVexilFont> iListFont;
    int32_t iBackColor = UndefLong;
    // The flag boxes with their flag values, in the order they were registered.
    std::vector<std::pair<CVexilCheckBox*, int32_t>> iFlagBoxes;
    // True while the window fills its inputs: those are no edits of the user.
    bool iBusy = false;
};
