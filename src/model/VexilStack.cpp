#include "model/VexilStack.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilObjHead.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilWinManLink.h"

namespace
{
std::shared_ptr<CVexilArray> NewArray(int32_t aFlags, int32_t aElemType)
{
    auto array = std::make_shared<CVexilArray>();
    array->Construct(aFlags, aElemType);
    return array;
}

// The object of the element under the cursor, which then moves on.
template <class T>
bool NextObj(const CVexilArray& aArray, std::shared_ptr<T>& aObj, int32_t& aCursor)
{
    if (aCursor < 0 || aCursor >= aArray.Count())
    {
        aObj.reset();
        return false;
    }
    aObj = std::static_pointer_cast<T>(aArray.ObjAt(aCursor++));
    return true;
}

template <class T>
std::shared_ptr<T> ObjByIntKey(CVexilArray& aArray, int32_t aKey)
{
    int32_t index = 0;
    if (!aArray.FindIntKey(aKey, index))
        return nullptr;
    return std::static_pointer_cast<T>(aArray.ObjAt(index));
}

void AddObj(CVexilArray& aArray, int32_t aKey, int32_t aType, TObjRef aObj)
{
    TArrayElem elem;
    aArray.InitElem(elem);
    elem.IntKey = aKey;
    elem.iVal.iType = aType;
    elem.iVal.iObj = std::move(aObj);
    aArray.CreateIntKey(elem);
}

void SetChangedOf(CVexilObject* aPart, bool aChanged)
{
    if (aPart)
        aPart->SetChanged(aChanged);
}
}  // namespace

CVexilStack::TOrderBroadcastHold::TOrderBroadcastHold(CVexilStack& aStack) : iStack(aStack)
{
    ++iStack.iHoldDepth;
}

CVexilStack::TOrderBroadcastHold::~TOrderBroadcastHold()
{
    if (!iHeld)
        return;
    if (--iStack.iHoldDepth == 0)
    {
        iStack.iOrderBroadcastPending = false;
        iStack.iOrderWatchPending = false;
    }
}

void CVexilStack::TOrderBroadcastHold::Release()
{
    iHeld = false;
    if (--iStack.iHoldDepth > 0)
        return;
    if (iStack.iOrderWatchPending)
        iStack.TellOrderWatch();
    if (!iStack.iOrderBroadcastPending)
        return;
    iStack.iOrderBroadcastPending = false;
    CVexilWinManLink::NotifyAll(EChgCardOrder);
}

CVexilStack::CVexilStack()
{
    NewParts();
}

CVexilStack::~CVexilStack() = default;

void CVexilStack::NewParts()
{
    iIdGen = std::make_shared<CVexilIdGen>();
    iCard = NewArray(0, EValCard);
    iOrderIndex = NewArray(EArrIntKey, EValInt);
    iNameIndex = NewArray(EArrStrKey + EArrDupKeys + EArrBinaryCompare, EValInt);
    iBackground = NewArray(EArrIntKey, EValControlSet);
    iKeyIndex = NewArray(EArrIntKey, EValArray);
    iSortKey = NewArray(EArrIntKey, EValSortKey);
}

void CVexilStack::Construct(const QString& aName)
{
    iName = aName;
    NewParts();
    iIdGen->Construct();
    auto background = std::make_shared<CVexilControlSet>();
    background->Construct(QStringLiteral("First Background"), iIdGen->NextId());
    iBlobStore = std::make_shared<CVexilBlobStore>();
    iBlobStore->Construct(EBstRamBased);
    AddBackground(background);
    ResetChangeInfo();
    iBackColor = UndefLong;
    iChanged = true;
}

QString CVexilStack::ObjDescr() const
{
    return QStringLiteral("CVexilStack name=") + iName;
}

void CVexilStack::SetName(const QString& aName)
{
    iName = aName;
    iChanged = true;
}

void CVexilStack::SetDescr(const QString& aDescr)
{
    iDescr = aDescr;
    iChanged = true;
}

void CVexilStack::SetId(int32_t aId)
{
    iId = aId;
    iChanged = true;
}

void CVexilStack::SetFlags(int32_t aFlags)
{
    iFlags = aFlags;
    iChanged = true;
}

void CVexilStack::SetFilename(const QString& aFilename)
{
    iFilename = aFilename;
    iChanged = true;
}

void CVexilStack::SetBackColor(int32_t aColor)
{
    iBackColor = aColor;
    iChanged = true;
}

void CVexilStack::SetScriptSource(const QString& aSource)
{
    iScriptSource = aSource;
    iChanged = true;
}

void CVexilStack::SetScript(std::shared_ptr<CVexilArray> aScript)
{
    iScript = std::move(aScript);
    iChanged = true;
}

