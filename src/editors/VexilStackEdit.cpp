#include "editors/VexilStackEdit.h"

#include "editors/VexilFontChain.h"
#include "editors/VexilFontSelect.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QGroupBox>
#include <QMetaObject>

#include <algorithm>

namespace
{
// The design in twips.
constexpr float KMargin = 120;
constexpr float KFrameTop = 300;
constexpr float KBoxHeight = 315;
constexpr float KCaptionHeight = 255;
constexpr float KCheckHeight = 270;
constexpr float KButtonHeight = 375;
constexpr float KButtonWidth = 1080;
constexpr float KRow = 390;
constexpr float KLeftWidth = 4800;
constexpr float KRightLeft = KMargin + KLeftWidth + KMargin;
constexpr float KRightWidth = 3240;
constexpr float KClientWidth = KRightLeft + KRightWidth + KMargin;
constexpr float KBoxFrameHeight = KFrameTop + KBoxHeight + KMargin;
constexpr float KFileTop = 600;
constexpr float KDescrTop = KFileTop + KBoxFrameHeight + KMargin;
constexpr float KFontTop = KDescrTop + KBoxFrameHeight + KMargin;
constexpr float KFontHeight = KFrameTop + 2 * KRow + KBoxHeight + KMargin;
constexpr float KListFontTop = KFontTop + KFontHeight + KMargin;
constexpr float KColorTop = KListFontTop + KFontHeight + KMargin;
constexpr float KFlagsTop = KColorTop + KBoxFrameHeight + 60 + KMargin;
constexpr float KFlagsHeight = KFrameTop + 3 * 300 + KMargin;
constexpr float KButtonTop = KFlagsTop + KFlagsHeight + KMargin;
constexpr float KClientHeight = KButtonTop + KButtonHeight + KMargin;
constexpr float KCaptionWidth = 600;
constexpr float KInputLeft = KMargin + KCaptionWidth;
constexpr float KSelectLeft = KLeftWidth - KMargin - KButtonWidth;
constexpr float KInputWidth = KSelectLeft - KMargin - KInputLeft;

constexpr int32_t KBackgroundColor = 204 << 16;  // RGB(0, 0, 204)

const QString kBackgroundEdit = QStringLiteral("CVexilBackgroundEdit");

}  // namespace

CVexilStackEdit::CVexilStackEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Stack"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
    ConnectEvents();
    iBackgroundList.Construct(ELisSingle);
}

CVexilStackEdit::~CVexilStackEdit()
{
    // The list points at a widget that goes with the window.
    iBackgroundList.SetBaseObj(nullptr);
}

void CVexilStackEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilStackEdit; });
}

QString CVexilStackEdit::FileTitle(const QString& aPath)
{
    const qsizetype slash = std::max(aPath.lastIndexOf(QLatin1Char('/')), aPath.lastIndexOf(QLatin1Char('\\')));
    return aPath.mid(slash + 1);
}

