#include "importexport/VexilExportOptions.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "importexport/VexilCsvExportOptions.h"
#include "interchange/VexilExports.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilOptions.h"
#include "shell/VexilWinMan.h"

#include <QGroupBox>

namespace
{
// The design in twips.
constexpr float kMargin = 120;
constexpr float kWidth = 4200;
constexpr float kFrameHeight = 975;
constexpr float kRowHeight = 285;
// An option button takes clicks on its circle and caption only.
constexpr float kOptionWidth = 1215;
constexpr float kLabelTop = kMargin + kFrameHeight + kMargin;
constexpr float kBoxTop = kLabelTop + kRowHeight + 30;
constexpr float kBoxHeight = 315;
constexpr float kButtonWidth = 1215;
constexpr float kButtonHeight = 375;
constexpr float kButtonTop = kBoxTop + kBoxHeight + 2 * kMargin;
constexpr float kFormWidth = kMargin + kWidth + kMargin;
constexpr float kFormHeight = kButtonTop + kButtonHeight + kMargin;
}  // namespace

CVexilExportOptions::CVexilExportOptions() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Export Options"));
    SetDesignSize(int(kFormWidth), int(kFormHeight));
    fExportXmlDialog.Title = QStringLiteral("XML Export File Name");
    fExportXmlDialog.Filter = QStringLiteral("XML Files (*.xml)|*.xml|All Files (*.*)|*");
    fExportXmlDialog.DefaultExt = QStringLiteral("csv");

    Frame1 = new QGroupBox(QStringLiteral("Export Format"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kMargin), TwipsToPixels(kWidth),
                        TwipsToPixels(kFrameHeight));
    fXml = Add<CVexilOptionButton>(QStringLiteral("fXml"), Frame1);
    fXml->setText(QStringLiteral("XML"));
    fXml->Move(kMargin, 300, kOptionWidth, kRowHeight);
    fCsv = Add<CVexilOptionButton>(QStringLiteral("fCsv"), Frame1);
    fCsv->setText(QStringLiteral("CSV"));
    fCsv->Move(kMargin, 300 + kRowHeight, kOptionWidth, kRowHeight);

    Label1 = Add<CVexilLabel>(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Background:"));
    Label1->Move(kMargin, kLabelTop, kWidth, kRowHeight);
    fBackgroundBox = Add<CVexilComboBox>(QStringLiteral("fBackgroundBox"));
    fBackgroundBox->Move(kMargin, kBoxTop, kWidth, kBoxHeight);

    fOkBut = Add<CVexilCommandButton>(QStringLiteral("fOkBut"));
    fOkBut->setText(QStringLiteral("OK"));
    fOkBut->Move(kFormWidth - kMargin - 2 * kButtonWidth - kMargin, kButtonTop, kButtonWidth, kButtonHeight);
    fCancelBut = Add<CVexilCommandButton>(QStringLiteral("fCancelBut"));
    fCancelBut->setText(QStringLiteral("Cancel"));
    fCancelBut->Move(kFormWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);

    iBackgroundBox.Construct(ELisCombo);
    connect(fCsv, &QRadioButton::toggled, this, [this](bool aOn) { fBackgroundBox->setEnabled(aOn); });
    connect(fOkBut, &QPushButton::clicked, this, [this] { Guarded([this] { OkClicked(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

CVexilExportOptions::~CVexilExportOptions()
{
    // The list points at a widget that goes with the window.
    iBackgroundBox.SetBaseObj(nullptr);
}

void CVexilExportOptions::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilExportOptions; });
}

void CVexilExportOptions::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundBox.SetBaseObj(fBackgroundBox);
    FillBackgrounds();
    fCsv->setChecked(true);
}

void CVexilExportOptions::Unload()
{
    CVexilFormPlacement::Save(*this);
}

void CVexilExportOptions::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        if (aEvent == EChgStackOpened || aEvent == EChgStructure)
            FillBackgrounds();
        else if (aEvent == EChgClosingStack)
            UnloadForm();
    });
}

void CVexilExportOptions::FillBackgrounds()
{
    CVexilDialogLib::FillBackgroundList(iBackgroundBox, gStack.get(), QString(), nullptr);
    if (iBackgroundBox.NumLines() > 0)
        iBackgroundBox.SetSelIndex(0);
}

void CVexilExportOptions::OkClicked()
{
    if (fXml->isChecked())
    {
        ExportXmlFile();
        return;
    }
    CVexilForm* form = CVexilWinMan::NameToForm(CVexilCsvExportOptions::KClassName);
    auto* csv = dynamic_cast<CVexilCsvExportOptions*>(form);
    if (!csv)
        return;
    CVexilWinMan::ShowForm(*csv);
    csv->SetBackground(std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundBox.SelObj()));
}

void CVexilExportOptions::ExportXmlFile()
{
    fExportXmlDialog.Flags |= TFileDialogPrompt::KOverwritePrompt;
    fExportXmlDialog.Save = true;
    if (fExportXmlDialog.InitDir.isEmpty())
        fExportXmlDialog.InitDir = gExportXmlDialogInitDir;
    QString path;
    if (!CVexilPrompts::Current()->FileDialog(fExportXmlDialog, path) || !gStack)
        return;
    try
    {
        CVexilDialogLib::BeginWait();
        CVexilExports::ExportXml(*gStack, path);
        CVexilDialogLib::EndWait();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(QStringLiteral("CVexilExportOptions.ExportXmlFile"), e);
        // Ends the wait cursor too.
        CVexilMsg::ShowError();
        return;
    }
    QString name;
    CVexilLib::SplitPath(path, gExportXmlDialogInitDir, name);
    UnloadForm();
}
