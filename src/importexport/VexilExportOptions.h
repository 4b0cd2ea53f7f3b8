#pragma once

#include "foundation/VexilPrompts.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "shell/VexilDialogForm.h"

#include <QString>

#include <cstdint>

class QGroupBox;

// The window "Export Options": CSV of one background of the current stack, or the card-list
// XML of the whole stack. OK with CSV opens the CSV export options, which read the chosen
// background; with XML it asks for the file. The background list follows the stack; closing
// the stack closes the window.
class CVexilExportOptions final : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilExportOptions");

    CVexilExportOptions();
    ~CVexilExportOptions() override;
    static void Register();

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    // The backgrounds of the current stack, each line with its background.
    CVexilListBox iBackgroundBox;
    TFileDialogPrompt fExportXmlDialog;

    QGroupBox* Frame1 = nullptr;
    CVexilOptionButton* fXml = nullptr;
    CVexilOptionButton* fCsv = nullptr;
    CVexilLabel* Label1 = nullptr;
    CVexilComboBox* fBackgroundBox = nullptr;
    CVexilCommandButton* fOkBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;
    void Unload() override;

private:
    void FillBackgrounds();
    void OkClicked();
    void ExportXmlFile();
};