void CVexilStackEdit::BuildDesign()
{
    auto add = [this]<class T>(T*& aCtl, const QString& aName, QWidget* aParent, float aLeft, float aTop,
                               float aWidth, float aHeight) {
        aCtl = this->template Add<T>(aName, aParent);
        aCtl->Move(aLeft, aTop, aWidth, aHeight);
    };
    auto caption = [this](const QString& aName, const QString& aText, QWidget* aParent, float aTop) {
        auto* label = Add<CVexilLabel>(aName, aParent);
        label->setText(aText);
        label->Move(KMargin, aTop + (KBoxHeight - KCaptionHeight) / 2, KCaptionWidth, KCaptionHeight);
    };
    auto button = [this](const QString& aName, const QString& aText, QWidget* aParent, float aLeft, float aTop) {
        auto* made = Add<CVexilCommandButton>(aName, aParent);
        made->setText(aText);
        made->Move(aLeft, aTop, KButtonWidth, KButtonHeight);
        made->setAutoDefault(false);
        return made;
    };

    add(fModeText, QStringLiteral("fModeText"), nullptr, KMargin, KMargin, KLeftWidth, 420);
    QFont large = fModeText->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    fModeText->setFont(large);

    const float boxWidth = KLeftWidth - 2 * KMargin;
    QGroupBox* frame = TwipsFrame(this, QStringLiteral("fFileNameFrame"), QStringLiteral("Filename"), KMargin, KFileTop,
                             KLeftWidth, KBoxFrameHeight);
    add(fFileName, QStringLiteral("fFileName"), frame, KMargin, KFrameTop, boxWidth, KBoxHeight);
    frame = TwipsFrame(this, QStringLiteral("fDescrFrame"), QStringLiteral("Description"), KMargin, KDescrTop, KLeftWidth,
                  KBoxFrameHeight);
    add(fDescr, QStringLiteral("fDescr"), frame, KMargin, KFrameTop, boxWidth, KBoxHeight);

    auto fontFrame = [&](const QString& aPrefix, const QString& aTitle, float aTop, CVexilTextBox*& aName,
                         CVexilTextBox*& aSize, CVexilLabel*& aColor, CVexilCommandButton*& aSelect) {
        QGroupBox* font = TwipsFrame(this, aPrefix + QStringLiteral("Frame"), aTitle, KMargin, aTop, KLeftWidth, KFontHeight);
        caption(aPrefix + QStringLiteral("NameLabel"), QStringLiteral("Name:"), font, KFrameTop);
        add(aName, aPrefix + QStringLiteral("Name"), font, KInputLeft, KFrameTop, KInputWidth, KBoxHeight);
        caption(aPrefix + QStringLiteral("SizeLabel"), QStringLiteral("Size:"), font, KFrameTop + KRow);
        add(aSize, aPrefix + QStringLiteral("Size"), font, KInputLeft, KFrameTop + KRow, 720, KBoxHeight);
        caption(aPrefix + QStringLiteral("ColorLabel"), QStringLiteral("Color:"), font, KFrameTop + 2 * KRow);
        add(aColor, aPrefix + QStringLiteral("Color"), font, KInputLeft, KFrameTop + 2 * KRow, 720, KBoxHeight);
        aColor->setFrameShape(QFrame::Box);
        aSelect = button(QStringLiteral("fSelect") + aPrefix.mid(1) + QStringLiteral("But"), QStringLiteral("Select..."),
                         font, KSelectLeft, KFrameTop - (KButtonHeight - KBoxHeight) / 2);
    };
    fontFrame(QStringLiteral("fFont"), QStringLiteral("Font"), KFontTop, fFontName, fFontSize, fFontColor,
              fSelectFontBut);
    fontFrame(QStringLiteral("fListFont"), QStringLiteral("List Font"), KListFontTop, fListFontName, fListFontSize,
              fListFontColor, fSelectListFontBut);

    frame = TwipsFrame(this, QStringLiteral("fColorFrame"), QStringLiteral("Color"), KMargin, KColorTop, KLeftWidth,
                  KBoxFrameHeight + 60);
    add(fBackColor, QStringLiteral("fBackColor"), frame, KMargin, KFrameTop + 30, 1200, KBoxHeight);
    fBackColor->setFrameShape(QFrame::Box);
    fSelectColorBut = button(QStringLiteral("fSelectColorBut"), QStringLiteral("Select..."), frame,
                             KSelectLeft - KMargin - KButtonWidth, KFrameTop);
    fClearColorBut = button(QStringLiteral("fClearColorBut"), QStringLiteral("Clear"), frame, KSelectLeft, KFrameTop);

    frame = TwipsFrame(this, QStringLiteral("fFlagsFrame"), QStringLiteral("Flags"), KMargin, KFlagsTop, KLeftWidth,
                  KFlagsHeight);
    auto flag = [&](CVexilCheckBox*& aBox, const QString& aName, const QString& aText, int aRow) {
        add(aBox, aName, frame, KMargin, KFrameTop + float(aRow) * 300, boxWidth, KCheckHeight);
        aBox->setText(aText);
    };
    flag(fBinary, QStringLiteral("fBinary"), QStringLiteral("Binary?"), 0);
    flag(fOpenFullScreen, QStringLiteral("fOpenFullScreen"), QStringLiteral("Open in full screen mode?"), 1);
    flag(fOpenLandscape, QStringLiteral("fOpenLandscape"), QStringLiteral("Open in landscape mode?"), 2);

    frame = TwipsFrame(this, QStringLiteral("fBackgroundFrame"), QStringLiteral("Backgrounds"), KRightLeft, KFileTop,
                  KRightWidth, KButtonTop - KMargin - KFileTop);
    add(fBackgroundBox, QStringLiteral("fBackgroundBox"), frame, KMargin, KFrameTop, KRightWidth - 2 * KMargin,
        KButtonTop - KMargin - KFileTop - KFrameTop - KMargin);

    fScript = button(QStringLiteral("fScript"), QStringLiteral("Script..."), nullptr, KMargin, KButtonTop);
    fHelpBut = button(QStringLiteral("fHelpBut"), QStringLiteral("Help"), nullptr, KClientWidth - KMargin - KButtonWidth,
                      KButtonTop);
    fModifyBut = button(QStringLiteral("fModifyBut"), QStringLiteral("Modify"), nullptr,
                        KClientWidth - 2 * (KMargin + KButtonWidth), KButtonTop);
}

