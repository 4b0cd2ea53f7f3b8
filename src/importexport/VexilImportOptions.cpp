#include "importexport/VexilImportOptions.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"

#include <QGroupBox>

namespace
{
// The design in twips.
constexpr float kMargin = 120;
constexpr float kWidth = 4200;
constexpr float kRowHeight = 285;
constexpr float kFrameHeight = 300 + 5 * kRowHeight + kMargin;
constexpr float kOptionWidth = kWidth - 2 * kMargin;
constexpr float kCheckTop = kMargin + kFrameHeight + kMargin;
constexpr float kLabelTop = kCheckTop + kRowHeight + kMargin;
constexpr float kBoxTop = kLabelTop + kRowHeight + 30;
constexpr float kBoxHeight = 315;
constexpr float kButtonWidth = 1215;
constexpr float kButtonHeight = 375;
constexpr float kButtonTop = kBoxTop + kBoxHeight + 2 * kMargin;
constexpr float kFormWidth = kMargin + kWidth + kMargin;
constexpr float kFormHeight = kButtonTop + kButtonHeight + kMargin;

TFileDialogPrompt MakeDialog(const QString& aDefaultExt, const QString& aTitle, const QString& aFilter)
{
    TFileDialogPrompt dialog;
    dialog.DefaultExt = aDefaultExt;
    dialog.Title = aTitle;
    dialog.Filter = aFilter;
    return dialog;
}
}  // namespace

CVexilImportOptions::CVexilImportOptions() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Import Options"));
    SetDesignSize(int(kFormWidth), int(kFormHeight));
    const QString all = QStringLiteral("|All Files (*.*)|*");
    fImportCsvDialog = MakeDialog(QStringLiteral("csv"), QStringLiteral("Import CSV File"),
                                  QStringLiteral("CSV Files (*.csv)|*.csv") + all);
    fImportXmlDialog = MakeDialog(QStringLiteral("xml"), QStringLiteral("Import XML File"),
                                  QStringLiteral("XML Files (*.xml)|*.xml") + all);
    fImportHandBaseDialog = MakeDialog(QStringLiteral("csv"), QStringLiteral("Import HanDBase File"),
                                       QStringLiteral("HanDBase Files (*.pdb)|*.pdb") + all);
    fImportQuorvanDialog = MakeDialog(QStringLiteral("Quorvan"), QStringLiteral("Import Quorvan / Merge Quorvans"),
                                      QStringLiteral("Quorvan  (*.Quorvan)|*.Quorvan") + all);
    fImportTextDialog =
        MakeDialog(QStringLiteral("csv"), QStringLiteral("Import Pure Text File"), QStringLiteral("All Files (*.*)|*"));

    Frame1 = new QGroupBox(QStringLiteral("Import Format"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(TwipsToPixels(kMargin), TwipsToPixels(kMargin), TwipsToPixels(kWidth),
                        TwipsToPixels(kFrameHeight));
    float top = 300;
    auto addOption = [this, &top](CVexilOptionButton*& aButton, const char* aName, const QString& aCaption) {
        aButton = Add<CVexilOptionButton>(QLatin1String(aName), Frame1);
        aButton->setText(aCaption);
        aButton->Move(kMargin, top, kOptionWidth, kRowHeight);
        top += kRowHeight;
        connect(aButton, &QRadioButton::toggled, this, [this](bool aOn) {
            if (aOn)
                Guarded([this] { HandleDisables(); });
        });
    };
    addOption(fCsv, "fCsv", QStringLiteral("CSV"));
    addOption(fXml, "fXml", QStringLiteral("Quorvan content in XML format"));
    addOption(fPdb, "fPdb", QStringLiteral("HanDBase"));
    addOption(fQuorvan, "fQuorvan", QStringLiteral("Quorvan, for merging two stacks"));
    addOption(fText, "fText", QStringLiteral("Pure text file"));

    fIntoCurStack = Add<CVexilCheckBox>(QStringLiteral("fIntoCurStack"));
    fIntoCurStack->setText(QStringLiteral("Import into current stack?"));
    fIntoCurStack->Move(kMargin, kCheckTop, kWidth, kRowHeight);
    connect(fIntoCurStack, &QCheckBox::clicked, this, [this] { Guarded([this] { HandleDisables(); }); });

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
    connect(fOkBut, &QPushButton::clicked, this, [this] { Guarded([this] { OkClicked(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

CVexilImportOptions::~CVexilImportOptions()
{
    // The list points at a widget that goes with the window.
    iBackgroundBox.SetBaseObj(nullptr);
}

void CVexilImportOptions::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilImportOptions; });
}

void CVexilImportOptions::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundBox.SetBaseObj(fBackgroundBox);
    fCsv->setChecked(true);
    FillBackgrounds();
    fIntoCurStack->setChecked(gImportIntoCurStack);
    HandleDisables();
}

void CVexilImportOptions::Unload()
{
    CVexilFormPlacement::Save(*this);
    gImportIntoCurStack = fIntoCurStack->isChecked();
}

void CVexilImportOptions::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        if (aEvent == EChgStackOpened || aEvent == EChgStructure || aEvent == EChgClosingStack ||
            aEvent == EChgStackClosed)
            FillBackgrounds();
    });
}

