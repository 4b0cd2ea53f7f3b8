#include "editors/VexilCardEdit.h"

#include "editors/VexilCardInfo.h"
#include "editors/VexilCardSelect.h"
#include "editors/VexilCardWriter.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilFontChain.h"
#include "editors/VexilFontSelect.h"
#include "editors/VexilObjCast.h"
#include "editors/VexilScriptEdit.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QDropEvent>
#include <QGroupBox>
#include <QMetaObject>
#include <QMimeData>

namespace
{
// The design in twips.
constexpr float KMargin = 120;
constexpr float KFrameTop = 300;
constexpr float KBoxHeight = 315;
constexpr float KCaptionHeight = 255;
constexpr float KRow = 390;
constexpr float KLeftWidth = 2880;
constexpr float KRightLeft = KMargin + KLeftWidth + KMargin;
constexpr float KRightWidth = 7200;
constexpr float KHalfWidth = (KRightWidth - KMargin) / 2;
constexpr float KRightHalfLeft = KRightLeft + KHalfWidth + KMargin;
constexpr float KClientWidth = KRightLeft + KRightWidth + KMargin;
constexpr float KNameTop = 420;
constexpr float KNameHeight = KFrameTop + KBoxHeight + KMargin;
constexpr float KFontTop = KNameTop + KNameHeight + KMargin;
constexpr float KFontHeight = KFrameTop + 3 * KRow + KMargin;
constexpr float KInfoTop = KFontTop + KFontHeight + KMargin;
constexpr float KInfoHeight = KFrameTop + 4 * KRow + KBoxHeight + KMargin;
// The stamps need the wider share of the row, the insert options the narrower.
constexpr float KInfoWidth = 4680;
constexpr float KInsertLeft = KRightLeft + KInfoWidth + KMargin;
constexpr float KInsertWidth = KRightWidth - KInfoWidth - KMargin;
constexpr float KValuesTop = KInfoTop + KInfoHeight + KMargin;
constexpr float KValuesHeight = 2280;
constexpr float KButtonHeight = 375;
constexpr float KButtonTop = KValuesTop + KValuesHeight + KMargin;
constexpr float KClientHeight = KButtonTop + KButtonHeight + KMargin;
constexpr float KBackgroundHeight = 2040;
constexpr float KCardsTop = KMargin + KBackgroundHeight + KMargin;
constexpr float KButtonWidth = 1000;
constexpr float KButtonGap = (KRightWidth - 6 * KButtonWidth) / 5;
constexpr float KSmallButtonWidth = 900;

constexpr int32_t KBackgroundColor = 204 << 16;     // RGB(0, 0, 204)
constexpr int32_t KFieldColor = 176 << 8;           // RGB(0, 176, 0)
constexpr int32_t KCardColor = 204 | (102 << 8);    // RGB(204, 102, 0)

const QString kBackgroundEdit = QStringLiteral("CVexilBackgroundEdit");

}  // namespace

CVexilCardEdit::CVexilCardEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Cards"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
    ConnectEvents();
    iBackgroundList.Construct(ELisSingle);
    iCardList.Construct(ELisSingle);
    iControlList.Construct(ELisSingle);
}

CVexilCardEdit::~CVexilCardEdit()
{
    // The lists point at widgets that go with the window.
    for (CVexilListBox* list : {&iBackgroundList, &iCardList, &iControlList})
        list->SetBaseObj(nullptr);
}

void CVexilCardEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCardEdit; });
}

