// The stack's card operations: adding, deleting, renaming and moving cards, sorted runs,
// order numbers and the order check after a read.

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilKeyHint.h"
#include "foundation/VexilTextCompare.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace
{
const QString kCheckContext = QStringLiteral("CheckOrderIndexFor");

TArrayElem IntElem(const CVexilArray& aArray, int32_t aIntKey, int32_t aValue)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.IntKey = aIntKey;
    elem.iVal.iInt = aValue;
    return elem;
}

TArrayElem KeyElem(const CVexilArray& aArray, const QString& aKey, int32_t aValue)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.StrKey = aKey;
    elem.iVal.iInt = aValue;
    return elem;
}

// Inserts the key and gives its position.
int32_t InsertKey(CVexilArray& aKeyIndex, const QString& aKey, int32_t aCardId)
{
    return aKeyIndex.CreateStrKey(KeyElem(aKeyIndex, aKey, aCardId));
}

// A card's key in a key index being built.
struct TKeyedCard
{
    QString Key;
    int32_t CardId = 0;
    uint64_t Hint = 0;
};

// Whether every part of the sort key has a type with an order: only then does sorting compare
// without asking anything.
bool OrdersEveryPart(const CVexilSortKey& aSortKey)
{
    TKeyPart part;
    int32_t cursor = 0;
    for (bool more = aSortKey.GetFirstKeyPart(part, cursor); more; more = aSortKey.GetNextKeyPart(part, cursor))
        if (part.Type < EConTypeText || part.Type > EConTypeBoolean)
            return false;
    return true;
}

// Sorts the keys as inserting them one by one into an empty index would place them; false
// when two of them are equal, where the order of the insertions decides.
bool SortKeys(const CVexilSortKey& aSortKey, std::vector<TKeyedCard>& aKeys)
{
    const bool hinted = CVexilTextCompare::HintsApply();
    for (TKeyedCard& key : aKeys)
        key.Hint = hinted ? aSortKey.Hint(key.Key) : 0;
    // -1 before, 0 equal, 1 after.
    const auto order = [&](const TKeyedCard& aA, const TKeyedCard& aB) {
        switch (TKeyHint::Order(aA.Hint, aB.Hint))
        {
        case TKeyHint::EBefore: return -1;
        case TKeyHint::EAfter: return 1;
        default: return int(aSortKey.compare(aA.Key, aB.Key)) - 1;
        }
    };
    std::stable_sort(aKeys.begin(), aKeys.end(),
                     [&](const TKeyedCard& aA, const TKeyedCard& aB) { return order(aA, aB) < 0; });
    for (size_t i = 1; i < aKeys.size(); ++i)
        if (order(aKeys[i - 1], aKeys[i]) == 0)
            return false;
    return true;
}

// Fills an empty key index with keys in its order, as inserting them one by one would.
void FillKeyIndex(CVexilArray& aKeyIndex, const std::vector<TKeyedCard>& aKeys)
{
    int64_t alloc = aKeyIndex.Alloc();
    for (int64_t count = 0; count < int64_t(aKeys.size()); ++count)
        if (count + 1 > alloc)
            alloc = count + 1 + aKeyIndex.AllocStep();
    if (alloc > std::numeric_limits<int32_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilArray"));
    aKeyIndex.SetAlloc(int32_t(alloc));
    for (const TKeyedCard& key : aKeys)
        aKeyIndex.AppendRead(KeyElem(aKeyIndex, key.Key, key.CardId));
    aKeyIndex.SetChanged(true);
}

// Removes the key; false when the index does not hold it (an index that does not track the card).
bool RemoveKey(CVexilArray& aKeyIndex, const QString& aKey)
{
    int32_t index = 0;
    if (!aKeyIndex.FindStrKey(aKey, index))
        return false;
    aKeyIndex.DeleteAt(index, 1);
    return true;
}
}  // namespace

void CVexilStack::SetOrderNums()
{
    // Gathered by card id first, so that the cards are visited in the order they lie in memory.
    constexpr int64_t kNone = std::numeric_limits<int64_t>::min();
    std::vector<int64_t> numOfCard(size_t(iCard->Count()), kNone);
    for (int32_t pos = 0; pos < iOrderIndex->Count(); ++pos)
    {
        const int32_t cardId = iOrderIndex->IntValAt(pos);
        if (cardId >= 0 && cardId < iCard->Count())
            numOfCard[size_t(cardId)] = iOrderIndex->IntKeyAt(pos);
    }
    for (int32_t id = 0; id < iCard->Count(); ++id)
    {
        CVexilCard* card = CardPtr(id);
        if (card && numOfCard[size_t(id)] != kNone)
            card->SetOrderNum(int32_t(numOfCard[size_t(id)]));
    }
}

