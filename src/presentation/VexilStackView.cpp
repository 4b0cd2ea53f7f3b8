#include "presentation/VexilStackView.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "platform/VexilAreaFit.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackViewWindows.h"
#include "script/VexilInterpreter.h"

#include <exception>

TStackRef gStack;
TStackViewRef gStackView;

namespace
{
// The card window when it is loaded; never loads it.
CVexilGenForm* LoadedCardWindow()
{
    return static_cast<CVexilGenForm*>(CVexilFormRegistry::Loaded(CVexilGenForm::KClassName));
}

IVexilStackViewWindows& Windows()
{
    return CVexilStackViewWindows::Current();
}
}  // namespace

// ---- state, windows and views

CVexilStackView::~CVexilStackView()
{
    Unwatch();
}

void CVexilStackView::Contruct(const QString& aName)
{
    auto rec = std::make_shared<CVexilStackViewRec>();
    rec->Contruct(aName);
    ContructOnRec(rec);
}

void CVexilStackView::ContructOnRec(const TStackViewRecRef& aRec)
{
    iRec = aRec;
    iRec->SetCardViewOpen(false);
    iRec->SetCardListOpen(false);
    Unwatch();
    iStack.reset();
    iCardView.reset();
    iCardListView.reset();
    iHistory.fill(nullptr);
    iHistIndex = 0;
    iHistCount = 0;
    DropCurCard();
}

QString CVexilStackView::ObjDescr() const
{
    return QStringLiteral("CVexilStackView name=") + Name();
}

bool CVexilStackView::GetCurCard(TCardRef& aCard) const
{
    aCard = iCurCard;
    return aCard != nullptr;
}

bool CVexilStackView::InStack(const TCardRef& aCard) const
{
    return aCard && iStack && aCard->Stack() == iStack.get() && iStack->GetCardById(aCard->Id()) == aCard;
}

void CVexilStackView::SetStack(const TStackRef& aStack)
{
    Unwatch();
    iStack = aStack;
    if (iStack)
        iStack->SetOrderWatch(this);
    iRec->MarkClosed();
}

void CVexilStackView::Unwatch()
{
    if (iStack && iStack->OrderWatch() == this)
        iStack->SetOrderWatch(nullptr);
}

void CVexilStackView::OpenCardView()
{
    if (CardViewOpen())
        return;
    if (!iCardView)
    {
        iCardView = std::make_shared<CVexilCardView>();
        iCardView->Construct(iStack, CVexilGenForm::KClassName);
    }
    CVexilGenForm::Instance()->show();
    iRec->SetCardViewOpen(true);
    TCardRef first;
    if (!OrderFirst(first))
        iCardView->Clear();
    // The window shows the whole of the first card, as far as the document area allows.
    CVexilAreaFit::Fit(*CVexilGenForm::Instance());
    DoEvents();
}

void CVexilStackView::CloseCardView(bool aFormCloses)
{
    if (!CardViewOpen())
        return;
    const TCardRef card = iCurCard;
    LeaveCurCard();
    UpdateRect();
    if (CVexilGenForm* form = LoadedCardWindow())
        form->hide();
    if (aFormCloses && card)
        iCardView->PrepareClose(card);
    iRec->SetCardViewOpen(false);
}

void CVexilStackView::OpenCardList()
{
    if (CardListOpen())
        return;
    if (!iCardListView)
    {
        iCardListView = Windows().NewCardListView(iStack);
        if (!iCardListView)
            return;
    }
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString(), UndefInt, UndefLong);
    font->AddFont(iStack->ListFont().get());
    font->SetDefaults();
    iCardListView->CardBox().SetFont(font);
    if (!iRefreshingList)
    {
        Windows().ShowForm(IVexilStackViewWindows::KCardListForm);
        iCardListView->CardBox().Resize();
    }
    iCardListView->FillAndShowCardList(iRefreshingList);
    iRec->SetCardListOpen(true);
}

void CVexilStackView::CloseCardList()
{
    if (!CardListOpen())
        return;
    UpdateRect();
    Windows().UnloadCardList();
    iCardListView.reset();
    iRec->SetCardListOpen(false);
}