void CVexilCardEdit::BuildDesign()
{
    auto label = [this](QWidget* aParent, const QString& aName, const QString& aText, float aLeft, float aTop,
                        float aWidth) {
        auto* caption = Add<CVexilLabel>(aName, aParent);
        caption->setText(aText);
        caption->Move(aLeft, aTop + (KBoxHeight - KCaptionHeight) / 2, aWidth, KCaptionHeight);
    };
    auto button = [this](QWidget* aParent, const QString& aName, const QString& aCaption, float aLeft, float aTop,
                         float aWidth) {
        auto* result = Add<CVexilCommandButton>(aName, aParent);
        result->setText(aCaption);
        result->Move(aLeft, aTop, aWidth, KButtonHeight);
        // A click leaves the focus where it is: the button's handler checks the input itself.
        result->setFocusPolicy(Qt::TabFocus);
        return result;
    };
    auto listIn = [this](QGroupBox* aFrame, const QString& aName, float aWidth, float aHeight) {
        auto* list = Add<CVexilListView>(aName, aFrame);
        list->Move(KMargin, KFrameTop, aWidth - 2 * KMargin, aHeight - KFrameTop - KMargin);
        return list;
    };

    QGroupBox* frame = TwipsFrame(this, QStringLiteral("fBackgroundFrame"), QStringLiteral("Background"), KMargin, KMargin,
                             KLeftWidth, KBackgroundHeight);
    fBackgroundBox = listIn(frame, QStringLiteral("fBackgroundBox"), KLeftWidth, KBackgroundHeight);
    const float cardsHeight = KClientHeight - KCardsTop - KMargin;
    frame = TwipsFrame(this, QStringLiteral("fCardFrame"), QStringLiteral("Cards of Background"), KMargin, KCardsTop,
                  KLeftWidth, cardsHeight);
    fCardBox = listIn(frame, QStringLiteral("fCardBox"), KLeftWidth, cardsHeight);

    fModeText = Add<CVexilLabel>(QStringLiteral("fModeText"));
    fModeText->Move(KRightLeft, KMargin, KRightWidth, KCaptionHeight);
    QFont bold = fModeText->font();
    bold.setBold(true);
    fModeText->setFont(bold);

    constexpr float KCaptionWidth = 1500;
    frame = TwipsFrame(this, QStringLiteral("fNameFrame"), QStringLiteral("Name"), KRightLeft, KNameTop, KRightWidth,
                  KNameHeight);
    label(frame, QStringLiteral("fNameLabel"), QStringLiteral("Card name:"), KMargin, KFrameTop, KCaptionWidth);
    fName = Add<CVexilTextBox>(QStringLiteral("fName"), frame);
    fName->Move(KMargin + KCaptionWidth, KFrameTop, KRightWidth - KCaptionWidth - 2 * KMargin, KBoxHeight);

    constexpr float KFontCaption = 720;
    constexpr float KSampleWidth = 600;
    // The name box takes its whole row, for a face name with its attributes such as "DejaVu
    // Serif Bold"; the size box shares its row with Select...
    const float nameBox = KHalfWidth - KFontCaption - 2 * KMargin;
    const float sizeBox = nameBox - KMargin - KSmallButtonWidth;
    frame = TwipsFrame(this, QStringLiteral("fFontFrame"), QStringLiteral("Font"), KRightLeft, KFontTop, KHalfWidth,
                  KFontHeight);
    label(frame, QStringLiteral("fFontNameLabel"), QStringLiteral("Name:"), KMargin, KFrameTop, KFontCaption);
    fFontName = Add<CVexilTextBox>(QStringLiteral("fFontName"), frame);
    fFontName->Move(KMargin + KFontCaption, KFrameTop, nameBox, KBoxHeight);
    label(frame, QStringLiteral("fFontSizeLabel"), QStringLiteral("Size:"), KMargin, KFrameTop + KRow, KFontCaption);
    fFontSize = Add<CVexilTextBox>(QStringLiteral("fFontSize"), frame);
    fFontSize->Move(KMargin + KFontCaption, KFrameTop + KRow, sizeBox, KBoxHeight);
    label(frame, QStringLiteral("fFontColorLabel"), QStringLiteral("Color:"), KMargin, KFrameTop + 2 * KRow,
          KFontCaption);
    fFontColor = Add<CVexilLabel>(QStringLiteral("fFontColor"), frame);
    fFontColor->Move(KMargin + KFontCaption, KFrameTop + 2 * KRow, KSampleWidth, KBoxHeight);
    fFontColor->setFrameShape(QFrame::Box);
    fSelectFontBut = button(frame, QStringLiteral("fSelectFontBut"), QStringLiteral("Select..."),
                            KHalfWidth - KMargin - KSmallButtonWidth, KFrameTop + KRow, KSmallButtonWidth);

    frame = TwipsFrame(this, QStringLiteral("fColorFrame"), QStringLiteral("Color"), KRightHalfLeft, KFontTop, KHalfWidth,
                  KFontHeight);
    fColorSample = Add<CVexilLabel>(QStringLiteral("fColorSample"), frame);
    fColorSample->Move(KMargin, KFrameTop, KHalfWidth - 3 * KMargin - KSmallButtonWidth, 3 * KRow - 75);
    fColorSample->setFrameShape(QFrame::Box);
    fSelectColorBut = button(frame, QStringLiteral("fSelectColorBut"), QStringLiteral("Select..."),
                             KHalfWidth - KMargin - KSmallButtonWidth, KFrameTop, KSmallButtonWidth);
    fClearColorBut = button(frame, QStringLiteral("fClearColorBut"), QStringLiteral("Clear"),
                            KHalfWidth - KMargin - KSmallButtonWidth, KFrameTop + KRow + 60, KSmallButtonWidth);

    constexpr float KDateCaption = 1680;
    frame = TwipsFrame(this, QStringLiteral("fInfoFrame"), QStringLiteral("Info"), KRightLeft, KInfoTop, KInfoWidth,
                  KInfoHeight);
    label(frame, QStringLiteral("fCreDateLabel"), QStringLiteral("Creation date:"), KMargin, KFrameTop, KDateCaption);
    fCreDate = Add<CVexilTextBox>(QStringLiteral("fCreDate"), frame);
    fCreDate->Move(KMargin + KDateCaption, KFrameTop, KInfoWidth - KDateCaption - 2 * KMargin, KBoxHeight);
    label(frame, QStringLiteral("fModDateLabel"), QStringLiteral("Modification date:"), KMargin, KFrameTop + KRow,
          KDateCaption);
    fModDate = Add<CVexilTextBox>(QStringLiteral("fModDate"), frame);
    fModDate->Move(KMargin + KDateCaption, KFrameTop + KRow, KInfoWidth - KDateCaption - 2 * KMargin, KBoxHeight);
    fChanged = Add<CVexilCheckBox>(QStringLiteral("fChanged"), frame);
    fChanged->setText(QStringLiteral("Changed?"));
    fChanged->Move(KMargin, KFrameTop + 2 * KRow, KInfoWidth - 2 * KMargin, KBoxHeight);

    frame = TwipsFrame(this, QStringLiteral("fInsertPosFrame"), QStringLiteral("Insert position"), KInsertLeft, KInfoTop,
                  KInsertWidth, KInfoHeight);
    auto option = [this, frame](const QString& aName, const QString& aCaption, int aRow, float aWidth) {
        auto* result = Add<CVexilOptionButton>(aName, frame);
        result->setText(aCaption);
        result->Move(KMargin, KFrameTop + float(aRow) * KRow, aWidth, KBoxHeight);
        return result;
    };
    const float optionWidth = KInsertWidth - 2 * KMargin;
    fAtEnd = option(QStringLiteral("fAtEnd"), QStringLiteral("at the end"), 0, optionWidth);
    fBeforeCur = option(QStringLiteral("fBeforeCur"), QStringLiteral("before current card"), 1, optionWidth);
    fAfterCur = option(QStringLiteral("fAfterCur"), QStringLiteral("after current card"), 2, optionWidth);
    fBeforeSpec = option(QStringLiteral("fBeforeSpec"), QStringLiteral("before this card:"), 3, optionWidth);
    // The chosen card and its picker on the row below the option.
    constexpr float KPickWidth = 780;
    const float pickTop = KFrameTop + 4 * KRow - 60;
    fCardName = Add<CVexilTextBox>(QStringLiteral("fCardName"), frame);
    fCardName->Move(KMargin, pickTop, KInsertWidth - 3 * KMargin - KPickWidth, KBoxHeight);
    fSelectCardBut = button(frame, QStringLiteral("fSelectCardBut"), QStringLiteral("Select..."),
                            KInsertWidth - KMargin - KPickWidth, pickTop - 30, KPickWidth);

    frame = TwipsFrame(this, QStringLiteral("fControlFrame"), QStringLiteral("Fields and values"), KRightLeft, KValuesTop,
                  KRightWidth, KValuesHeight);
    fControlBox = listIn(frame, QStringLiteral("fControlBox"), KRightWidth, KValuesHeight);

    auto bottom = [&button, this](const QString& aName, const QString& aCaption, int aIndex) {
        return button(this, aName, aCaption, KRightLeft + float(aIndex) * (KButtonWidth + KButtonGap), KButtonTop,
                      KButtonWidth);
    };
    fNewBut = bottom(QStringLiteral("fNewBut"), QStringLiteral("New"), 0);
    fCreateBut = bottom(QStringLiteral("fCreateBut"), QStringLiteral("Create"), 1);
    fModifyBut = bottom(QStringLiteral("fModifyBut"), QStringLiteral("Modify"), 2);
    fDeleteBut = bottom(QStringLiteral("fDeleteBut"), QStringLiteral("Delete"), 3);
    fScriptBut = bottom(QStringLiteral("fScriptBut"), QStringLiteral("Script..."), 4);
    fHelpBut = bottom(QStringLiteral("fHelpBut"), QStringLiteral("Help"), 5);

    // Something dropped on the card list selects the line under it.
    fCardBox->viewport()->setAcceptDrops(true);
    fCardBox->viewport()->installEventFilter(this);
}

