#include "editors/VexilFontSelect.h"

#include "editors/VexilCardSelect.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilOptions.h"
#include "shell/VexilWinMan.h"

#include <QApplication>
#include <QGroupBox>
#include <QLocale>

#include <exception>

namespace
{
// The design in twips.
constexpr float KClientWidth = 12960;
constexpr float KClientHeight = 4875;
constexpr float KMargin = 120;
constexpr float KFrameHeight = 2700;
constexpr float KBoxHeight = 315;
constexpr float KButtonHeight = 375;
constexpr float KButtonWidth = 1215;
constexpr float KRowTop = 690;
constexpr float KRowStep = 390;

QGroupBox* AddFrame(QWidget* aForm, const QString& aCaption, float aLeft, float aTop, float aWidth, float aHeight)
{
    auto* frame = new QGroupBox(aCaption, aForm);
    frame->setGeometry(CVexilCtl::TwipsToPixels(aLeft), CVexilCtl::TwipsToPixels(aTop),
                       CVexilCtl::TwipsToPixels(aWidth), CVexilCtl::TwipsToPixels(aHeight));
    return frame;
}

int32_t FlagsOf(const CVexilCheckBox& aBold, const CVexilCheckBox& aItalic, const CVexilCheckBox& aUnderline)
{
    return (aBold.isChecked() ? EFontBold : 0) | (aItalic.isChecked() ? EFontItalic : 0) |
           (aUnderline.isChecked() ? EFontUnderline : 0);
}
}  // namespace

