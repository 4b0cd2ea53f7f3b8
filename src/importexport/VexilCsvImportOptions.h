#pragma once

#include "foundation/VexilFile.h"
#include "importexport/VexilImportTarget.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "shell/VexilDialogForm.h"

#include <QString>

#include <cstdint>

class QGroupBox;

// The window "CSV Import Options": the first lines of the chosen file, the delimiter and the
// coding it proposes, the header-line choice and the three remembered guessing options.
// Import reads the file before anything changes (CVexilCsvImportRun); the target (into the
// current stack or not, and the background) is read from the import dialog while it is open,
// else taken as it was when the file was handed over. It stays open through any change.
class CVexilCsvImportOptions final : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilCsvImportOptions");
    // The dialog whose target it reads.
    static inline const QString KImportOptions = QStringLiteral("CVexilImportOptions");

    CVexilCsvImportOptions();
    ~CVexilCsvImportOptions() override;
    static void Register();

    void SetImportFile(const QString& aFile);
    void Prepare(const QString& aFile);
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    const QString& FileName() const { return iFileName; }
    EFilCoding FileCoding() const { return iFileCoding; }

    QGroupBox* Frame1 = nullptr;
    CVexilOptionButton* fComma = nullptr;
    CVexilOptionButton* fSemiColon = nullptr;
    CVexilOptionButton* fTab = nullptr;
    QGroupBox* Frame2 = nullptr;
    CVexilOptionButton* fLatin1 = nullptr;
    CVexilOptionButton* fUtf8 = nullptr;
    CVexilCheckBox* fHeaderLine = nullptr;
    CVexilCheckBox* fDetectTypes = nullptr;
    CVexilCheckBox* fGuessKey = nullptr;
    CVexilCheckBox* fTryCardName = nullptr;
    CVexilListView* fLineBox = nullptr;
    CVexilCommandButton* fImportBut = nullptr;
    CVexilCommandButton* fCancel = nullptr;

protected:
    void Load() override;
    void Unload() override;

private:
    void ShowPreview();
    TImportTargetState Target() const;
    void ImportClicked();

    QString iFileName;
    CVexilListBox iLineBox;
    QString iFirstLine;
    EFilCoding iFileCoding = EFilAnsi;
    TImportTargetState iHandedTarget;
};