void CVexilStack::SetFont(std::shared_ptr<CVexilFont> aFont)
{
    iFont = std::move(aFont);
    iChanged = true;
}

void CVexilStack::SetListFont(std::shared_ptr<CVexilFont> aFont)
{
    iListFont = std::move(aFont);
    iChanged = true;
}

int32_t CVexilStack::NumCards() const
{
    return iOrderIndex->Count();
}

void CVexilStack::SetBlobStore(std::shared_ptr<CVexilBlobStore> aStore)
{
    CVexilError::CheckFailed(!iBlobStore, this, QStringLiteral("LetBlobStore"), QStringLiteral("nothing"));
    iBlobStore = std::move(aStore);
}

bool CVexilStack::Changed() const
{
    if (iChanged)
        return true;
    const CVexilObject* parts[] = {iBackground.get(), iSortKey.get(), iOrderIndex.get(), iNameIndex.get(),
                                   iKeyIndex.get(),   iIdGen.get(),   iScript.get(),     iCard.get(),
                                   iBlobStore.get(),  iFont.get(),    iListFont.get()};
    for (const CVexilObject* part : parts)
        if (CVexilObjHead::IsChanged(part))
            return true;
    return false;
}

void CVexilStack::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged)
        return;
    CVexilObject* parts[] = {iCard.get(),   iOrderIndex.get(), iNameIndex.get(), iBackground.get(),
                             iKeyIndex.get(), iIdGen.get(),    iSortKey.get(),   iScript.get(),
                             iBlobStore.get(), iFont.get(),     iListFont.get()};
    for (CVexilObject* part : parts)
        SetChangedOf(part, false);
}

void CVexilStack::ResetChangeInfo()
{
    iChangeInfo = TStackChangeInfo();
}

void CVexilStack::ChangeCard(CVexilCard& aCard)
{
    iChangeInfo.CardsChanged = true;
    if (iChangeInfo.LastChangedCard.lock().get() != &aCard)
    {
        ++iChangeInfo.NumChangedCards;
        iChangeInfo.LastChangedCard = aCard.weak_from_this();
    }
}

void CVexilStack::OrderChanged()
{
    iChangeInfo.CardListChanged = true;
    if (iHoldDepth > 0)
        iOrderWatchPending = true;
    else
        TellOrderWatch();
}

void CVexilStack::TellOrderWatch()
{
    iOrderWatchPending = false;
    if (iOrderWatch)
        iOrderWatch->CardOrderChanged();
}

void CVexilStack::NotifyCardOrder()
{
    if (iHoldDepth > 0)
        iOrderBroadcastPending = true;
    else
        CVexilWinManLink::NotifyAll(EChgCardOrder);
}

// Backgrounds, sort keys, key indexes

void CVexilStack::AddBackground(const TControlSetRef& aBackground)
{
    aBackground->SetStack(this);
    AddObj(*iBackground, aBackground->Id(), EValControlSet, aBackground);
}

TControlSetRef CVexilStack::Background(int32_t aId) const
{
    return ObjByIntKey<CVexilControlSet>(*iBackground, aId);
}

bool CVexilStack::GetFirstBackground(TControlSetRef& aBackground, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextBackground(aBackground, aCursor);
}

bool CVexilStack::GetNextBackground(TControlSetRef& aBackground, int32_t& aCursor) const
{
    return NextObj(*iBackground, aBackground, aCursor);
}

bool CVexilStack::GetBackgroundByName(const QString& aName, TControlSetRef& aBackground) const
{
    int32_t cursor = 0;
    for (bool found = GetFirstBackground(aBackground, cursor); found; found = GetNextBackground(aBackground, cursor))
        if (aBackground->Name() == aName)
            return true;
    aBackground.reset();
    return false;
}

void CVexilStack::AddSortKey(const TSortKeyRef& aSortKey)
{
    AddObj(*iSortKey, aSortKey->Id(), EValSortKey, aSortKey);
}

void CVexilStack::DeleteSortKey(const CVexilSortKey& aSortKey)
{
    iSortKey->DeleteIntKey(aSortKey.Id());
}

TSortKeyRef CVexilStack::FindSortKey(int32_t aId) const
{
    return ObjByIntKey<CVexilSortKey>(*iSortKey, aId);
}

TSortKeyRef CVexilStack::SortKey(int32_t aId) const
{
    TSortKeyRef sortKey = FindSortKey(aId);
    if (!sortKey)  // the text is built only for a failure: this runs for every card added or changed
        CVexilError::CheckFailed(false, this, QStringLiteral("SortKey"), QStringLiteral("SortKey found ") + QString::number(aId));
    return sortKey;
}

bool CVexilStack::GetFirstSortKey(TSortKeyRef& aSortKey, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextSortKey(aSortKey, aCursor);
}