void CVexilCardEdit::ConnectEvents()
{
    auto on = [this](void (CVexilCardEdit::*aHandler)()) {
        return [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); };
    };
    connect(fBackgroundBox, &QTreeWidget::itemClicked, this, on(&CVexilCardEdit::BackgroundClicked));
    connect(fBackgroundBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilCardEdit::BackgroundDoubleClicked));
    connect(fCardBox, &QTreeWidget::itemClicked, this, on(&CVexilCardEdit::CardClicked));
    connect(fCardBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilCardEdit::CardDoubleClicked));
    connect(fControlBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilCardEdit::ControlDoubleClicked));
    connect(fNewBut, &QPushButton::clicked, this, on(&CVexilCardEdit::NewClicked));
    connect(fCreateBut, &QPushButton::clicked, this, on(&CVexilCardEdit::CreateClicked));
    connect(fModifyBut, &QPushButton::clicked, this, on(&CVexilCardEdit::ModifyClicked));
    connect(fDeleteBut, &QPushButton::clicked, this, on(&CVexilCardEdit::DeleteClicked));
    connect(fSelectCardBut, &QPushButton::clicked, this, on(&CVexilCardEdit::SelectCardClicked));
    connect(fSelectFontBut, &QPushButton::clicked, this, on(&CVexilCardEdit::SelectFontClicked));
    connect(fSelectColorBut, &QPushButton::clicked, this, on(&CVexilCardEdit::SelectColorClicked));
    connect(fClearColorBut, &QPushButton::clicked, this, on(&CVexilCardEdit::ClearColorClicked));
    connect(fScriptBut, &QPushButton::clicked, this, on(&CVexilCardEdit::ScriptClicked));
    connect(fHelpBut, &QPushButton::clicked, this, [] { CVexilLowLevelUi::ShowHelp(KClassName); });
    // The box shows the card's flag: whatever changes it is set back.
    connect(fChanged, &QCheckBox::toggled, this, [this] { Guarded([this] { ShowChangedFlag(); }); });
    CheckOnLeave(fName, [this] { NameLeft(); });
}