CVexilFontSelect::CVexilFontSelect() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Select Font"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    auto label = [this](const QString& aName, const QString& aCaption, QWidget* aFrame, float aLeft, float aTop,
                        float aWidth) {
        auto* ctl = Add<CVexilLabel>(aName, aFrame);
        ctl->setText(aCaption);
        ctl->Move(aLeft, aTop + 30, aWidth, 255);
        return ctl;
    };
    auto textBox = [this](const QString& aName, QWidget* aFrame, float aLeft, float aTop, float aWidth) {
        auto* ctl = Add<CVexilTextBox>(aName, aFrame);
        ctl->Move(aLeft, aTop, aWidth, KBoxHeight);
        return ctl;
    };
    auto colorSample = [this](const QString& aName, QWidget* aFrame, float aLeft, float aTop, float aWidth) {
        auto* ctl = Add<CVexilLabel>(aName, aFrame);
        ctl->setFrameShape(QFrame::Box);
        ctl->setAutoFillBackground(true);
        ctl->Move(aLeft, aTop, aWidth, KBoxHeight);
        return ctl;
    };
    auto button = [this](const QString& aName, const QString& aCaption, QWidget* aFrame, float aLeft, float aTop,
                         float aWidth) {
        auto* ctl = Add<CVexilCommandButton>(aName, aFrame);
        ctl->setText(aCaption);
        ctl->Move(aLeft, aTop, aWidth, KButtonHeight);
        return ctl;
    };
    auto checkBox = [this](const QString& aName, const QString& aCaption, QWidget* aFrame, float aLeft, float aTop,
                           float aWidth) {
        auto* ctl = Add<CVexilCheckBox>(aName, aFrame);
        ctl->setText(aCaption);
        ctl->Move(aLeft, aTop, aWidth, KBoxHeight);
        return ctl;
    };

    // The edited font.
    QGroupBox* input = AddFrame(this, QStringLiteral("Font selection"), KMargin, 60, 5160, KFrameHeight);
    label(QStringLiteral("lblFaceName"), QStringLiteral("Face name:"), input, 120, 300, 1200);
    fFontName = textBox(QStringLiteral("fFontName"), input, 1380, 300, 3600);
    label(QStringLiteral("lblPointSize"), QStringLiteral("Point size:"), input, 120, 690, 1200);
    fFontSize = textBox(QStringLiteral("fFontSize"), input, 1380, 690, 900);
    label(QStringLiteral("lblAttributes"), QStringLiteral("Attributes:"), input, 120, 1080, 1200);
    fBold = checkBox(QStringLiteral("fBold"), QStringLiteral("Bold?"), input, 1380, 1080, 1050);
    fItalic = checkBox(QStringLiteral("fItalic"), QStringLiteral("Italic?"), input, 2490, 1080, 1050);
    fUnderline = checkBox(QStringLiteral("fUnderline"), QStringLiteral("Underline?"), input, 3600, 1080, 1380);
    label(QStringLiteral("lblColor"), QStringLiteral("Color:"), input, 120, 1500, 1200);
    fFontColor = colorSample(QStringLiteral("fFontColor"), input, 1380, 1500, 735);
    fSelectColorBut = button(QStringLiteral("fSelectColorBut"), QStringLiteral("Select Color..."), input, 2235, 1470,
                             1320);
    fClearColorBut = button(QStringLiteral("fClearColorBut"), QStringLiteral("Clear Color"), input, 3660, 1470, 1320);
    fShowFontBut = button(QStringLiteral("fShowFontBut"), QStringLiteral("Show Result"), input, 1380, 2040, 1710);
    fFontDialogBut = button(QStringLiteral("fFontDialogBut"), QStringLiteral("Font Dialog..."), input, 3270, 2040,
                            1710);

    // The chain.
    QGroupBox* chain =
        AddFrame(this, QStringLiteral("Hierarchical font evaluation"), 5400, 60, KClientWidth - 5400 - KMargin,
                 KFrameHeight);
    label(QStringLiteral("lblDefault"), QStringLiteral("System default:"), chain, 120, 300, 2160);
    fDefaultFontName = textBox(QStringLiteral("fDefaultFontName"), chain, 2340, 300, 2040);
    fDefaultFontSize = textBox(QStringLiteral("fDefaultFontSize"), chain, 4440, 300, 660);
    static const char* const kLevelNames[] = {"Stack", "Background", "Card", "Control"};
    for (size_t i = 0; i < fLevels.size(); ++i)
    {
        const QString level = QLatin1String(kLevelNames[i]);
        const float top = KRowTop + float(i) * KRowStep;
        fLevels[i].Label = label(QStringLiteral("f%1FontLabel").arg(level), level + QLatin1Char(':'), chain, 120, top,
                                 2160);
        fLevels[i].Name = textBox(QStringLiteral("f%1FontName").arg(level), chain, 2340, top, 2040);
        fLevels[i].Size = textBox(QStringLiteral("f%1FontSize").arg(level), chain, 4440, top, 660);
        fLevels[i].Color = colorSample(QStringLiteral("f%1FontColor").arg(level), chain, 5160, top, 480);
    }
    fSelectCardBut = button(QStringLiteral("fSelectCardBut"), QStringLiteral("Select Card..."), chain, 5700,
                            KRowTop + 2 * KRowStep - 30, 1620);
    const float resultTop = KRowTop + 4 * KRowStep;
    label(QStringLiteral("lblResult"), QStringLiteral("Resulting font:"), chain, 120, resultTop, 2160);
    fResultFontName = textBox(QStringLiteral("fResultFontName"), chain, 2340, resultTop, 2040);
    fResultFontSize = textBox(QStringLiteral("fResultFontSize"), chain, 4440, resultTop, 660);
    fResultFontColor = colorSample(QStringLiteral("fResultFontColor"), chain, 5160, resultTop, 480);
    // What the program shows there is no input.
    for (CVexilTextBox* shown : {fDefaultFontName, fDefaultFontSize, fResultFontName, fResultFontSize})
        shown->setReadOnly(true);

    // The sample.
    QGroupBox* sample = AddFrame(this, QStringLiteral("Sample of resulting font"), KMargin, 2880,
                                 KClientWidth - 2 * KMargin, 1380);
    fFontSample = Add<CVexilLabel>(QStringLiteral("fFontSample"), sample);
    fFontSample->setText(KSampleText);
    fFontSample->Move(120, 270, KClientWidth - 2 * KMargin - 240, 990);

    fSelectFontBut = button(QStringLiteral("fSelectFontBut"), QStringLiteral("Save"), nullptr,
                            KClientWidth - 2 * (KMargin + KButtonWidth), 4380, KButtonWidth);
    fCancelBut = button(QStringLiteral("fCancelBut"), QStringLiteral("Cancel"), nullptr,
                        KClientWidth - KMargin - KButtonWidth, 4380, KButtonWidth);

    auto show = [this] { Guarded([this] { ShowFonts(); }); };
    for (CVexilCheckBox* box : {fBold, fItalic, fUnderline})
        connect(box, &QCheckBox::toggled, this, show);
    connect(fShowFontBut, &QPushButton::clicked, this, show);
    connect(fSelectColorBut, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            CVexilDialogLib::SelectColor(*fFontColor, iColor);
            ShowFonts();
        });
    });
    connect(fClearColorBut, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            iColor = UndefLong;
            CVexilDialogLib::ShowColor(*fFontColor, iColor);
            ShowFonts();
        });
    });
    connect(fFontDialogBut, &QPushButton::clicked, this, [this] { Guarded([this] { FontDialog(); }); });
    connect(fSelectCardBut, &QPushButton::clicked, this, [this] { Guarded([this] { SelectCard(); }); });
    connect(fSelectFontBut, &QPushButton::clicked, this, [this] { Guarded([this] { Save(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { UnloadForm(); });
    CheckOnLeave(fFontName, [this] { CheckFaceName(); });
    CheckOnLeave(fFontSize, [this] {
        // Save checks the size itself: one message for one click.
        if (QApplication::focusWidget() != fSelectFontBut && !CVexilFontInput::CheckSize(fFontSize->text()))
            fFontSize->setFocus();
    });
}

void CVexilFontSelect::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilFontSelect; });
}

