#pragma once

#include "foundation/VexilPrompts.h"
#include "shell/VexilDialogForm.h"

#include <QString>

class CVexilCheckBox;
class CVexilCommandButton;
class CVexilLabel;
class CVexilTextBox;

// The three options the options dialog edits, as its inputs hold them.
struct TOptionEditValues
{
    QString AutoLoadName;
    QString StackFolder;
    bool ShowWelcome = true;

    // The options as they are now.
    static TOptionEditValues FromOptions();
    // Stores the three options as typed (neither file nor folder is checked) and writes every
    // option and the recent-file list to the registry.
    void Store() const;
};

// The options dialog: the auto-load stack, the stack folder and whether the welcome window
// shows at start-up. OK stores the three and writes all options at once; Cancel and the close
// box change nothing. Choosing a stack or a folder only fills the input. The window restores
// its position when it loads and stores it when it unloads; closing the stack leaves it open.
class CVexilOptionEdit : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilOptionEdit");

    CVexilOptionEdit();

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // The stack chooser as Select... shows it: its title, filter and default extension set and
    // the file-must-exist and path-must-exist flags added to the flags it has.
    static void PrepareStackChooser(TFileDialogPrompt& aChooser);

    CVexilLabel* fAutoLoadLabel;
    CVexilTextBox* fAutoLoadName;
    CVexilCommandButton* fSelectAutoBut;
    CVexilLabel* fStackFolderLabel;
    CVexilTextBox* fStackFolder;
    CVexilCommandButton* fSelectFolderBut;
    CVexilCheckBox* fShowWelcome;
    CVexilCommandButton* fOkBut;
    CVexilCommandButton* fCancelBut;

protected:
    void Load() override;
    void Unload() override;

private:
    void SelectAuto();
    void SelectFolder();
    void Ok();
    void OnClick(CVexilCommandButton* aButton, void (CVexilOptionEdit::*aHandler)());

    // The open-file chooser of the auto-load stack.
    TFileDialogPrompt fSelectDialog;
};
