#include "editors/VexilValueEdit.h"

#include "editors/VexilValueTypeChange.h"
#include "foundation/VexilDialogLib.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QGroupBox>

#include <memory>

namespace
{
// The design in twips.
constexpr float KClientWidth = 5400;
constexpr float KMargin = 120;
constexpr float KFrameWidth = KClientWidth - 2 * KMargin;
constexpr float KComboFrameHeight = 735;
constexpr float KFrameStep = KComboFrameHeight + 105;
constexpr float KButtonWidth = 1500;
constexpr float KButtonHeight = 375;
constexpr float KSeparatorTop = 60 + 3 * KFrameStep;
constexpr float KSeparatorHeight = 960;
constexpr float KButtonTop = KSeparatorTop + KSeparatorHeight + 120;
constexpr float KClientHeight = KButtonTop + KButtonHeight + KMargin;

constexpr int32_t KBackgroundColor = 204 << 16;  // RGB(0, 0, 204)
constexpr int32_t KFieldColor = 176 << 8;        // RGB(0, 176, 0)

QGroupBox* Frame(QWidget* aForm, const QString& aName, const QString& aTitle, float aTop, float aHeight)
{
    return TwipsFrame(aForm, aName, aTitle, KMargin, aTop, KFrameWidth, aHeight);
}
}  // namespace

CVexilValueEdit::CVexilValueEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Field Values"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    auto addCombo = [this](const QString& aName, const QString& aFrameName, const QString& aTitle, float aTop,
                           float aWidth) {
        QGroupBox* frame = Frame(this, aFrameName, aTitle, aTop, KComboFrameHeight);
        auto* combo = Add<CVexilComboBox>(aName, frame);
        combo->Move(KMargin, 285, aWidth, 315);
        return combo;
    };
    fBackgroundCombo = addCombo(QStringLiteral("fBackgroundCombo"), QStringLiteral("fBackgroundFrame"),
                                QStringLiteral("Background"), 60, KFrameWidth - 2 * KMargin);
    fControlCombo = addCombo(QStringLiteral("fControlCombo"), QStringLiteral("fControlFrame"), QStringLiteral("Field"),
                             60 + KFrameStep, KFrameWidth - 2 * KMargin);
    fNewTypeCombo = addCombo(QStringLiteral("fNewTypeCombo"), QStringLiteral("fNewTypeFrame"),
                             QStringLiteral("New type"), 60 + 2 * KFrameStep, 2400);

    QGroupBox* separator = Frame(this, QStringLiteral("fDecimalFrame"), QStringLiteral("Decimal separator"),
                                 KSeparatorTop, KSeparatorHeight);
    fDecimalDot = Add<CVexilOptionButton>(QStringLiteral("fDecimalDot"), separator);
    fDecimalDot->setText(QStringLiteral("Assume a dot \".\" as separator"));
    fDecimalDot->Move(KMargin, 300, KFrameWidth - 2 * KMargin, 270);
    fDecimalComma = Add<CVexilOptionButton>(QStringLiteral("fDecimalComma"), separator);
    fDecimalComma->setText(QStringLiteral("Assume a comma \",\" as separator"));
    fDecimalComma->Move(KMargin, 600, KFrameWidth - 2 * KMargin, 270);

    fChangeTypeBut = Add<CVexilCommandButton>(QStringLiteral("fChangeTypeBut"));
    fChangeTypeBut->setText(QStringLiteral("Change Type"));
    fChangeTypeBut->Move(KClientWidth - KMargin - KButtonWidth, KButtonTop, KButtonWidth, KButtonHeight);

    iBackgroundList.Construct(ELisCombo);
    iControlList.Construct(ELisCombo);
    iTypeList.Construct(ELisCombo);

    connect(fBackgroundCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!iBusy)
            Guarded([this] { BackgroundChosen(); });
    });
    connect(fControlCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!iBusy)
            Guarded([this] { ControlChosen(); });
    });
    connect(fChangeTypeBut, &QPushButton::clicked, this, [this] { Guarded([this] { ChangeTypeClicked(); }); });
}

CVexilValueEdit::~CVexilValueEdit()
{
    // The lists point at widgets that go with the window.
    iBackgroundList.SetBaseObj(nullptr);
    iControlList.SetBaseObj(nullptr);
    iTypeList.SetBaseObj(nullptr);
}

void CVexilValueEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilValueEdit; });
}

void CVexilValueEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundCombo);
    iControlList.SetBaseObj(fControlCombo);
    iTypeList.SetBaseObj(fNewTypeCombo);
    fBackgroundCombo->SetForeColor(KBackgroundColor);
    fControlCombo->SetForeColor(KFieldColor);
    iBusy = true;
    CVexilDialogLib::FillTypeList(iTypeList);
    iBusy = false;
    CVexilLowLevelUi::SizeComboDropDown(fNewTypeCombo);
    FillBackgrounds(QString());
    fDecimalDot->setChecked(true);
}

void CVexilValueEdit::FillBackgrounds(const QString& aSelected)
{
    iBusy = true;
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    if (iBackgroundList.NumLines() > 0)
        fBackgroundCombo->setCurrentIndex(0);
    if (!aSelected.isEmpty())
        iBackgroundList.SetComboText(aSelected);
    iBusy = false;
    CVexilLowLevelUi::SizeComboDropDown(fBackgroundCombo);
    BackgroundChosen();
}

void CVexilValueEdit::BackgroundChosen()
{
    iBackground = std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundList.SelObj());
    iBusy = true;
    if (iBackground)
    {
        CVexilDialogLib::FillControlList(iControlList, *iBackground, QString(), true, false);
        if (iControlList.NumLines() > 0)
            fControlCombo->setCurrentIndex(0);
    }
    else
    {
        iControlList.ClearAndShow();
    }
    iBusy = false;
    CVexilLowLevelUi::SizeComboDropDown(fControlCombo);
    ControlChosen();
}

void CVexilValueEdit::ControlChosen()
{
    iControl = std::dynamic_pointer_cast<CVexilControl>(iControlList.SelObj());
}

void CVexilValueEdit::SetAndShowControl(const TControlSetRef& aBackground, const TControlRef& aControl)
{
    iBackgroundList.SetSelIndexByObj(aBackground.get());
    iControlList.SetSelIndexByObj(aControl.get());
    iControl = aControl;
}

void CVexilValueEdit::ChangeTypeClicked()
{
    // Taken now: the broadcast yields, and the window may choose others meanwhile.
    const TStackRef stack = gStack;
    const TControlSetRef background = iBackground;
    const TControlRef control = iControl;
    const int32_t newType = iTypeList.SelIndex();
    TControlRef listed;
    if (!stack || !background || !control || newType < 0 || stack->Background(background->Id()) != background ||
        !background->GetControl(control->Id(), listed) || listed != control)
        return;
    const QChar separator = fDecimalComma->isChecked() ? QLatin1Char(',') : QLatin1Char('.');
    CVexilValueTypeChange change(*stack, *background, *control);
    if (change.Change(newType, separator))
        CVexilWinMan::NotifyAll(EChgValueType, control);
}

void CVexilValueEdit::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        if (aEvent == EChgClosingStack)
            UnloadForm();
        else if (aEvent == EChgStructure)
            FillBackgrounds(iBackgroundList.SelLine());
    });
}