void CVexilStackView::Release()
{
    // The pictures of the card shown go back to this stack's store before its window goes,
    // so that nothing of this stack reaches the next one's.
    const TCardRef shown = iCurCard;
    CloseCardView(false);
    CloseCardList();
    if (LoadedCardWindow())
    {
        if (iCardView)
            iCardView->PrepareClose(shown);
        CVexilFormRegistry::Unload(CVexilGenForm::KClassName);
    }
    Windows().UnloadCardList();
    DoEvents();
}

void CVexilStackView::UpdateRect()
{
    if (CardViewOpen())
        if (const CVexilGenForm* form = LoadedCardWindow())
            iRec->SetCardViewRect(CVexilLibUi::GetCtlRect(*form));
    if (CardListOpen() && iCardListView)
        if (const CVexilForm* form = iCardListView->Form())
            iRec->SetCardListRect(CVexilLibUi::GetCtlRect(*form));
}

void CVexilStackView::RefreshViews(bool aRefreshCardView, bool aRefreshCardList)
{
    if (aRefreshCardView && CardViewOpen() && iCurCard)
    {
        iCardView->ResetCurSet();
        ShowCurCard();
    }
    if (aRefreshCardList && CardListOpen())
    {
        iRec->SetCardListOpen(false);
        iRefreshingList = true;
        OpenCardList();
        iRefreshingList = false;
    }
}

void CVexilStackView::BaseFormResize()
{
    if (!iCurCard || !iCardView)
        return;
    const TControlSetRef background = iCurCard->Background();
    if (iCardView->CurSet() != background || !background)
    {
        // Nothing laid out for this card yet: show it whole.
        ShowCurCard();
        return;
    }
    // The same background: colours and wallpaper follow the new size; the widgets keep what
    // they show, typing included.
    const bool showing = iShowingValues;
    iShowingValues = true;
    try
    {
        iCardView->AssignControlSet(iCurCard, background);
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(QStringLiteral("BaseFormResize"), e);
        CVexilMsg::ShowError();
    }
    iShowingValues = showing;
}

void CVexilStackView::GoToSelectedCard()
{
    const TCardRef card =
        iCardListView ? std::dynamic_pointer_cast<CVexilCard>(iCardListView->CardBox().SelObj()) : nullptr;
    // A line of a card deleted since the list was filled: the list is out of date.
    if (card && !InStack(card))
    {
        iCardListView->FillAndShowCardList(true);
        return;
    }
    OpenCardView();
    GoToCard(card);
}

void CVexilStackView::ResizeCardList()
{
    if (CardListOpen() && iCardListView)
        iCardListView->CardBox().Resize();
}

void CVexilStackView::SetFocusToCardView()
{
    OpenCardView();
    CVexilGenForm::Instance()->Activate();
}

void CVexilStackView::BaseFormLostFocus()
{
    LeaveCurObj();
}

// ---- showing cards, history and navigation

void CVexilStackView::DropCurCard()
{
    iCurCard.reset();
    iCurObj = nullptr;
    iCurObjChanged = false;
}

void CVexilStackView::LeaveCurCard()
{
    if (iCurCard)
        LeaveCurObj();
    DropCurCard();
}

void CVexilStackView::GoToCard(const TCardRef& aCard)
{
    if (!InStack(aCard))
        return;
    ShowCard(aCard);
    AddToHistory(aCard);
}

void CVexilStackView::ShowCard(const TCardRef& aCard)
{
    if (aCard == iCurCard)
        return;
    LeaveCurCard();
    DoEvents();
    iCurCard = aCard;
    ShowCurCard();
    ExecScript(aCard, QStringLiteral("openCard"));
    if (iCurCard && iCardView)
        if (const TControlRef focused = iCardView->FocusControl())
            BaseObjGotFocus(focused->BaseControl());
}

void CVexilStackView::ShowCurCard()
{
    const TCardRef card = iCurCard;
    if (!card || !iCardView)
        return;
    iShowingValues = true;
    try
    {
        iCardView->AssignControlSet(card, card->Background());
        DoEvents();
        iCardView->ShowValues(card);
        ShowTitle();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(QStringLiteral("ShowCurCard"), e);
        iShowingValues = false;
        CVexilMsg::ShowError();
        return;
    }
    iShowingValues = false;
}