bool CVexilStack::GetNextSortKey(TSortKeyRef& aSortKey, int32_t& aCursor) const
{
    return NextObj(*iSortKey, aSortKey, aCursor);
}

bool CVexilStack::GetSortKeyByName(int32_t aBackgroundId, const QString& aName, TSortKeyRef& aSortKey) const
{
    int32_t cursor = 0;
    for (bool found = GetFirstSortKey(aSortKey, cursor); found; found = GetNextSortKey(aSortKey, cursor))
        if (aSortKey->BackgroundId() == aBackgroundId && aSortKey->Name() == aName)
            return true;
    aSortKey.reset();
    return false;
}

void CVexilStack::AddKeyIndex(const std::shared_ptr<CVexilArray>& aKeyIndex)
{
    const bool defined = aKeyIndex->SortKeyId() != UndefLong;
    CVexilError::CheckFailed(defined, this, QStringLiteral("AddKeyIndex"), QStringLiteral("aKeyIndex sortKey defined"));
    // The index orders its keys by this stack's sort key, never by another open stack's.
    if (defined && !aKeyIndex->SortKey())
        aKeyIndex->SetSortKey(FindSortKey(aKeyIndex->SortKeyId()));
    AddObj(*iKeyIndex, aKeyIndex->Id(), EValArray, aKeyIndex);
}

void CVexilStack::DeleteKeyIndex(const CVexilArray& aKeyIndex)
{
    iKeyIndex->DeleteIntKey(aKeyIndex.Id());
}

std::shared_ptr<CVexilArray> CVexilStack::FindKeyIndex(int32_t aId) const
{
    return ObjByIntKey<CVexilArray>(*iKeyIndex, aId);
}

std::shared_ptr<CVexilArray> CVexilStack::KeyIndex(int32_t aId) const
{
    std::shared_ptr<CVexilArray> keyIndex = FindKeyIndex(aId);
    if (!keyIndex)  // the text is built only for a failure: this runs for every card added or changed
        CVexilError::CheckFailed(false, this, QStringLiteral("KeyIndex"), QStringLiteral("KeyIndex found ") + QString::number(aId));
    return keyIndex;
}

bool CVexilStack::GetFirstKeyIndex(std::shared_ptr<CVexilArray>& aKeyIndex, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextKeyIndex(aKeyIndex, aCursor);
}

bool CVexilStack::GetNextKeyIndex(std::shared_ptr<CVexilArray>& aKeyIndex, int32_t& aCursor) const
{
    return NextObj(*iKeyIndex, aKeyIndex, aCursor);
}

bool CVexilStack::SortedIndexOf(const CVexilControlSet& aBackground, std::shared_ptr<CVexilArray>& aKeyIndex,
                                TSortKeyRef& aSortKey) const
{
    if (!aBackground.Flag(ECseKeepCardsSorted))
        return false;
    aKeyIndex = KeyIndex(aBackground.KeyIndexId());
    if (!aKeyIndex)
        return false;
    aSortKey = std::static_pointer_cast<CVexilSortKey>(aKeyIndex->SortKey());
    return aSortKey != nullptr;
}

// Cards

CVexilCard* CVexilStack::CardPtr(int32_t aId) const
{
    if (aId < 0 || aId >= iCard->Count())
        return nullptr;
    return static_cast<CVexilCard*>(iCard->ObjAt(aId).get());
}

TCardRef CVexilStack::GetCardById(int32_t aId) const
{
    if (aId < 0 || aId >= iCard->Count())
        return nullptr;
    return std::static_pointer_cast<CVexilCard>(iCard->ObjAt(aId));
}

bool CVexilStack::GetCard(const QString& aName, TCardRef& aCard) const
{
    TArrayElem elem;
    int32_t cursor = 0;
    aCard = iNameIndex->ReadByStrKey(aName, elem, cursor) ? GetCardById(elem.iVal.iInt) : nullptr;
    return aCard != nullptr;
}

void CVexilStack::AddNameEntry(const CVexilCard& aCard, const QString& aName)
{
    TArrayElem elem;
    iNameIndex->InitElem(elem);
    elem.StrKey = aName;
    elem.iVal.iInt = aCard.Id();
    iNameIndex->CreateStrKey(elem);
}