void CVexilStack::RenumberOrder(int32_t aStep)
{
    iOrderIndex->RenumberIntKey(aStep);
    SetOrderNums();
}

void CVexilStack::InsertIntoOrderIndex(CVexilCard& aCard, const CVexilCard* aBeforeCard)
{
    int64_t num = KOrderNumStep;
    bool placed = false;
    while (aBeforeCard && !placed)
    {
        int32_t pos = 0;
        const bool found = OrderPos(aBeforeCard->OrderNum(), pos);
        CVexilError::Assert(found, QStringLiteral("AddCard aBeforeCard OrderNum found"));
        if (!found)
            break;  // past the assertion the card goes to the end
        const int64_t b = iOrderIndex->IntKeyAt(pos);
        if (pos > 0)
        {
            const int64_t a = iOrderIndex->IntKeyAt(pos - 1);
            placed = b - a > 1;
            num = (b - a) / 2 + a;
        }
        else
        {
            placed = b > 1;
            num = b / 2;
        }
        if (!placed)
            RenumberOrder(KOrderNumStep);
    }
    if (!placed && iOrderIndex->Count() > 0)
    {
        // Renumbered before the next number could overflow.
        if (int64_t(iOrderIndex->IntKeyAt(iOrderIndex->Count() - 1)) + KOrderNumStep >
            std::numeric_limits<int32_t>::max())
            RenumberOrder(KOrderNumStep);
        num = int64_t(iOrderIndex->IntKeyAt(iOrderIndex->Count() - 1)) + KOrderNumStep;
    }
    aCard.SetOrderNum(int32_t(num));
    iOrderIndex->CreateIntKey(IntElem(*iOrderIndex, int32_t(num), aCard.Id()));
}

void CVexilStack::AddCard(const TCardRef& aCard, TCardRef& aBeforeCard, bool aInitVals)
{
    TOrderBroadcastHold hold(*this);
    TArrayElem slot;
    iCard->InitElem(slot);
    slot.iVal.iObj = aCard;
    aCard->SetId(iCard->CreateAtEnd(slot));
    aCard->SetStack(this);
    if (aBeforeCard)
    {
        const TControlSetRef beforeBackground = aBeforeCard->Background();
        int32_t cursor = 0;
        if (beforeBackground && beforeBackground->Flag(ECseKeepCardsSorted))
            GetFirstCardInBackground(beforeBackground->Id(), aBeforeCard, cursor);
    }
    const TControlSetRef background = aCard->Background();
    std::shared_ptr<CVexilArray> keyIndex;
    TSortKeyRef sortKey;
    if (background && SortedIndexOf(*background, keyIndex, sortKey))
        PlaceSortedCard(*aCard, true, *keyIndex, InsertKey(*keyIndex, sortKey->BuildKey(*aCard), aCard->Id()));
    else
        InsertIntoOrderIndex(*aCard, aBeforeCard.get());
    AddNameEntry(*aCard, aCard->Name());
    SetCardListsDirty(nullptr);
    OrderChanged();
    if (aInitVals)
        aCard->InitAllVal();
    hold.Release();
}

void CVexilStack::AdjustCardPos(CVexilCard& aCard, bool aIsNew, const QString& aKey)
{
    const TControlSetRef background = aCard.Background();
    std::shared_ptr<CVexilArray> keyIndex;
    TSortKeyRef sortKey;
    TArrayElem elem;
    int32_t cursor = 0;
    const bool found = background && SortedIndexOf(*background, keyIndex, sortKey) &&
                       keyIndex->ReadByStrKey(aKey, elem, cursor);
    CVexilError::CheckFailed(found, this, QStringLiteral("AdjustCardPos"), QStringLiteral("key found"));
    if (found)
        PlaceSortedCard(aCard, aIsNew, *keyIndex, cursor - 1);
}