void CVexilStackView::ShowTitle()
{
    if (!iCurCard || !iCardView)
        return;
    WriteTitle();
    DoEvents();
}

void CVexilStackView::WriteTitle()
{
    // A current card on its way out of the stack has no position; its successor's showing
    // writes the title.
    if (!iCardView || !InStack(iCurCard))
        return;
    int32_t index = 0;
    int32_t numCards = 0;
    iStack->GetCardIndex(*iCurCard, index, numCards);
    iCardView->SetTitle(iCurCard->Name() + QStringLiteral(" - ") + QString::number(index + 1) +
                        QStringLiteral(" of ") + QString::number(numCards));
}

void CVexilStackView::CardOrderChanged()
{
    WriteTitle();
}

void CVexilStackView::AddToHistory(const TCardRef& aCard)
{
    if (iHistCount > 0 && iHistory[size_t(iHistCount - 1)] == aCard)
        return;
    if (iHistCount > 0)
    {
        for (int16_t i = int16_t(iHistIndex + 1); i < iHistCount; ++i)
            iHistory[size_t(i)].reset();
        iHistCount = int16_t(iHistIndex + 1);
    }
    if (iHistCount == KMaxHist)
    {
        std::move(iHistory.begin() + 1, iHistory.begin() + KMaxHist, iHistory.begin());
        iHistory[size_t(KMaxHist - 1)].reset();
        iHistCount = KMaxHist - 1;
    }
    iHistory[size_t(iHistCount)] = aCard;
    iHistIndex = iHistCount;
    ++iHistCount;
    CVexilError::Assert(iHistIndex < iHistCount, QStringLiteral("iHistIndex"));
}

bool CVexilStackView::HistoryPrev(TCardRef& aCard)
{
    aCard.reset();
    if (iHistCount == 0 || iHistIndex == 0 || iHistIndex >= iHistCount)
        return false;
    --iHistIndex;
    aCard = iHistory[size_t(iHistIndex)];
    if (aCard == iCurCard && iHistIndex > 0)
    {
        --iHistIndex;
        aCard = iHistory[size_t(iHistIndex)];
    }
    CVexilError::Assert(iHistIndex < iHistCount, QStringLiteral("iHistIndex"));
    ShowCard(aCard);
    return true;
}

bool CVexilStackView::HistoryNext(TCardRef& aCard)
{
    aCard.reset();
    if (iHistCount == 0 || iHistIndex >= iHistCount - 1)
        return false;
    ++iHistIndex;
    aCard = iHistory[size_t(iHistIndex)];
    if (aCard == iCurCard && iHistIndex < iHistCount - 1)
    {
        ++iHistIndex;
        aCard = iHistory[size_t(iHistIndex)];
    }
    CVexilError::Assert(iHistIndex < iHistCount, QStringLiteral("iHistIndex"));
    ShowCard(aCard);
    return true;
}

bool CVexilStackView::OrderFirst(TCardRef& aCard)
{
    if (!iStack->OrderFirst(aCard))
        return false;
    GoToCard(aCard);
    return true;
}

bool CVexilStackView::OrderLast(TCardRef& aCard)
{
    if (!iStack->OrderLast(aCard))
        return false;
    GoToCard(aCard);
    return true;
}

bool CVexilStackView::OrderNext(TCardRef& aCard)
{
    aCard.reset();
    if (!iCurCard || !iStack->OrderNext(*iCurCard, aCard))
        return false;
    GoToCard(aCard);
    return true;
}

bool CVexilStackView::OrderPrev(TCardRef& aCard)
{
    aCard.reset();
    if (!iCurCard || !iStack->OrderPrev(*iCurCard, aCard))
        return false;
    GoToCard(aCard);
    return true;
}

// ---- card and background operations

void CVexilStackView::AddCard(const TCardRef& aCard, const TCardRef& aBeforeCard)
{
    TCardRef before = aBeforeCard;
    iStack->AddCard(aCard, before, true);
    if (iCurCard)
        iCurCard->UpdateCardLists();
    RefreshViews(true, true);
}