CVexilFontSelect* CVexilFontSelect::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilFontSelect*>(CVexilFormRegistry::NameToForm(KClassName));
}

void CVexilFontSelect::Load()
{
    SetUp();
}

void CVexilFontSelect::SetUp()
{
    if (iLoading || iLoaded)
        return;
    iLoading = true;
    CVexilFormPlacement::Restore(*this);
    fDefaultFontName->setText(QStringLiteral("Arial"));
    fDefaultFontSize->setText(QStringLiteral("11"));
    for (const TLevelRow& row : fLevels)
        for (CVexilCtl* box : std::initializer_list<CVexilCtl*>{row.Name, row.Size, row.Color})
            CVexilDialogLib::SetEditable(*box, false, false);
    EnableButtons();
    iLoaded = true;
    iLoading = false;
}

void CVexilFontSelect::SelectFont(IVexilFontSelectCaller* aCaller, int16_t aCase, int32_t aLevel,
                                  const TControlSetRef& aBackground, const TCardRef& aCard,
                                  const TControlRef& aControl, const CVexilFont* aFont)
{
    if (!iLoaded)
    {
        SetUp();
        DoEvents();
    }
    iCaller.Set(aCaller);
    iCase = aCase;
    iLevel = aLevel;
    iBackground = aBackground;
    iCard = aCard;
    iControl = aControl;
    ShowInputFont(aFont);
    if (iLevel == ELevelControl && !iCard && iBackground && gStack)
    {
        int32_t cursor = 0;
        gStack->GetFirstCardInBackground(iBackground->Id(), iCard, cursor);
    }
    EnableButtons();
    ShowFonts();
    fFontName->setFocus();
}

void CVexilFontSelect::ShowInputFont(const CVexilFont* aFont)
{
    fFontName->setText(aFont ? aFont->FaceName() : QString());
    fFontSize->setText(aFont ? aFont->PointSizeStr() : QString());
    const int32_t flags = aFont ? aFont->Flags() : 0;
    fBold->setChecked(flags & EFontBold);
    fItalic->setChecked(flags & EFontItalic);
    fUnderline->setChecked(flags & EFontUnderline);
    iColor = aFont ? aFont->ForeColor() : UndefLong;
    CVexilDialogLib::ShowColor(*fFontColor, iColor);
}

TFontInput CVexilFontSelect::Input() const
{
    return {fFontName->text(), fFontSize->text(), iColor, FlagsOf(*fBold, *fItalic, *fUnderline)};
}