bool CVexilImportOptions::IntoCurStack() const
{
    return fIntoCurStack->isChecked();
}

TControlSetRef CVexilImportOptions::TargetBackground() const
{
    return std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundBox.SelObj());
}

EImportFormat CVexilImportOptions::SelectedFormat() const
{
    const std::pair<CVexilOptionButton*, EImportFormat> buttons[] = {{fCsv, EImportFormat::ECsv},
                                                                     {fXml, EImportFormat::EXml},
                                                                     {fPdb, EImportFormat::EPdb},
                                                                     {fQuorvan, EImportFormat::EQuorvan},
                                                                     {fText, EImportFormat::EText}};
    for (const auto& [button, format] : buttons)
        if (button->isChecked())
            return format;
    return EImportFormat::ENone;
}

void CVexilImportOptions::FillBackgrounds()
{
    if (gStack)
    {
        CVexilDialogLib::FillBackgroundList(iBackgroundBox, gStack.get(), QString(), nullptr);
        if (iBackgroundBox.NumLines() > 0)
            iBackgroundBox.SetSelIndex(0);
    }
    else
        iBackgroundBox.ClearAndShow();
    HandleDisables();
}

void CVexilImportOptions::HandleDisables()
{
    const TImportDisables states = TImportDisables::For(SelectedFormat(), gStack != nullptr, fIntoCurStack->isChecked());
    fXml->setEnabled(states.XmlEnabled);
    fQuorvan->setEnabled(states.QuorvanEnabled);
    fText->setEnabled(states.TextEnabled);
    fIntoCurStack->setEnabled(states.IntoCurStackEnabled);
    fIntoCurStack->setChecked(states.IntoCurStackChecked);
    fBackgroundBox->setEnabled(states.BackgroundBoxEnabled);
}

bool CVexilImportOptions::TargetPresent()
{
    const EImportFormat format = SelectedFormat();
    const bool needsStack = format == EImportFormat::EXml || format == EImportFormat::EQuorvan ||
                            format == EImportFormat::EText || (format == EImportFormat::ECsv && IntoCurStack());
    const bool needsBackground = format == EImportFormat::EText || format == EImportFormat::ECsv;
    if (!needsStack)
        return true;
    const TControlSetRef background = TargetBackground();
    const bool stackOpen = gStack && gStackView;
    if (stackOpen && (!needsBackground || (background && gStack->Background(background->Id()) == background)))
        return true;
    // A stack gone under the dialog: the list shows what is there now.
    const QString name = background ? background->Name() : fBackgroundBox->currentText();
    FillBackgrounds();
    CVexilMsg::Show(EMsgBackgroundNotFound, EMsgClsCritical, name);
    return false;
}

void CVexilImportOptions::OkClicked()
{
    if (!TargetPresent())
        return;
    switch (SelectedFormat())
    {
    case EImportFormat::ECsv:
        ImportCsvFile();
        break;
    case EImportFormat::EXml:
        ImportXmlFile();
        break;
    case EImportFormat::EPdb:
        ImportHandBaseFile();
        break;
    case EImportFormat::EQuorvan:
        ImportQuorvan();
        break;
    case EImportFormat::EText:
        ImportTextFile();
        break;
    case EImportFormat::ENone:
        break;
    }
}