void CVexilStackView::RemoveFromHistory(const CVexilCard& aCard)
{
    int16_t i = 0;
    while (i < iHistCount)
    {
        if (iHistory[size_t(i)].get() != &aCard)
        {
            ++i;
            continue;
        }
        if (iHistIndex > i || (iHistIndex == i && iHistIndex > 0))
            --iHistIndex;
        std::move(iHistory.begin() + i + 1, iHistory.begin() + iHistCount, iHistory.begin() + i);
        --iHistCount;
        iHistory[size_t(iHistCount)].reset();
    }
}

void CVexilStackView::DeleteCard(const TCardRef& aCard, const TControlSetRef& aAvoidBackground)
{
    // A copy: the caller may hand in iCurCard itself, which changes on the way.
    const TCardRef card = aCard;
    const bool ours = card && card->Stack() == iStack.get();
    CVexilError::CheckFailed(ours, this, QStringLiteral("DeleteCard"), QStringLiteral("stack"));
    if (!ours)
        return;
    RemoveFromHistory(*card);
    if (card == iCurCard)
    {
        const TCardRef next = CardViewOpen() ? FindNextCardAvoiding(aAvoidBackground.get()) : nullptr;
        if (next)
            GoToCard(next);
        else
            DropCurCard();
    }
    if (!iCurCard && CardViewOpen())
        iCardView->Clear();
    TCardRef doomed = card;
    iStack->DeleteCard(doomed);
    if (CardListOpen())
        iCardListView->FillAndShowCardList(true);
    iStack->SetCardListsDirty(nullptr);
    if (iCurCard)
        iCurCard->UpdateCardLists();
}

TCardRef CVexilStackView::FindNextCardAvoiding(const CVexilControlSet* aBackground) const
{
    const auto avoided = [aBackground](const CVexilCard& aCard) {
        return aBackground && aCard.BackgroundId() == aBackground->Id();
    };
    if (!iCurCard)
        return nullptr;
    TCardRef card = iCurCard;
    TCardRef next;
    while (iStack->OrderNext(*card, next))
    {
        if (!avoided(*next))
            return next;
        card = next;
    }
    bool found = iStack->OrderFirst(card);
    while (found)
    {
        if (card != iCurCard && !avoided(*card))
            return card;
        found = iStack->OrderNext(*card, next);
        card = next;
    }
    return nullptr;
}

void CVexilStackView::DeleteBackground(const TControlSetRef& aBackground, bool aCardsOnly)
{
    if (iCurCard && iCurCard->BackgroundId() == aBackground->Id())
        DeleteCard(iCurCard, aBackground);
    // Every card of the background goes, so none may stay in the history.
    for (int16_t i = 0; i < iHistCount;)
    {
        const TCardRef entry = iHistory[size_t(i)];
        if (entry && entry->BackgroundId() == aBackground->Id())
            RemoveFromHistory(*entry);
        else
            ++i;
    }
    iStack->DeleteBackground(aBackground, aCardsOnly);
    if (CardListOpen())
        iCardListView->FillAndShowCardList(true);
}

void CVexilStackView::EmptyStack()
{
    iStack->DeleteAllCards();
    iHistory.fill(nullptr);
    iHistCount = 0;
    iHistIndex = UndefInt;
    DropCurCard();
    if (CardViewOpen())
        CloseCardView(false);
    OpenCardView();
    RefreshViews(true, true);
}

// ---- the running script's progress

void CVexilStackView::ShowProgress(int32_t aPercent)
{
    CVexilGenForm* form = LoadedCardWindow();
    if (!form)
        return;
    form->fProgress->SetWidth(form->fProgressBox->Width() * float(aPercent) / 100.0F);
    form->fProgressBox->SetVisible(iCardView && iCardView->HasHeader());
}

void CVexilStackView::HideProgress()
{
    if (CVexilGenForm* form = LoadedCardWindow())
        form->fProgressBox->SetVisible(false);
}

void CVexilStackView::UpdateCardListFromChanges()
{
    if (gInterpreter && gInterpreter->Running())
        return;
    if (CardListOpen() && iCardListView)
    {
        const TStackChangeInfo& changes = iStack->GetChangeInfo();
        const TCardRef last = changes.LastCard();
        if (changes.CardListChanged || (changes.CardsChanged && (changes.NumChangedCards != 1 || !last)))
            iCardListView->FillAndShowCardList(true);
        else if (changes.CardsChanged)
            iCardListView->UpdateCard(last);
    }
    iStack->ResetChangeInfo();
}