void CVexilStack::PlaceSortedCard(CVexilCard& aCard, bool aIsNew, const CVexilArray& aKeyIndex, int32_t aKeyPos)
{
    if (!aIsNew)
        iOrderIndex->DeleteIntKey(aCard.OrderNum());
    const CVexilCard* before = nullptr;
    if (aKeyPos + 1 < aKeyIndex.Count())
    {
        before = CardPtr(aKeyIndex.IntValAt(aKeyPos + 1));
    }
    else if (aKeyIndex.Count() > 1)
    {
        // Last in key order: just behind the key predecessor in the stack order.
        const CVexilCard* predecessor = CardPtr(aKeyIndex.IntValAt(aKeyIndex.Count() - 2));
        int32_t pos = 0;
        if (predecessor && OrderPos(predecessor->OrderNum(), pos) && pos + 1 < NumCards())
            before = CardPtr(iOrderIndex->IntValAt(pos + 1));
    }
    InsertIntoOrderIndex(aCard, before);
    OrderChanged();
    NotifyCardOrder();
}

std::vector<CVexilStack::TCardKey> CVexilStack::KeysUsingControl(CVexilCard& aCard, int32_t aControlId) const
{
    std::vector<TCardKey> keys;
    for (int32_t pos = 0; pos < iKeyIndex->Count(); ++pos)
    {
        auto keyIndex = std::static_pointer_cast<CVexilArray>(iKeyIndex->ObjAt(pos));
        auto sortKey = std::static_pointer_cast<CVexilSortKey>(keyIndex->SortKey());
        if (sortKey && sortKey->ControlOccurs(aControlId))
            keys.push_back({keyIndex, sortKey, sortKey->BuildKey(aCard)});
    }
    return keys;
}

void CVexilStack::ReKey(CVexilCard& aCard, const std::vector<TCardKey>& aOldKeys)
{
    const TControlSetRef background = aCard.Background();
    for (const TCardKey& old : aOldKeys)
    {
        const QString newKey = old.SortKey->BuildKey(aCard);
        if (newKey == old.Key || !RemoveKey(*old.KeyIndex, old.Key))
            continue;
        const int32_t pos = InsertKey(*old.KeyIndex, newKey, aCard.Id());
        if (background && background->Flag(ECseKeepCardsSorted) && background->KeyIndexId() == old.KeyIndex->Id())
            PlaceSortedCard(aCard, false, *old.KeyIndex, pos);
    }
}

void CVexilStack::DeleteCard(TCardRef& aCard)
{
    CVexilError::Assert(aCard->Stack() == this, QStringLiteral("DeleteCard stack"));
    const TControlSetRef background = aCard->Background();
    if (background)
    {
        std::shared_ptr<CVexilArray> keyIndex;
        TSortKeyRef sortKey;
        // The key is built from the values, so it goes first.
        if (SortedIndexOf(*background, keyIndex, sortKey))
            RemoveKey(*keyIndex, sortKey->BuildKey(*aCard));
        TControlRef control;
        int32_t cursor = 0;
        for (bool more = background->GetFirstControl(control, cursor); more;
             more = background->GetNextControl(control, cursor))
            aCard->DeleteControlVal(control->Id());
    }
    DeleteNameEntry(*aCard, aCard->Name());
    iOrderIndex->DeleteIntKey(aCard->OrderNum());
    const bool inSlot = CardPtr(aCard->Id()) == aCard.get();
    CVexilError::Assert(inSlot, QStringLiteral("DeleteCard card"));
    if (inSlot)
    {
        iCard->SetObj(aCard->Id(), nullptr);
        iCard->SetToLastObj();
    }
    aCard.reset();
    SetCardListsDirty(nullptr);
    OrderChanged();
}

void CVexilStack::DeleteAllCards()
{
    // The watch hears of the empty stack once.
    TOrderBroadcastHold hold(*this);
    TCardRef card;
    while (OrderFirst(card))
        DeleteCard(card);
    OrderChanged();
    hold.Release();
}

void CVexilStack::RenameCard(CVexilCard& aCard, const QString& aNewName)
{
    CVexilError::Assert(aCard.Stack() == this, QStringLiteral("RenameCard stack"));
    DeleteNameEntry(aCard, aCard.Name());
    AddNameEntry(aCard, aNewName);
    aCard.SetName(aNewName);
    const TControlSetRef background = aCard.Background();
    TControlRef nameField;
    if (background && background->GetControlByFlag(EConCardName, nameField))
        aCard.SetControlVal(nameField->Id(), CVexilValue::ExtTextToVal(aNewName, *nameField));
    SetCardListsDirty(nullptr);
}

void CVexilStack::MoveCard(CVexilCard& aCard, const CVexilCard* aBeforeCard)
{
    if (aBeforeCard == &aCard)
        return;  // a card stands before itself already
    iOrderIndex->DeleteIntKey(aCard.OrderNum());
    InsertIntoOrderIndex(aCard, aBeforeCard);
    OrderChanged();
}