void CVexilCardEdit::Load()
{
    iLoading = true;
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundBox);
    iBackgroundList.Define1Column(QStringLiteral("Name"));
    iCardList.SetBaseObj(fCardBox);
    iCardList.Define1Column(QStringLiteral("Card Name"));
    iControlList.SetBaseObj(fControlBox);
    iControlList.DefineColumnsFrac({QStringLiteral("Name"), QStringLiteral("Current Value")}, {0.3F, 0.7F});
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    if (iBackgroundList.NumLines() > 0)
    {
        iBackgroundList.SetSelIndex(0);
        ShowBackgroundCards();
    }
    SetMode(EModeNone);
    fBackgroundBox->SetForeColor(KBackgroundColor);
    fCardBox->SetForeColor(KCardColor);
    fCardName->SetForeColor(KCardColor);
    fControlBox->SetForeColor(KFieldColor);
    CVexilDialogLib::ShowColor(*fColorSample, UndefLong);
    iBeforeCardId = UndefLong;
    fCardName->clear();
    iLoading = false;
}

// ---- lists and modes

void CVexilCardEdit::ShowBackgroundCards(const CVexilCard* aLeaveOut)
{
    // Without a stack the one line carries no background.
    iBackground = As<CVexilControlSet>(iBackgroundList.SelObj());
    if (!iBackground)
    {
        iKeptSorted = false;
        iCardList.ClearAndShow();
    }
    else
    {
        iKeptSorted = iBackground->Flag(ECseKeepCardsSorted);
        CVexilDialogLib::FillCardList(iCardList, *iBackground, aLeaveOut);
    }
    SetMode(EModeNone);
}