void CVexilFontSelect::ShowFonts()
{
    const CVexilFontChain::TResult chain = CVexilFontChain::Evaluate(
        iLevel, {gStack.get(), iBackground.get(), iCard.get(), iControl.get()}, Input());
    for (size_t i = 0; i < fLevels.size(); ++i)
    {
        const TFontLevelRow& shown = chain.Rows[i];
        const TLevelRow& row = fLevels[i];
        row.Label->setText(shown.Label);
        row.Name->setText(shown.FaceName);
        row.Size->setText(shown.Size);
        CVexilDialogLib::ShowColor(*row.Color, shown.Color);
        for (CVexilCtl* ctl : std::initializer_list<CVexilCtl*>{row.Label, row.Name, row.Size, row.Color})
            ctl->SetVisible(shown.Visible);
    }
    fSelectCardBut->SetVisible(chain.Rows[ELevelCard].Visible);
    iResult = chain.Font;
    fResultFontName->setText(iResult->FaceNameWithFlags());
    fResultFontSize->setText(iResult->PointSizeStr());
    CVexilDialogLib::ShowColor(*fResultFontColor, iResult->ForeColor());
    fFontSample->setFont(CVexilLibUi::MakeStdFont(*iResult, true));
    fFontSample->SetForeColor(iResult->ForeColor());
}

void CVexilFontSelect::EnableButtons()
{
    const bool withCaller = iCaller.Get() != nullptr;
    fSelectFontBut->SetEnabled(withCaller);
    fSelectCardBut->SetEnabled(withCaller && iLevel == ELevelControl);
}

void CVexilFontSelect::CheckFaceName()
{
    const QString faceName = fFontName->text();
    if (gSuppressFontInfo || !CVexilFontInput::NeedsInstalledFont(faceName))
        return;
    CVexilMsg::Show(EMsgFontSupport, EMsgClsExclamation, faceName);
    // Once is enough, in this run and in later ones.
    gSuppressFontInfo = true;
    CVexilOptions::PutBoolOption(QStringLiteral("SuppressFontInfo"), true);
}

void CVexilFontSelect::FontDialog()
{
    TFontPrompt font;
    font.FaceName = fFontName->text();
    font.Bold = fBold->isChecked();
    font.Italic = fItalic->isChecked();
    font.Underline = fUnderline->isChecked();
    int16_t size = UndefInt;
    if (CVexilFontInput::ReadSize(fFontSize->text(), size) == 0 && size != UndefInt)
        font.Size = float(size) / 20;
    font.Color = iColor == UndefLong ? 0 : iColor;
    try
    {
        IVexilPrompts* prompts = CVexilPrompts::Current();
        if (!prompts || !prompts->ChooseFont(font))
            return;
    }
    catch (const std::exception&)
    {
        return;  // a failing dialog ends here without a message
    }
    fFontName->setText(font.FaceName);
    fBold->setChecked(font.Bold);
    fItalic->setChecked(font.Italic);
    fUnderline->setChecked(font.Underline);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    fFontSize->setText(locale.toString(double(font.Size), 'g', 7));
    iColor = font.Color;
    CVexilDialogLib::ShowColor(*fFontColor, iColor);
    ShowFonts();
    CheckFaceName();
}

void CVexilFontSelect::SelectCard()
{
    CVexilCardSelect* picker = CVexilCardSelect::Instance();
    if (!picker)
        return;
    CVexilWinMan::ShowForm(*picker);
    picker->SelectCard(this, iBackground, 0);
}

void CVexilFontSelect::SetCard(const TCardRef& aCard, int16_t aCase)
{
    const bool caseOk = aCase == 0;
    CVexilError::Assert(caseOk, QStringLiteral("SetCard aCase"));
    if (!caseOk)
        return;
    iCard = aCard;
    ShowFonts();
}

void CVexilFontSelect::Save()
{
    if (IVexilFontSelectCaller* caller = iCaller.Get())
    {
        if (!CVexilFontInput::CheckSize(fFontSize->text()))
        {
            fFontSize->setFocus();
            return;
        }
        caller->SetFont(CVexilFontInput::InputFont(Input()), iCase);
        if (CVexilForm* callerForm = iCaller.Form())
            CVexilWinMan::ShowForm(*callerForm);
        iCaller.Clear();
        iCase = UndefInt;
        EnableButtons();
    }
    hide();
}

void CVexilFontSelect::Activated()
{
    EnableButtons();
}

void CVexilFontSelect::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    if (aEvent == EChgClosingStack)
        UnloadForm();
}
