#include "importexport/VexilCsvImportOptions.h"

#include "foundation/VexilError.h"
#include "importexport/VexilCsvImportRun.h"
#include "importexport/VexilCsvPreview.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "shell/VexilOptions.h"

#include <QGroupBox>

namespace
{
// The design in twips.
constexpr float kMargin = 120;
constexpr float kFrameWidth = 3300;
constexpr float kFrameHeight = 1275;
constexpr float kOptionHeight = 285;
constexpr float kCheckTop = kMargin + kFrameHeight + kMargin;
constexpr float kCheckStep = 330;
constexpr float kListTop = kCheckTop + 4 * kCheckStep + 60;
constexpr float kListWidth = 8400;
// A check box takes clicks on its box and caption only.
constexpr float kCheckWidth = 4800;
constexpr float kListHeight = 2880;
constexpr float kButtonWidth = 1215;
constexpr float kButtonHeight = 375;
constexpr float kButtonTop = kListTop + kListHeight + kMargin;
constexpr float kFormWidth = kMargin + kListWidth + kMargin;
constexpr float kFormHeight = kButtonTop + kButtonHeight + kMargin;

QGroupBox* Frame(QWidget* aForm, const QString& aName, const QString& aTitle, float aLeft)
{
    auto* frame = new QGroupBox(aTitle, aForm);
    frame->setObjectName(aName);
    frame->setGeometry(CVexilCtl::TwipsToPixels(aLeft), CVexilCtl::TwipsToPixels(kMargin),
                       CVexilCtl::TwipsToPixels(kFrameWidth), CVexilCtl::TwipsToPixels(kFrameHeight));
    return frame;
}

IVexilImportTarget* OpenTarget()
{
    return dynamic_cast<IVexilImportTarget*>(CVexilFormRegistry::Loaded(CVexilCsvImportOptions::KImportOptions));
}
}  // namespace

CVexilCsvImportOptions::CVexilCsvImportOptions() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("CSV Import Options"));
    SetDesignSize(int(kFormWidth), int(kFormHeight));

    Frame1 = Frame(this, QStringLiteral("Frame1"), QStringLiteral("Delimiter"), kMargin);
    auto option = [this](QGroupBox* aFrame, const char* aName, const QString& aCaption, int aRow) {
        auto* button = Add<CVexilOptionButton>(QLatin1String(aName), aFrame);
        button->setText(aCaption);
        button->Move(kMargin, 300 + float(aRow) * kOptionHeight, kFrameWidth - 2 * kMargin, kOptionHeight);
        return button;
    };
    fComma = option(Frame1, "fComma", QStringLiteral("Comma , , , , , ,"), 0);
    fSemiColon = option(Frame1, "fSemiColon", QStringLiteral("Semicolon ; ; ; ; ;"), 1);
    fTab = option(Frame1, "fTab", QStringLiteral("Tab characters"), 2);
    Frame2 = Frame(this, QStringLiteral("Frame2"), QStringLiteral("Coding"), 2 * kMargin + kFrameWidth);
    fLatin1 = option(Frame2, "fLatin1", QStringLiteral("Latin-1 / Windows"), 0);
    fUtf8 = option(Frame2, "fUtf8", QStringLiteral("Unicode in UTF-8 encoding"), 1);

    auto check = [this](const char* aName, const QString& aCaption, int aRow) {
        auto* box = Add<CVexilCheckBox>(QLatin1String(aName));
        box->setText(aCaption);
        box->Move(kMargin, kCheckTop + float(aRow) * kCheckStep, kCheckWidth, kOptionHeight);
        return box;
    };
    fHeaderLine = check("fHeaderLine", QStringLiteral("First line is header line with column names?"), 0);
    fDetectTypes = check("fDetectTypes", QStringLiteral("Try to detect field types?"), 1);
    fGuessKey = check("fGuessKey", QStringLiteral("Try to detect order / create sort key?"), 2);
    fTryCardName = check("fTryCardName", QStringLiteral("First field as card name if suitable?"), 3);

    fLineBox = Add<CVexilListView>(QStringLiteral("fLineBox"));
    fLineBox->Move(kMargin, kListTop, kListWidth, kListHeight);

    fImportBut = Add<CVexilCommandButton>(QStringLiteral("fImportBut"));
    fImportBut->setText(QStringLiteral("Import"));
    fImportBut->Move(kFormWidth - kMargin - 2 * kButtonWidth - kMargin, kButtonTop, kButtonWidth, kButtonHeight);
    fCancel = Add<CVexilCommandButton>(QStringLiteral("fCancel"));
    fCancel->setText(QStringLiteral("Cancel"));
    fCancel->Move(kFormWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);

    iLineBox.Construct(ELisSingle);
    connect(fImportBut, &QPushButton::clicked, this, [this] { Guarded([this] { ImportClicked(); }); });
    connect(fCancel, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

CVexilCsvImportOptions::~CVexilCsvImportOptions()
{
    // The list points at a widget that goes with the window.
    iLineBox.SetBaseObj(nullptr);
}

void CVexilCsvImportOptions::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCsvImportOptions; });
}