void CVexilCardEdit::ShowCard(const TCardRef& aCard)
{
    iCard = aCard;
    iBusy = true;
    fName->setText(aCard->Name());
    iFont = aCard->Font();
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
    iBackColor = aCard->BackColor();
    CVexilDialogLib::ShowColor(*fColorSample, iBackColor);
    fCreDate->setText(CVexilCardInfo::StampText(aCard->CreDate(), aCard->CreTime()));
    fModDate->setText(CVexilCardInfo::StampText(aCard->ModDate(), aCard->ModTime()));
    fChanged->setChecked(aCard->Changed());
    iControlList.Clear();
    if (iBackground)
        for (const TValueLine& line : CVexilCardInfo::ValueLines(*aCard, *iBackground))
            iControlList.AddLine(line.Line, line.Field);
    iBusy = false;
    iControlList.Show();
    SetMode(EModeModify);
}

void CVexilCardEdit::SetMode(int32_t aMode)
{
    if (aMode != EModeNone && aMode != EModeModify && aMode != EModeNew)
    {
        CVexilError::Assert(false, QStringLiteral("SetMode aMode ") + QString::number(aMode));
        return;
    }
    iMode = aMode;
    // Without a background there is nothing to make a card of.
    fNewBut->SetEnabled(iBackground != nullptr);
    fCreateBut->SetEnabled(aMode == EModeNew && iBackground);
    fModifyBut->SetEnabled(aMode == EModeModify);
    fDeleteBut->SetEnabled(aMode == EModeModify);
    fSelectFontBut->SetEnabled(aMode != EModeNone);
    fSelectCardBut->SetEnabled(aMode != EModeNone);

    CVexilDialogLib::SetEditable(*fName, aMode != EModeNone, false);
    const bool placeable = aMode == EModeNew && !iKeptSorted;
    for (CVexilOptionButton* option : {fAtEnd, fBeforeCur, fAfterCur, fBeforeSpec})
        CVexilDialogLib::SetEditable(*option, placeable, false);
    for (CVexilTextBox* box : {fFontName, fFontSize, fCardName, fCreDate, fModDate})
        CVexilDialogLib::SetEditable(*box, false, false);
    CVexilDialogLib::SetEditable(*fChanged, false, false);

    switch (aMode)
    {
    case EModeNone:
        if (isActiveWindow() && !iLoading)
            fCardBox->setFocus(Qt::OtherFocusReason);
        ClearInputs();
        iCard = nullptr;
        fModeText->clear();
        break;
    case EModeModify:
        if (!iKeptSorted)
            fAtEnd->setChecked(true);
        fModeText->setText(iCard ? iCard->Name() : QString());
        fName->setFocus(Qt::OtherFocusReason);
        break;
    default:
        ClearInputs();
        if (!iKeptSorted)
            fAtEnd->setChecked(true);
        iFont = nullptr;
        iBackColor = UndefLong;
        fModeText->setText(QStringLiteral("<new \"") + (iBackground ? iBackground->Name() : QString()) +
                           QStringLiteral("\">"));
        fName->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void CVexilCardEdit::ClearInputs()
{
    iBusy = true;
    fName->clear();
    CVexilDialogLib::ShowFont(nullptr, *fFontName, *fFontSize, *fFontColor);
    CVexilDialogLib::ShowColor(*fColorSample, UndefLong);
    fCreDate->clear();
    fModDate->clear();
    fChanged->setChecked(false);
    iControlList.ClearAndShow();
    iBusy = false;
}

void CVexilCardEdit::ShowChangedFlag()
{
    if (iBusy)
        return;
    iBusy = true;
    fChanged->setChecked(iCard && iCard->Changed());
    iBusy = false;
}

void CVexilCardEdit::RefillLists(const CVexilCard* aLeaveOut)
{
    SetMode(EModeNone);
    const QString selected = iBackgroundList.SelLine();
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    if (iBackgroundList.NumLines() > 0)
        iBackgroundList.SetSelIndexByLine(selected);
    ShowBackgroundCards(aLeaveOut);
}

void CVexilCardEdit::ForgetBeforeCard(const CVexilCard* aDeleting)
{
    if (iBeforeCardId == UndefLong)
        return;
    const TCardRef chosen = gStack ? gStack->GetCardById(iBeforeCardId) : nullptr;
    if (chosen && chosen.get() != aDeleting)
        return;
    iBeforeCardId = UndefLong;
    fCardName->clear();
    if (fBeforeSpec->isChecked())
        fAtEnd->setChecked(true);
}

int32_t CVexilCardEdit::InsertPos() const
{
    if (fAtEnd->isChecked())
        return EInsertAtEnd;
    if (fBeforeCur->isChecked())
        return EInsertBeforeCur;
    if (fAfterCur->isChecked())
        return EInsertAfterCur;
    return fBeforeSpec->isChecked() ? EInsertBeforeSpec : EInsertNone;
}

// ---- checks of the input

void CVexilCardEdit::Refocus(QWidget* aInput)
{
    iRefocusing = true;
    aInput->setFocus(Qt::OtherFocusReason);
    iRefocusing = false;
}

void CVexilCardEdit::NameLeft()
{
    // A read-only box is not examined: the user can always leave it.
    if (iRefocusing || fName->isReadOnly())
        return;
    bool bad = false;
    CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), fName->text(), bad);
    if (bad)
        Refocus(fName);
}

