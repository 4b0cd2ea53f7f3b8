#pragma once

#include "foundation/VexilPrompts.h"
#include "importexport/VexilImportDisables.h"
#include "importexport/VexilImportTarget.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilListBox.h"
#include "shell/VexilDialogForm.h"

#include <QString>

#include <cstdint>

class QGroupBox;

// Kept for the running program: the check box "Import into current stack?" as the dialog
// was last closed.
inline bool gImportIntoCurStack = false;

// The window "Import Options", where every import starts: CSV (into a new stack or a
// background of the current one), card-list XML, HanDBase, merging another stack, or a plain
// text file into a background. OK asks for the file of the format and runs its import.
//
// Guarantees:
// - The background list follows the current stack; after the stack closed, only the formats
//   that need none stay available, and OK never imports into a stack that is gone or into a
//   background it no longer holds (1082 naming the background).
// - A new stack (HanDBase) is complete before the current one is left; a failed import leaves
//   the current stack current. Leaving asks the save question once.
// - A folder option changes only after a file was chosen.
class CVexilImportOptions final : public CVexilDialogForm, public IVexilImportTarget
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilImportOptions");

    CVexilImportOptions();
    ~CVexilImportOptions() override;
    static void Register();

    // A stack opened, the structure changed, the stack closing or closed: the list is refilled.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    bool IntoCurStack() const override;
    TControlSetRef TargetBackground() const override;

    EImportFormat SelectedFormat() const;

    // The backgrounds of the current stack, each line with its background.
    CVexilListBox iBackgroundBox;
    TFileDialogPrompt fImportCsvDialog;
    TFileDialogPrompt fImportXmlDialog;
    TFileDialogPrompt fImportHandBaseDialog;
    TFileDialogPrompt fImportQuorvanDialog;
    TFileDialogPrompt fImportTextDialog;

    QGroupBox* Frame1 = nullptr;
    CVexilOptionButton* fCsv = nullptr;
    CVexilOptionButton* fXml = nullptr;
    CVexilOptionButton* fPdb = nullptr;
    CVexilOptionButton* fQuorvan = nullptr;
    CVexilOptionButton* fText = nullptr;
    CVexilCheckBox* fIntoCurStack = nullptr;
    CVexilLabel* Label1 = nullptr;
    CVexilComboBox* fBackgroundBox = nullptr;
    CVexilCommandButton* fOkBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;
    void Unload() override;

private:
    void FillBackgrounds();
    void HandleDisables();
    void OkClicked();
    // False, with the message shown, when the format's stack or background is gone.
    bool TargetPresent();
    void ImportCsvFile();
    void ImportXmlFile();
    void ImportHandBaseFile();
    void ImportQuorvan();
    void ImportTextFile();
};
