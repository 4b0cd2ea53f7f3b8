#include "editors/VexilCardWriter.h"

#include "foundation/VexilError.h"
#include "model/VexilStack.h"
#include "presentation/VexilStackView.h"
#include "presentation/VexilStackViewWindows.h"

CVexilCardWriter::CVexilCardWriter(CVexilStack& aStack, CVexilStackView& aStackView)
    : iStack(aStack), iStackView(aStackView)
{
}

bool CVexilCardWriter::Holds(const TCardRef& aCard) const
{
    return aCard && aCard->Stack() == &iStack && iStack.GetCardById(aCard->Id()) == aCard;
}

bool CVexilCardWriter::Holds(const TControlSetRef& aBackground) const
{
    return aBackground && iStack.Background(aBackground->Id()) == aBackground;
}

TCardRef CVexilCardWriter::CardToInsertBefore(bool aKeptSorted, int32_t aPos, int32_t aBeforeCardId) const
{
    // The stack places a card of a sorted background by its key.
    if (aKeptSorted)
        return nullptr;
    TCardRef cur;
    switch (aPos)
    {
    case EInsertAtEnd: return nullptr;
    case EInsertBeforeCur: return iStackView.GetCurCard(cur) && Holds(cur) ? cur : nullptr;
    case EInsertAfterCur:
    {
        TCardRef next;
        if (iStackView.GetCurCard(cur) && Holds(cur) && iStack.OrderNext(*cur, next))
            return next;
        return nullptr;
    }
    case EInsertBeforeSpec: return aBeforeCardId == UndefLong ? nullptr : iStack.GetCardById(aBeforeCardId);
    default: CVexilError::Assert(false, QStringLiteral("CreateCard pos")); return nullptr;
    }
}

TCardRef CVexilCardWriter::Create(const TControlSetRef& aBackground, const TCardInput& aInput,
                                  const TCardRef& aBeforeCard)
{
    if (!Holds(aBackground))
        return nullptr;
    auto card = std::make_shared<CVexilCard>();
    card->Construct(aInput.Name, aBackground);
    card->SetFont(aInput.Font);
    card->SetBackColor(aInput.BackColor);
    iStackView.AddCard(card, Holds(aBeforeCard) ? aBeforeCard : nullptr);
    TControlRef nameField;
    if (aBackground->GetControlByFlag(EConCardName, nameField))
    {
        // Writes the name into the card-name field as well.
        iStack.RenameCard(*card, aInput.Name);
        // Writing the name stamped the card again; a new card's stamps are one moment.
        card->SetModDate(card->CreDate());
        card->SetModTime(card->CreTime());
        if (IVexilCardListView* cardList = iStackView.CardListView())
            cardList->UpdateCard(card);
    }
    return card;
}

bool CVexilCardWriter::Modify(const TCardRef& aCard, const TCardInput& aInput)
{
    if (!Holds(aCard))
        return false;
    if (aInput.Name != aCard->Name())
    {
        iStack.RenameCard(*aCard, aInput.Name);
        iStackView.RefreshViews(true, true);
    }
    aCard->SetFont(aInput.Font);
    aCard->SetBackColor(aInput.BackColor);
    return true;
}

bool CVexilCardWriter::Delete(const TCardRef& aCard)
{
    if (!Holds(aCard))
        return false;
    iStackView.DeleteCard(aCard, nullptr);
    return true;
}