bool CVexilCardEdit::CheckName()
{
    const QString name = fName->text();
    bool bad = name.isEmpty();
    if (bad)
        CVexilMsg::Show(EMsgEmptyName, EMsgClsCritical, QStringLiteral("card"));
    else
        CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), name, bad);
    if (bad)
        Refocus(fName);
    return !bad;
}

// ---- handlers

void CVexilCardEdit::BackgroundClicked()
{
    ShowBackgroundCards();
}

void CVexilCardEdit::BackgroundDoubleClicked()
{
    const auto background = As<CVexilControlSet>(iBackgroundList.SelObj());
    CVexilForm* editor = CVexilWinMan::NameToForm(kBackgroundEdit);
    if (!background || !gStack || gStack->Background(background->Id()) != background || !editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    QMetaObject::invokeMethod(editor, "SetAndShowBackground", Q_ARG(TControlSetRef, background));
}

TCardRef CVexilCardEdit::SelectedCard() const
{
    const auto card = As<CVexilCard>(iCardList.SelObj());
    if (!card || !gStack || !gStackView || !CVexilCardWriter(*gStack, *gStackView).Holds(card))
        return nullptr;
    return card;
}

void CVexilCardEdit::CardClicked()
{
    if (const TCardRef card = SelectedCard())
        ShowCard(card);
}

void CVexilCardEdit::CardDoubleClicked()
{
    if (const TCardRef card = SelectedCard())
    {
        gStackView->GoToCard(card);
        gStackView->SetFocusToCardView();
    }
}

void CVexilCardEdit::ControlDoubleClicked()
{
    const TControlSetRef background = iBackground;
    const auto field = As<CVexilControl>(iControlList.SelObj());
    TControlRef own;
    if (!field || !background || !gStack || gStack->Background(background->Id()) != background ||
        !background->GetControl(field->Id(), own) || own != field)
        return;
    auto* editor = qobject_cast<CVexilControlEdit*>(CVexilWinMan::NameToForm(CVexilControlEdit::KClassName));
    if (!editor)
        return;
    CVexilWinMan::ShowForm(*editor);
    editor->SetAndShowControl(background, field);
}

void CVexilCardEdit::NewClicked()
{
    if (!iBackground)
        return;
    SetMode(EModeNew);
}

void CVexilCardEdit::CreateClicked()
{
    // Taken now: the broadcast yields, and the window may show others meanwhile.
    const TStackRef stack = gStack;
    const TStackViewRef stackView = gStackView;
    const TControlSetRef background = iBackground;
    if (iMode != EModeNew || !stack || !stackView || !background || !CheckName())
        return;
    CVexilCardWriter writer(*stack, *stackView);
    const TCardRef before = writer.CardToInsertBefore(iKeptSorted, InsertPos(), iBeforeCardId);
    const TCardRef card = writer.Create(background, {fName->text(), iFont, iBackColor}, before);
    if (!card)
        return;
    SetMode(EModeNone);
    stackView->GoToCard(card);
    CVexilWinMan::NotifyAll(EChgCards, card);
}

void CVexilCardEdit::ModifyClicked()
{
    const TStackRef stack = gStack;
    const TStackViewRef stackView = gStackView;
    const TCardRef card = iCard;
    if (iMode != EModeModify || !stack || !stackView || !card || !CheckName())
        return;
    if (!CVexilCardWriter(*stack, *stackView).Modify(card, {fName->text(), iFont, iBackColor}))
        return;
    SetMode(EModeNone);
    CVexilWinMan::NotifyAll(EChgCards, card);
}

void CVexilCardEdit::DeleteClicked()
{
    // The broadcast runs this window's own ChangeNotify, which forgets the card shown.
    const TStackRef stack = gStack;
    const TStackViewRef stackView = gStackView;
    const TCardRef card = iCard;
    if (iMode != EModeModify || !stack || !stackView || !card || !CVexilCardWriter(*stack, *stackView).Holds(card))
        return;
    CVexilWinMan::NotifyAll(EChgDeletingCard, card);
    // The stack may have been closed meanwhile.
    if (gStack == stack && gStackView == stackView)
        CVexilCardWriter(*stack, *stackView).Delete(card);
    SetMode(EModeNone);
}

void CVexilCardEdit::ScriptClicked()
{
    const TCardRef card = iCard;
    if (iMode == EModeModify && card && gStack && gStackView && CVexilCardWriter(*gStack, *gStackView).Holds(card))
        CVexilScriptEdit::EditScript(card);
}

void CVexilCardEdit::SelectCardClicked()
{
    CVexilCardSelect::Instance()->SelectCard(this, nullptr, 0);
}

void CVexilCardEdit::SelectFontClicked()
{
    CVexilFontSelect* picker = CVexilFontSelect::Instance();
    CVexilWinMan::ShowForm(*picker);
    picker->SelectFont(this, 0, ELevelCard, iBackground, iMode == EModeModify ? iCard : nullptr, nullptr, iFont.get());
}

void CVexilCardEdit::SelectColorClicked()
{
    CVexilDialogLib::SelectColor(*fColorSample, iBackColor);
}

void CVexilCardEdit::ClearColorClicked()
{
    iBackColor = UndefLong;
    CVexilDialogLib::ShowColor(*fColorSample, iBackColor);
}

bool CVexilCardEdit::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == fCardBox->viewport())
        switch (aEvent->type())
        {
        case QEvent::DragEnter:
        case QEvent::DragMove: static_cast<QDropEvent*>(aEvent)->acceptProposedAction(); return true;
        case QEvent::Drop:
            Guarded([this, aEvent] {
                auto* drop = static_cast<QDropEvent*>(aEvent);
                if (QTreeWidgetItem* item = fCardBox->itemAt(drop->position().toPoint()))
                    fCardBox->setCurrentItem(item);
                drop->acceptProposedAction();
            });
            return true;
        default: break;
        }
    return CVexilManagedForm::eventFilter(aWatched, aEvent);
}