void CVexilStack::DeleteNameEntry(const CVexilCard& aCard, const QString& aName)
{
    TArrayElem elem;
    int32_t cursor = 0;
    const bool found = iNameIndex->ReadByStrKey(aName, elem, cursor);
    CVexilError::Assert(found, QStringLiteral("DeleteStrKey found"));
    if (!found)
        return;
    // Equal names stand together; the search met one of them.
    const auto sameName = [&](int32_t aPos) { return iNameIndex->StrKeyAt(aPos) == aName; };
    const auto holdsCard = [&](int32_t aPos) { return sameName(aPos) && iNameIndex->IntValAt(aPos) == aCard.Id(); };
    const int32_t met = cursor - 1;
    for (int32_t pos = met; pos >= 0 && sameName(pos); --pos)
        if (holdsCard(pos))
            return iNameIndex->DeleteAt(pos, 1);
    for (int32_t pos = met + 1; pos < iNameIndex->Count() && sameName(pos); ++pos)
        if (holdsCard(pos))
            return iNameIndex->DeleteAt(pos, 1);
    CVexilError::Assert(false, QStringLiteral("DeleteStrKey found"));
}

bool CVexilStack::GetFirstCard(TCardRef& aCard, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextCard(aCard, aCursor);
}

bool CVexilStack::GetNextCard(TCardRef& aCard, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= iOrderIndex->Count())
    {
        aCard.reset();
        return false;
    }
    aCard = GetCardById(iOrderIndex->IntValAt(aCursor++));
    return true;
}

int32_t CVexilStack::BackgroundIdAt(int32_t aPos) const
{
    const CVexilCard* card = CardPtr(iOrderIndex->IntValAt(aPos));
    return card ? card->BackgroundId() : UndefLong;
}

bool CVexilStack::OrderPos(int32_t aOrderNum, int32_t& aPos) const
{
    int32_t pos = 0;
    if (!iOrderIndex->FindIntKey(aOrderNum, pos))
        return false;
    aPos = pos;
    return true;
}

void CVexilStack::GetCardIndex(const CVexilCard& aCard, int32_t& aIndex, int32_t& aNumCards) const
{
    aNumCards = NumCards();
    // The order number finds the card at once; the walk by id stays for an order that
    // disagrees with the card.
    if (OrderPos(aCard.OrderNum(), aIndex) && iOrderIndex->IntValAt(aIndex) == aCard.Id())
        return;
    const bool found = iOrderIndex->GetIntIndex(aCard.Id(), aIndex);
    CVexilError::Assert(found, QStringLiteral("GetCardIndex OrderIndex found"));
}

bool CVexilStack::GetCardByNum(int32_t aNum, TCardRef& aCard) const
{
    if (aNum < 0 || aNum >= NumCards())
    {
        aCard.reset();
        return false;
    }
    aCard = GetCardById(iOrderIndex->IntValAt(aNum));
    return true;
}

bool CVexilStack::GetFirstCardInBackground(int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextCardInBackground(aBackgroundId, aCard, aCursor);
}

bool CVexilStack::GetNextCardInBackground(int32_t aBackgroundId, TCardRef& aCard, int32_t& aCursor) const
{
    while (GetNextCard(aCard, aCursor))
        if (aCard && aCard->BackgroundId() == aBackgroundId)
            return true;
    return false;
}

bool CVexilStack::GetLastCardInBackground(int32_t aBackgroundId, TCardRef& aCard) const
{
    for (int32_t pos = NumCards() - 1; pos >= 0; --pos)
    {
        aCard = GetCardById(iOrderIndex->IntValAt(pos));
        if (aCard && aCard->BackgroundId() == aBackgroundId)
            return true;
    }
    aCard.reset();
    return false;
}

int32_t CVexilStack::NumBackgroundCards(int32_t aBackgroundId) const
{
    int32_t num = 0;
    for (int32_t pos = 0; pos < NumCards(); ++pos)
        if (BackgroundIdAt(pos) == aBackgroundId)
            ++num;
    return num;
}

bool CVexilStack::OrderFirst(TCardRef& aCard) const
{
    return GetCardByNum(0, aCard);
}

bool CVexilStack::OrderLast(TCardRef& aCard) const
{
    return GetCardByNum(NumCards() - 1, aCard);
}

bool CVexilStack::OrderNext(const CVexilCard& aCurCard, TCardRef& aNext) const
{
    int32_t pos = 0;
    const bool found = OrderPos(aCurCard.OrderNum(), pos);
    CVexilError::CheckFailed(found, this, QStringLiteral("OrderNext"), QStringLiteral("found curCard"));
    if (found)
        return GetCardByNum(pos + 1, aNext);
    aNext.reset();
    return false;
}

bool CVexilStack::OrderPrev(const CVexilCard& aCurCard, TCardRef& aPrev) const
{
    int32_t pos = 0;
    const bool found = OrderPos(aCurCard.OrderNum(), pos);
    CVexilError::CheckFailed(found, this, QStringLiteral("OrderPrev"), QStringLiteral("found curCard"));
    if (found)
        return GetCardByNum(pos - 1, aPrev);
    aPrev.reset();
    return false;
}