void CVexilCsvImportOptions::Load()
{
    CVexilFormPlacement::Restore(*this);
    iLineBox.SetBaseObj(fLineBox);
    iLineBox.Define1Column(QStringLiteral("Line"));
    fHeaderLine->setChecked(true);
    fDetectTypes->setChecked(gCsvDetectTypes);
    fGuessKey->setChecked(gCsvGuessKey);
    fTryCardName->setChecked(gCsvTryCardName);
    iFileCoding = EFilAnsi;
    fLatin1->setChecked(true);
}

void CVexilCsvImportOptions::Unload()
{
    CVexilFormPlacement::Save(*this);
}

void CVexilCsvImportOptions::ChangeNotify(int32_t /*aEvent*/, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
}

void CVexilCsvImportOptions::SetImportFile(const QString& aFile)
{
    Prepare(aFile);
}

void CVexilCsvImportOptions::Prepare(const QString& aFile)
{
    iFileName = aFile;
    if (const IVexilImportTarget* target = OpenTarget())
        iHandedTarget = TImportTargetState::Of(target->IntoCurStack(), target->TargetBackground());
    else
        iHandedTarget = {};
    ShowPreview();
    const QChar delim = CVexilCsvPreview::VoteDelimiter(iFirstLine);
    (delim == u';' ? fSemiColon : delim == u'\t' ? fTab : fComma)->setChecked(true);
}

void CVexilCsvImportOptions::ShowPreview()
{
    iLineBox.Clear();
    iFirstLine.clear();
    const TCsvPreview preview = CVexilCsvPreview::Read(iFileName);
    iFirstLine = preview.FirstLine;
    for (const QString& line : preview.Lines)
        iLineBox.AddLine(line, nullptr);
    iFileCoding = preview.Coding;
    iLineBox.Show();
    (iFileCoding == EFilUtf8 ? fUtf8 : fLatin1)->setChecked(true);
}

TImportTargetState CVexilCsvImportOptions::Target() const
{
    if (const IVexilImportTarget* target = OpenTarget())
        return TImportTargetState::Of(target->IntoCurStack(), target->TargetBackground());
    return iHandedTarget;
}

void CVexilCsvImportOptions::ImportClicked()
{
    TCsvOptions options;
    options.File = iFileName;
    options.Delim = fComma->isChecked()       ? QStringLiteral(",")
                    : fSemiColon->isChecked() ? QStringLiteral(";")
                    : fTab->isChecked()       ? QStringLiteral("\t")
                                              : QString();
    CVexilError::Assert(!options.Delim.isEmpty(), QStringLiteral("fImportBut_Click iCsvDelim"));
    CVexilError::Assert(fLatin1->isChecked() || fUtf8->isChecked(), QStringLiteral("fImportBut_Click iCoding"));
    options.Coding = fUtf8->isChecked() ? EFilUtf8 : EFilAnsi;
    options.HeaderLine = fHeaderLine->isChecked();
    options.DetectTypes = fDetectTypes->isChecked();
    options.GuessKey = fGuessKey->isChecked();
    options.TryCardName = fTryCardName->isChecked();
    if (options.Delim.isEmpty())
        return;
    switch (CVexilCsvImportRun::Run(options, Target()))
    {
    case CVexilCsvImportRun::EImported:
        // Closed as its user would, so that it unloads as it does then; then out of the registry.
        if (CVexilForm* importOptions = CVexilFormRegistry::Loaded(KImportOptions))
            importOptions->close();
        CVexilFormRegistry::Unload(KImportOptions);
        UnloadForm();
        break;
    case CVexilCsvImportRun::ELeaveRefused: UnloadForm(); break;
    case CVexilCsvImportRun::EStay: break;
    }
}