// ---- the public members

void CVexilCardEdit::SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetFont aCase"));
        return;
    }
    iFont = aFont;
    CVexilDialogLib::ShowFont(iFont.get(), *fFontName, *fFontSize, *fFontColor);
}

void CVexilCardEdit::SetCard(const TCardRef& aCard, int16_t aCase)
{
    if (aCase != 0)
    {
        CVexilError::Assert(false, QStringLiteral("SetCard aCase"));
        return;
    }
    if (!aCard)
        return;
    fCardName->setText(aCard->Name());
    iBeforeCardId = aCard->Id();
}

void CVexilCardEdit::SetAndShowCard(const TCardRef& aCard)
{
    Guarded([this, aCard] {
        if (!aCard || !gStack || aCard->Stack() != gStack.get())
            return;
        iBackgroundList.SetSelIndexByObj(aCard->Background().get());
        ShowBackgroundCards();
        DoEvents();
        // The card may have gone while the window yielded.
        if (!gStack || !gStackView || !CVexilCardWriter(*gStack, *gStackView).Holds(aCard) ||
            aCard->BackgroundId() != (iBackground ? iBackground->Id() : UndefLong))
            return;
        iCardList.SetSelIndexByObj(aCard.get());
        ShowCard(aCard);
    });
}

void CVexilCardEdit::NewCard(const TControlSetRef& aBackground)
{
    Guarded([this, aBackground] {
        iBackgroundList.SetSelIndexByObj(aBackground.get());
        ShowBackgroundCards();
        DoEvents();
        if (iBackground)
            SetMode(EModeNew);
    });
}

void CVexilCardEdit::ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent, aObj0] {
        switch (aEvent)
        {
        case EChgStructure:
        case EChgValueType:
        case EChgCards:
        case EChgDeletingCard:
        {
            // No list offers a card that is being deleted.
            const auto deleting = aEvent == EChgDeletingCard ? As<CVexilCard>(aObj0) : nullptr;
            RefillLists(deleting.get());
            ForgetBeforeCard(deleting.get());
            break;
        }
        case EChgClosingStack: UnloadForm(); break;
        default: break;
        }
    });
}
