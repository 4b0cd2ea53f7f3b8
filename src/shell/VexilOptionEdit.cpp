#include "shell/VexilOptionEdit.h"

#include "platform/VexilCtls.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilLibUi.h"
#include "shell/VexilOptions.h"
#include "shell/VexilStackCmds.h"

namespace
{
// Layout in twips.
constexpr int kMargin = 120;
constexpr int kLabelWidth = 1650;
constexpr int kBoxLeft = kMargin + kLabelWidth;
constexpr int kBoxWidth = 4200;
constexpr int kRowHeight = 330;
constexpr int kSelectLeft = kBoxLeft + kBoxWidth + 90;
constexpr int kSelectWidth = 1215;
constexpr int kFormWidth = kSelectLeft + kSelectWidth + kMargin;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kButtonTop = 1560;
constexpr int kFormHeight = kButtonTop + kButtonHeight + kMargin;
}  // namespace

TOptionEditValues TOptionEditValues::FromOptions()
{
    return {gAutoLoadName, gStackFolder, gShowWelcome};
}

void TOptionEditValues::Store() const
{
    gAutoLoadName = AutoLoadName;
    gStackFolder = StackFolder;
    gShowWelcome = ShowWelcome;
    CVexilOptions::SaveOptions();
}

CVexilOptionEdit::CVexilOptionEdit() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Options"));
    SetDesignSize(kFormWidth, kFormHeight);

    // Made in tab order.
    fAutoLoadLabel = Add<CVexilLabel>(QStringLiteral("fAutoLoadLabel"));
    fAutoLoadLabel->setText(QStringLiteral("Auto-load stack:"));
    fAutoLoadLabel->Move(kMargin, kMargin + 45, kLabelWidth, kRowHeight);
    fAutoLoadName = Add<CVexilTextBox>(QStringLiteral("fAutoLoadName"));
    fAutoLoadName->Move(kBoxLeft, kMargin, kBoxWidth, kRowHeight);
    fSelectAutoBut = Add<CVexilCommandButton>(QStringLiteral("fSelectAutoBut"));
    fSelectAutoBut->setText(QStringLiteral("Select..."));
    fSelectAutoBut->Move(kSelectLeft, kMargin, kSelectWidth, kRowHeight);

    const int folderTop = kMargin + 480;
    fStackFolderLabel = Add<CVexilLabel>(QStringLiteral("fStackFolderLabel"));
    fStackFolderLabel->setText(QStringLiteral("Stack folder:"));
    fStackFolderLabel->Move(kMargin, folderTop + 45, kLabelWidth, kRowHeight);
    fStackFolder = Add<CVexilTextBox>(QStringLiteral("fStackFolder"));
    fStackFolder->Move(kBoxLeft, folderTop, kBoxWidth, kRowHeight);
    fSelectFolderBut = Add<CVexilCommandButton>(QStringLiteral("fSelectFolderBut"));
    fSelectFolderBut->setText(QStringLiteral("Select..."));
    fSelectFolderBut->Move(kSelectLeft, folderTop, kSelectWidth, kRowHeight);

    fShowWelcome = Add<CVexilCheckBox>(QStringLiteral("fShowWelcome"));
    fShowWelcome->setText(QStringLiteral("Show 'About' box at program startup?"));
    fShowWelcome->Move(kBoxLeft, folderTop + 480, kBoxWidth, kRowHeight);

    fOkBut = Add<CVexilCommandButton>(QStringLiteral("fOkBut"));
    fOkBut->setText(QStringLiteral("OK"));
    fOkBut->Move(kFormWidth - kMargin - 2 * kButtonWidth - 120, kButtonTop, kButtonWidth, kButtonHeight);
    fCancelBut = Add<CVexilCommandButton>(QStringLiteral("fCancelBut"));
    fCancelBut->setText(QStringLiteral("Cancel"));
    fCancelBut->Move(kFormWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);

    OnClick(fSelectAutoBut, &CVexilOptionEdit::SelectAuto);
    OnClick(fSelectFolderBut, &CVexilOptionEdit::SelectFolder);
    OnClick(fOkBut, &CVexilOptionEdit::Ok);
    OnClick(fCancelBut, &CVexilOptionEdit::UnloadForm);
}

void CVexilOptionEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilOptionEdit; });
}

void CVexilOptionEdit::OnClick(CVexilCommandButton* aButton, void (CVexilOptionEdit::*aHandler)())
{
    connect(aButton, &QPushButton::clicked, this, [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); });
}

void CVexilOptionEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
    const TOptionEditValues values = TOptionEditValues::FromOptions();
    fAutoLoadName->setText(values.AutoLoadName);
    fStackFolder->setText(values.StackFolder);
    CVexilLibUi::BoolToCheckBox(fShowWelcome, values.ShowWelcome);
}

void CVexilOptionEdit::Unload()
{
    CVexilFormPlacement::Save(*this);
}

void CVexilOptionEdit::PrepareStackChooser(TFileDialogPrompt& aChooser)
{
    aChooser.Title = QStringLiteral("Select Stack");
    // The stack files that Open lists and the transfer server hands out.
    aChooser.Filter = CVexilStackCmds::LoadDialog().Filter;
    aChooser.DefaultExt = CVexilStackCmds::LoadDialog().DefaultExt;
    aChooser.Flags |= TFileDialogPrompt::KFileMustExist | TFileDialogPrompt::KPathMustExist;
    aChooser.Save = false;
}

void CVexilOptionEdit::SelectAuto()
{
    IVexilPrompts* prompts = CVexilPrompts::Current();
    if (!prompts)
        return;
    PrepareStackChooser(fSelectDialog);
    QString fileName;
    if (prompts->FileDialog(fSelectDialog, fileName))
        fAutoLoadName->setText(fileName);
}

void CVexilOptionEdit::SelectFolder()
{
    IVexilPrompts* prompts = CVexilPrompts::Current();
    if (!prompts)
        return;
    const QString folder = prompts->BrowseForFolder(QStringLiteral("Select Stack Folder"));
    if (!folder.isEmpty())
        fStackFolder->setText(folder);
}

void CVexilOptionEdit::Ok()
{
    TOptionEditValues{fAutoLoadName->text(), fStackFolder->text(), CVexilLibUi::CheckBoxToBool(fShowWelcome)}.Store();
    UnloadForm();
}
