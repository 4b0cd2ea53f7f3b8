#pragma once

#include "foundation/VexilPrompts.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "shell/VexilDialogForm.h"

#include <QString>

#include <cstdint>

class QGroupBox;

// The window "CSV Export Options": the delimiter and the file of a CSV export of the
// background chosen in the export options. The background is read from that dialog at the
// moment of Export while it is open, else taken as it was handed over; one that the current
// stack no longer holds is refused with a message and nothing is written. The delimiter is
// remembered whenever the window closes, the folder of the last exported file after each
// export. Closing the stack closes the window.
class CVexilCsvExportOptions final : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCsvExportOptions");

    CVexilCsvExportOptions();
    static void Register();

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    // The background the export options chose as OK was pressed.
    void SetBackground(const TControlSetRef& aBackground);

    QString GetDelimiter() const;
    void SetDelimiter(const QString& aDelim);

    TFileDialogPrompt fExportDialog;

    QGroupBox* Frame1 = nullptr;
    CVexilOptionButton* fComma = nullptr;
    CVexilOptionButton* fSemiColon = nullptr;
    CVexilOptionButton* fTab = nullptr;
    CVexilCommandButton* fExportBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;
    void Unload() override;

private:
    void ExportClicked();

    int32_t iBackgroundId = UndefLong;
    QString iBackgroundName;
};
