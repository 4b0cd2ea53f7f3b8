#include "editors/VexilCardSelect.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilPrompts.h"
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
constexpr float KClientWidth = 4440;
constexpr float KClientHeight = 5070;
constexpr float KMargin = 120;
constexpr float KInnerWidth = KClientWidth - 2 * KMargin;
constexpr float KButtonWidth = 1215;
constexpr float KButtonHeight = 375;

constexpr int32_t KBackgroundColor = 204 << 16;        // RGB(0, 0, 204)
constexpr int32_t KCardColor = 204 | (102 << 8);       // RGB(204, 102, 0)

// What the picker answers with; it outlives the window, whose next opening starts with it.
struct TAnswerState
{
    TVexilPickerCaller<IVexilCardSelectCaller> iCaller;
    int16_t iCase = 0;
    std::weak_ptr<CVexilCard> iCard;
};

TAnswerState& State()
{
    static TAnswerState state;
    return state;
}

// The card chosen while it is still a card of the current stack, else none.
TCardRef ChosenCard()
{
    const TCardRef card = State().iCard.lock();
    if (!card || !gStack || gStack->GetCardById(card->Id()) != card)
        return nullptr;
    return card;
}
}  // namespace

CVexilCardSelect::CVexilCardSelect() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Select Card"));
    const int width = CVexilCtl::TwipsToPixels(KClientWidth);
    const int height = CVexilCtl::TwipsToPixels(KClientHeight);
    setFixedSize(width, height);

    auto* frame = new QGroupBox(QStringLiteral("Background"), this);
    frame->setGeometry(CVexilCtl::TwipsToPixels(KMargin), CVexilCtl::TwipsToPixels(60),
                       CVexilCtl::TwipsToPixels(KInnerWidth), CVexilCtl::TwipsToPixels(735));
    fBackgroundCombo = Add<CVexilComboBox>(QStringLiteral("fBackgroundCombo"), frame);
    fBackgroundCombo->Move(KMargin, 285, KInnerWidth - 2 * KMargin, 315);

    fCardBox = Add<CVexilListView>(QStringLiteral("fCardBox"));
    fCardBox->Move(KMargin, 915, KInnerWidth, 3525);

    fSelectBut = Add<CVexilCommandButton>(QStringLiteral("fSelectBut"));
    fSelectBut->setText(QStringLiteral("Select"));
    fSelectBut->Move(KClientWidth - KMargin - KButtonWidth, 4560, KButtonWidth, KButtonHeight);

    iBackgroundList.Construct(ELisCombo);
    iCardList.Construct(ELisSingle);

    connect(fBackgroundCombo, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { BackgroundChosen(); }); });
    connect(fCardBox, &QTreeWidget::itemSelectionChanged, this, [this] { Guarded([this] { CardSelected(); }); });
    connect(fCardBox, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded([this] { Answer(); }); });
    connect(fSelectBut, &QPushButton::clicked, this, [this] { Guarded([this] { Answer(); }); });
}

CVexilCardSelect::~CVexilCardSelect()
{
    // The lists point at widgets that go with the window.
    iBackgroundList.SetBaseObj(nullptr);
    iCardList.SetBaseObj(nullptr);
}

void CVexilCardSelect::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCardSelect; });
}

CVexilCardSelect* CVexilCardSelect::Instance()
{
    if (!CVexilFormRegistry::IsRegistered(KClassName))
        Register();
    return static_cast<CVexilCardSelect*>(CVexilFormRegistry::NameToForm(KClassName));
}

void CVexilCardSelect::Load()
{
    SetUp();
}

void CVexilCardSelect::SetUp()
{
    if (iBusy || iInitialised)
        return;
    iBusy = true;
    CVexilFormPlacement::Restore(*this);
    iBackgroundList.SetBaseObj(fBackgroundCombo);
    CVexilDialogLib::FillBackgroundList(iBackgroundList, gStack.get(), QString(), nullptr);
    CVexilLowLevelUi::SizeComboDropDown(fBackgroundCombo);
    iCardList.SetBaseObj(fCardBox);
    iCardList.Define1Column(QStringLiteral("Name"));
    if (iBackgroundList.NumLines() > 0)
        iBackgroundList.SetSelIndex(0);
    UpdateSelectBut();
    fBackgroundCombo->SetForeColor(KBackgroundColor);
    fCardBox->SetForeColor(KCardColor);
    iBusy = false;
    iInitialised = true;
}

void CVexilCardSelect::SelectCard(IVexilCardSelectCaller* aCaller, const TControlSetRef& aBackground, int16_t aCase)
{
    if (!iInitialised)
    {
        SetUp();
        DoEvents();
    }
    CVexilWinMan::ShowForm(*this);
    State().iCaller.Set(aCaller);
    State().iCase = aCase;
    int32_t index = -1;
    if (aBackground && iBackgroundList.GetObjIndex(aBackground.get(), index))
        iBackgroundList.SetSelIndex(index);
    CVexilDialogLib::SetEditable(*fBackgroundCombo, !aBackground, false);
    UpdateSelectBut();
}

void CVexilCardSelect::BackgroundChosen()
{
    const TControlSetRef chosen = std::dynamic_pointer_cast<CVexilControlSet>(iBackgroundList.SelObj());
    if (chosen != iBackground)
        State().iCard.reset();
    iBackground = chosen;
    iFillingCards = true;
    if (iBackground)
    {
        CVexilDialogLib::FillCardList(iCardList, *iBackground);
        // The line selected is the card Select hands over, or none.
        int32_t index = -1;
        const TCardRef card = ChosenCard();
        iCardList.SetSelIndex(card && iCardList.GetObjIndex(card.get(), index) ? index : -1);
    }
    else
    {
        iCardList.ClearAndShow();
    }
    iFillingCards = false;
    UpdateSelectBut();
}

void CVexilCardSelect::CardSelected()
{
    if (iFillingCards)
        return;
    State().iCard = std::dynamic_pointer_cast<CVexilCard>(iCardList.SelObj());
    UpdateSelectBut();
}

void CVexilCardSelect::Answer()
{
    IVexilCardSelectCaller* caller = State().iCaller.Get();
    const TCardRef card = ChosenCard();
    if (caller && card)
    {
        caller->SetCard(card, State().iCase);
        if (CVexilForm* form = State().iCaller.Form())
            CVexilWinMan::ShowForm(*form);
    }
    UpdateSelectBut();
}

void CVexilCardSelect::UpdateSelectBut()
{
    fSelectBut->SetEnabled(State().iCaller.Get() && ChosenCard());
}

void CVexilCardSelect::ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/)
{
    if (aEvent == EChgClosingStack)
    {
        // Nothing of the stack being closed may be handed over, nor to its windows.
        State().iCard.reset();
        State().iCaller.Clear();
        UnloadForm();
        return;
    }
    if (aEvent == EChgDeletingCard && aObj0 && aObj0 == State().iCard.lock())
        State().iCard.reset();
    UpdateSelectBut();
}

void CVexilCardSelect::Unloading()
{
    iInitialised = false;
}

void CVexilCardSelect::Activated()
{
    UpdateSelectBut();
}