void CVexilStack::MoveAllCardsOfBackground(const CVexilControlSet& aBackground, const CVexilCard* aBeforeCard)
{
    const QString context = QStringLiteral("MoveAllCardsOfBackground");
    CVexilError::CheckFailed(aBackground.Flag(ECseKeepCardsSorted), this, context, QStringLiteral("sorted"));
    int32_t start = 0;
    while (start < NumCards() && BackgroundIdAt(start) != aBackground.Id())
        ++start;
    if (start == NumCards())
        return;
    int32_t count = 1;
    while (start + count < NumCards() && BackgroundIdAt(start + count) == aBackground.Id())
        ++count;
    int32_t target = NumCards();
    if (aBeforeCard)
    {
        const bool found = OrderPos(aBeforeCard->OrderNum(), target);
        CVexilError::CheckFailed(found, this, context, QStringLiteral("beforeCard order"));
        if (!found)
            return;
    }
    iOrderIndex->Move(start, count, target, true, KOrderNumStep);
    SetOrderNums();
    OrderChanged();
}

void CVexilStack::DeleteBackground(const TControlSetRef& aBackground, bool aCardsOnly)
{
    const int32_t id = aBackground->Id();
    const bool ours = Background(id) == aBackground;
    CVexilError::CheckFailed(ours, this, QStringLiteral("DeleteBackground"),
                             QStringLiteral("DeleteBackground aBackground of stack"));
    std::vector<TCardRef> cards;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = GetFirstCardInBackground(id, card, cursor); more; more = GetNextCardInBackground(id, card, cursor))
        cards.push_back(card);
    {
        TOrderBroadcastHold hold(*this);
        for (TCardRef& doomed : cards)
            DeleteCard(doomed);
        hold.Release();
    }
    if (aCardsOnly || !ours)
        return;
    std::vector<std::shared_ptr<CVexilArray>> keyIndexes;
    std::shared_ptr<CVexilArray> keyIndex;
    for (bool more = GetFirstKeyIndex(keyIndex, cursor); more; more = GetNextKeyIndex(keyIndex, cursor))
    {
        const TSortKeyRef sortKey = FindSortKey(keyIndex->SortKeyId());
        if (sortKey && sortKey->BackgroundId() == id)
            keyIndexes.push_back(keyIndex);
    }
    for (const auto& doomed : keyIndexes)
        DeleteKeyIndex(*doomed);
    std::vector<TSortKeyRef> sortKeys;
    TSortKeyRef sortKey;
    for (bool more = GetFirstSortKey(sortKey, cursor); more; more = GetNextSortKey(sortKey, cursor))
        if (sortKey->BackgroundId() == id)
            sortKeys.push_back(sortKey);
    for (const TSortKeyRef& doomed : sortKeys)
        DeleteSortKey(*doomed);
    // The wallpaper loses the background's reference, so an unused picture is dropped.
    if (aBackground->WallPaperId() != UndefLong && iBlobStore && iBlobStore->HasBlob(aBackground->WallPaperId()))
    {
        TBlobRef wallPaper = iBlobStore->ReadBlob(aBackground->WallPaperId());
        if (wallPaper)
            iBlobStore->DecRefCount(wallPaper);
    }
    iBackground->DeleteIntKey(id);
}