void CVexilStackEdit::ConnectEvents()
{
    auto on = [this](void (CVexilStackEdit::*aHandler)()) {
        return [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); };
    };
    auto enableModify = [this] {
        if (!iBusy)
            fModifyBut->SetEnabled(true);
    };
    connect(fDescr, &QLineEdit::textEdited, this, enableModify);
    for (CVexilCheckBox* box : {fBinary, fOpenFullScreen, fOpenLandscape})
        connect(box, &QCheckBox::toggled, this, enableModify);
    connect(fSelectFontBut, &QPushButton::clicked, this, [this] { Guarded([this] { SelectFontClicked(0); }); });
    connect(fSelectListFontBut, &QPushButton::clicked, this, [this] { Guarded([this] { SelectFontClicked(1); }); });
    connect(fSelectColorBut, &QPushButton::clicked, this, on(&CVexilStackEdit::SelectColorClicked));
    connect(fClearColorBut, &QPushButton::clicked, this, on(&CVexilStackEdit::ClearColorClicked));
    connect(fScript, &QPushButton::clicked, this, on(&CVexilStackEdit::ScriptClicked));
    connect(fBackgroundBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilStackEdit::BackgroundDoubleClicked));
    connect(fModifyBut, &QPushButton::clicked, this, on(&CVexilStackEdit::ModifyClicked));
    connect(fHelpBut, &QPushButton::clicked, this, [this] { Guarded([] { CVexilLowLevelUi::ShowHelp(KClassName); }); });
}

void CVexilStackEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundBox);
    iBackgroundList.Define1Column(QStringLiteral("Name"));
    FillBackgrounds();
    iFlagBoxes = {{fBinary, EStkBinary}, {fOpenFullScreen, EStkOpenFullScreen}, {fOpenLandscape, EStkOpenLandscape}};
    fBackgroundBox->SetForeColor(KBackgroundColor);
    for (CVexilCtl* box : std::initializer_list<CVexilCtl*>{fFontName, fFontSize, fFileName, fListFontName,
                                                            fListFontSize})
        CVexilDialogLib::SetEditable(*box, false, false);
    ShowStack();
    fModifyBut->SetEnabled(false);
}

void CVexilStackEdit::FillBackgrounds()
{
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
}

void CVexilStackEdit::ShowStack()
{
    if (!gStack)
        return;
    iBusy = true;
    const QString path = gStack->Filename();
    fModeText->setText(FileTitle(path));
    fFileName->setText(path);
    fDescr->setText(gStack->Descr());
    iFont = gStack->Font();
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
    iListFont = gStack->ListFont();
    CVexilDialogLib::ShowFont(iListFont.get(), *fListFontName, *fListFontSize, *fListFontColor);
    for (const auto& [box, flag] : iFlagBoxes)
        box->setChecked((gStack->Flags() & flag) != 0);
    iBackColor = gStack->BackColor();
    CVexilDialogLib::ShowColor(*fBackColor, iBackColor);
    iBusy = false;
}

void CVexilStackEdit::SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase)
{
    Guarded([&] {
        if (aCase == 0)
        {
            iFont = aFont;
            CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
        }
        else if (aCase == 1)
        {
            iListFont = aFont;
            CVexilDialogLib::ShowFont(iListFont.get(), *fListFontName, *fListFontSize, *fListFontColor);
        }
        else
        {
            CVexilError::Assert(false, QStringLiteral("SetFont aCase"));
            return;
        }
        fModifyBut->SetEnabled(true);
    });
}

void CVexilStackEdit::SelectFontClicked(int16_t aCase)
{
    CVexilFontSelect* picker = CVexilFontSelect::Instance();
    CVexilWinMan::ShowForm(*picker);
    picker->SelectFont(this, aCase, ELevelStack, nullptr, nullptr, nullptr, aCase == 0 ? iFont.get() : iListFont.get());
}

void CVexilStackEdit::SelectColorClicked()
{
    const int32_t before = iBackColor;
    CVexilDialogLib::SelectColor(*fBackColor, iBackColor);
    if (iBackColor != before)
        fModifyBut->SetEnabled(true);
}

void CVexilStackEdit::ClearColorClicked()
{
    iBackColor = UndefLong;
    CVexilDialogLib::ShowColor(*fBackColor, iBackColor);
    fModifyBut->SetEnabled(true);
}

void CVexilStackEdit::ScriptClicked()
{
    if (gStack)
        CVexilScriptEdit::EditScript(gStack);
}

void CVexilStackEdit::BackgroundDoubleClicked()
{
    const auto background = std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundList.SelObj());
    CVexilForm* editor = CVexilWinMan::NameToForm(kBackgroundEdit);
    if (!background || !editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    QMetaObject::invokeMethod(editor, "SetAndShowBackground", Q_ARG(TControlSetRef, background));
}

void CVexilStackEdit::ModifyClicked()
{
    if (!gStack)
        return;
    gStack->SetDescr(fDescr->text());
    gStack->SetFont(iFont);
    int32_t flags = 0;
    for (const auto& [box, flag] : iFlagBoxes)
        if (box->isChecked())
            flags |= flag;
    gStack->SetFlags(flags);
    gStack->SetBackColor(iBackColor);
    gStack->SetListFont(iListFont);
    fModifyBut->SetEnabled(false);
    CVexilWinMan::NotifyAll(EChgStructure);
}

void CVexilStackEdit::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([&] {
        if (aEvent == EChgClosingStack)
            UnloadForm();
        else if (aEvent == EChgStructure)
            FillBackgrounds();
    });
}