void CVexilStack::Sort(const CVexilControlSet& aBackground, const TSortKeyRef& aSortKey, const CVexilCard* aAnchorCard,
                       bool aUseKeyIndex)
{
    std::shared_ptr<CVexilArray> index;
    TSortKeyRef sortKey = aSortKey;
    if (aUseKeyIndex)
    {
        index = KeyIndex(aBackground.KeyIndexId());
        sortKey = index ? std::static_pointer_cast<CVexilSortKey>(index->SortKey()) : nullptr;
        if (!sortKey)
            return;
    }
    else
    {
        index = std::make_shared<CVexilArray>();
        index->Construct(EArrStrKey + EArrSortKeyOrder + EArrDupKeys, EValInt);
        index->SetSortKey(aSortKey);
    }
    const int32_t id = aBackground.Id();
    std::vector<TKeyedCard> keys;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = GetFirstCardInBackground(id, card, cursor); more; more = GetNextCardInBackground(id, card, cursor))
        keys.push_back({sortKey->BuildKey(*card), card->Id()});
    // An empty index is filled at once from the sorted keys; otherwise, and where the sort
    // cannot stand for the insertions, the keys go in one by one.
    std::vector<TKeyedCard> sorted = keys;
    if (index->Count() == 0 && OrdersEveryPart(*sortKey) && SortKeys(*sortKey, sorted))
    {
        FillKeyIndex(*index, sorted);
    }
    else
    {
        for (const TKeyedCard& key : keys)
            index->CreateStrKey(KeyElem(*index, key.Key, key.CardId));
    }

    auto order = std::make_shared<CVexilArray>();
    order->Construct(EArrIntKey, EValInt);
    if (int64_t(NumCards()) * KOrderNumStep > std::numeric_limits<int32_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilStack.Sort"));
    const auto append = [&](int32_t aCardId) {
        order->CreateIntKey(IntElem(*order, (order->Count() + 1) * KOrderNumStep, aCardId));
    };
    const auto appendOthers = [&](int32_t aPos) {
        if (BackgroundIdAt(aPos) != id)
            append(iOrderIndex->IntValAt(aPos));
    };
    int32_t pos = 0;
    for (; pos < NumCards() && (!aAnchorCard || iOrderIndex->IntValAt(pos) != aAnchorCard->Id()); ++pos)
        appendOthers(pos);
    for (int32_t key = 0; key < index->Count(); ++key)
        append(index->IntValAt(key));
    for (; pos < NumCards(); ++pos)
        appendOthers(pos);
    iOrderIndex = order;
    SetOrderNums();
    OrderChanged();
}

void CVexilStack::NewIndexForSortKey(const TSortKeyRef& aSortKey)
{
    const TControlSetRef background = Background(aSortKey->BackgroundId());
    CVexilError::CheckFailed(background != nullptr, this, QStringLiteral("NewIndexForSortKey"),
                             QStringLiteral("background"));
    if (!background)
        return;
    auto keyIndex = std::make_shared<CVexilArray>();
    keyIndex->Construct(EArrStrKey + EArrSortKeyOrder, EValInt);
    keyIndex->SetSortKey(aSortKey);
    keyIndex->SetId(iIdGen->NextId());
    AddKeyIndex(keyIndex);
    background->SetKeyIndexId(keyIndex->Id());
    Sort(*background, nullptr, nullptr, true);
}

void CVexilStack::CheckOrderIndexFor(int32_t aBackgroundId)
{
    const TControlSetRef background = Background(aBackgroundId);
    const std::shared_ptr<CVexilArray> keyIndex = background ? FindKeyIndex(background->KeyIndexId()) : nullptr;
    CVexilError::CheckStruct(keyIndex != nullptr, this, kCheckContext, QStringLiteral("key index"));
    int32_t pos = 0;
    while (pos < NumCards() && BackgroundIdAt(pos) != aBackgroundId)
        ++pos;
    if (pos == NumCards())
        return;
    for (int32_t key = 0; key < keyIndex->Count(); ++key, ++pos)
    {
        CVexilCard* keyCard = CardPtr(keyIndex->IntValAt(key));
        CVexilError::CheckStruct(pos < NumCards(), this, kCheckContext, QStringLiteral("orderElem parallel"));
        const TArrayElem current = iOrderIndex->ElemAt(pos);
        CVexilCard* orderCard = CardPtr(current.iVal.iInt);
        CVexilError::CheckStruct(keyCard && orderCard, this, kCheckContext, QStringLiteral("card id"));
        if (keyCard == orderCard)
            continue;
        // Swap the two cards; the order numbers stay where they are.
        const int32_t num = keyCard->OrderNum();
        int32_t other = 0;
        const bool found = OrderPos(num, other);
        CVexilError::CheckStruct(found, this, kCheckContext, QStringLiteral("orderElem1"));
        CVexilError::CheckStruct(other > pos, this, kCheckContext, QStringLiteral("back correction"));
        TValue value = current.iVal;
        value.iInt = keyCard->Id();
        iOrderIndex->WriteLastVal(pos + 1, value);
        value.iInt = orderCard->Id();
        iOrderIndex->WriteLastVal(other + 1, value);
        keyCard->SetOrderNum(current.IntKey);
        orderCard->SetOrderNum(num);
        ++iOrderCorrections;
    }
}

void CVexilStack::CheckAllOrderIndexes()
{
    iOrderCorrections = 0;
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = GetFirstBackground(background, cursor); more; more = GetNextBackground(background, cursor))
        if (background->Flag(ECseKeepCardsSorted))
            CheckOrderIndexFor(background->Id());
}
