#include "model/VexilStackCheck.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

#include <algorithm>
#include <vector>

namespace
{
QString Num(int32_t aNum)
{
    return QString::number(aNum);
}

// An int-keyed array of objects whose keys are their ids: the id of every object, or a fault.
template <class T>
QString ObjectsFault(const CVexilArray& aArray, int32_t aElemType, const QString& aWhat)
{
    if (aArray.Flags() != EArrIntKey || aArray.ElemType() != aElemType)
        return aWhat + QStringLiteral(" flags");
    for (int32_t i = 0; i < aArray.Count(); ++i)
    {
        const TArrayElem& elem = aArray.ElemAt(i);
        const auto* obj = dynamic_cast<const T*>(elem.iVal.iObj.get());
        if (!obj || obj->Id() != elem.IntKey)
            return aWhat + QStringLiteral(" ") + Num(elem.IntKey);
    }
    return {};
}

// Marks the cards that one index names; a card named twice or not present is a fault.
class TCardMarks
{
public:
    explicit TCardMarks(const CVexilStack& aStack, int32_t aSlots) : iStack(aStack), iSeen(size_t(aSlots), false) {}

    // The card that an entry names, marked; none when it is not present or named before.
    TCardRef Take(int32_t aId)
    {
        TCardRef card = iStack.GetCardById(aId);
        if (!card || iSeen[size_t(aId)])
            return nullptr;
        iSeen[size_t(aId)] = true;
        return card;
    }

private:
    const CVexilStack& iStack;
    std::vector<bool> iSeen;
};

// The ids in use apart from card ids, for the id generator's check.
class TIdsInUse
{
public:
    void Add(int32_t aId)
    {
        if (aId != UndefLong)
            iHighest = std::max(iHighest, aId);
    }
    // The next id must lie above them all.
    bool Below(int32_t aNextId) const { return iHighest < aNextId; }

private:
    int32_t iHighest = -1;
};

QString ControlRefsFault(const CVexilStack& aStack, const CVexilControlSet& aBackground, const CVexilControl& aControl)
{
    const QString what = QStringLiteral("control ") + Num(aControl.Id()) + QStringLiteral(" ");
    TControlRef found;
    if (aControl.PartnerId() != UndefLong && !aBackground.GetControl(aControl.PartnerId(), found))
        return what + QStringLiteral("partnerId");
    if (!aControl.Flag(EConCardList))
        return {};
    const TControlSetRef selected = aStack.Background(aControl.SelBackgroundId());
    if (!selected)
        return what + QStringLiteral("selBackgroundId");
    if (aControl.RefControlId() != UndefLong && !aBackground.GetControl(aControl.RefControlId(), found))
        return what + QStringLiteral("refControlId");
    if (aControl.SelControlId() != UndefLong && !selected->GetControl(aControl.SelControlId(), found))
        return what + QStringLiteral("selControlId");
    if (const auto& listCol = aControl.ListCol())
    {
        for (int32_t i = 0; i < listCol->Count(); ++i)
            if (!selected->GetControl(listCol->ElemAt(i).iVal.iInt, found))
                return what + QStringLiteral("listCol");
    }
    return {};
}

QString SortKeyFault(const CVexilStack& aStack, const CVexilSortKey& aSortKey)
{
    const TControlSetRef background = aStack.Background(aSortKey.BackgroundId());
    if (!background)
        return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" backgroundId");
    TKeyPart part;
    int32_t cursor = 0;
    TControlRef control;
    for (bool more = aSortKey.GetFirstKeyPart(part, cursor); more; more = aSortKey.GetNextKeyPart(part, cursor))
        if (!background->GetControl(part.ControlId, control))
            return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" field ") + Num(part.ControlId);
    return {};
}
}  // namespace

void CVexilStackCheck::CheckStructure(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext)
{
    const QString fault = StructureFault(aStack);
    CVexilError::CheckStruct(fault.isEmpty(), &aSource, aContext, fault);
}

void CVexilStackCheck::CheckPictures(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext)
{
    const QString fault = PictureFault(aStack);
    CVexilError::CheckStruct(fault.isEmpty(), &aSource, aContext, fault);
}

QString CVexilStackCheck::StructureFault(const CVexilStack& aStack)
{
    QString fault = ObjectsFault<CVexilControlSet>(*aStack.iBackground, EValControlSet, QStringLiteral("background"));
    if (fault.isEmpty())
        fault = ObjectsFault<CVexilSortKey>(*aStack.iSortKey, EValSortKey, QStringLiteral("sort key"));
    if (fault.isEmpty())
        fault = ObjectsFault<CVexilArray>(*aStack.iKeyIndex, EValArray, QStringLiteral("key index"));
    if (!fault.isEmpty())
        return fault;
    const CVexilArray& cards = *aStack.iCard;
    const CVexilArray& order = *aStack.iOrderIndex;
    const CVexilArray& names = *aStack.iNameIndex;
    if (cards.Flags() != 0 || cards.ElemType() != EValCard)
        return QStringLiteral("cards flags");
    if (order.Flags() != EArrIntKey || order.ElemType() != EValInt)
        return QStringLiteral("order index flags");
    if (names.Flags() != EArrStrKey + EArrDupKeys + EArrBinaryCompare || names.ElemType() != EValInt)
        return QStringLiteral("name index flags");

    // Cards: each in its slot, of a background of the stack.
    std::vector<int32_t> backgroundCards;
    int32_t numCards = 0;
    for (int32_t slot = 0; slot < cards.Count(); ++slot)
    {
        const auto* card = dynamic_cast<const CVexilCard*>(cards.ElemAt(slot).iVal.iObj.get());
        if (!card)
        {
            if (cards.ElemAt(slot).iVal.iObj)
                return QStringLiteral("card slot ") + Num(slot);
            continue;
        }
        if (card->Id() != slot)
            return QStringLiteral("card id ") + Num(card->Id()) + QStringLiteral(" in slot ") + Num(slot);
        if (!aStack.Background(card->BackgroundId()))
            return QStringLiteral("card ") + Num(slot) + QStringLiteral(" backgroundId");
        ++numCards;
    }

    // Order index: every card once, under its order number.
    TCardMarks inOrder(aStack, cards.Count());
    for (int32_t i = 0; i < order.Count(); ++i)
    {
        const TArrayElem& elem = order.ElemAt(i);
        const TCardRef card = inOrder.Take(elem.iVal.iInt);
        if (!card || card->OrderNum() != elem.IntKey)
            return QStringLiteral("order index entry ") + Num(i);
    }
    if (order.Count() != numCards)
        return QStringLiteral("order index count");

    // Name index: every card once, under its name.
    TCardMarks inNames(aStack, cards.Count());
    for (int32_t i = 0; i < names.Count(); ++i)
    {
        const TArrayElem& elem = names.ElemAt(i);
        const TCardRef card = inNames.Take(elem.iVal.iInt);
        if (!card || card->Name() != elem.StrKey)
            return QStringLiteral("name index entry ") + Num(i);
    }
    if (names.Count() != numCards)
        return QStringLiteral("name index count");

    // Sort keys and key indexes: of a background, each card at most once and of it.
    TSortKeyRef sortKey;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstSortKey(sortKey, cursor); more; more = aStack.GetNextSortKey(sortKey, cursor))
    {
        fault = SortKeyFault(aStack, *sortKey);
        if (!fault.isEmpty())
            return fault;
    }
    std::shared_ptr<CVexilArray> keyIndex;
    for (bool more = aStack.GetFirstKeyIndex(keyIndex, cursor); more; more = aStack.GetNextKeyIndex(keyIndex, cursor))
    {
        const QString what = QStringLiteral("key index ") + Num(keyIndex->Id());
        const TSortKeyRef indexKey = aStack.FindSortKey(keyIndex->SortKeyId());
        if (keyIndex->Flags() != EArrStrKey + EArrSortKeyOrder || keyIndex->ElemType() != EValInt || !indexKey)
            return what;
        TCardMarks inIndex(aStack, cards.Count());
        for (int32_t i = 0; i < keyIndex->Count(); ++i)
        {
            const TCardRef card = inIndex.Take(keyIndex->ElemAt(i).iVal.iInt);
            if (!card || card->BackgroundId() != indexKey->BackgroundId())
                return what + QStringLiteral(" entry ") + Num(i);
        }
    }

    // Backgrounds: the key index that keeps a sorted one in order holds all its cards; the
    // fields' references resolve.
    TControlSetRef background;
    for (bool more = aStack.GetFirstBackground(background, cursor); more;
         more = aStack.GetNextBackground(background, cursor))
    {
        const QString what = QStringLiteral("background ") + Num(background->Id());
        const int32_t keyIndexId = background->KeyIndexId();
        const std::shared_ptr<CVexilArray> sortedBy = aStack.FindKeyIndex(keyIndexId);
        if (keyIndexId != UndefLong && !sortedBy)
            return what + QStringLiteral(" keyIndexId");
        if (background->Flag(ECseKeepCardsSorted))
        {
            if (!sortedBy || aStack.FindSortKey(sortedBy->SortKeyId())->BackgroundId() != background->Id() ||
                sortedBy->Count() != aStack.NumBackgroundCards(background->Id()))
                return what + QStringLiteral(" sorted by key index ") + Num(keyIndexId);
        }
        TControlRef control;
        int32_t controlCursor = 0;
        for (bool field = background->GetFirstControl(control, controlCursor); field;
             field = background->GetNextControl(control, controlCursor))
        {
            fault = ControlRefsFault(aStack, *background, *control);
            if (!fault.isEmpty())
                return what + QStringLiteral(" ") + fault;
        }
    }
    return {};
}

QString CVexilStackCheck::PictureFault(const CVexilStack& aStack)
{
    const CVexilBlobStore& store = *aStack.iBlobStore;
    TIdsInUse ids;
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstBackground(background, cursor); more;
         more = aStack.GetNextBackground(background, cursor))
    {
        ids.Add(background->Id());
        const int32_t wallPaper = background->WallPaperId();
        if (wallPaper != UndefLong && !store.HasBlob(wallPaper))
            return QStringLiteral("background ") + Num(background->Id()) + QStringLiteral(" wallPaperId");
        TControlRef control;
        int32_t controlCursor = 0;
        for (bool field = background->GetFirstControl(control, controlCursor); field;
             field = background->GetNextControl(control, controlCursor))
            ids.Add(control->Id());
    }
    TSortKeyRef sortKey;
    for (bool more = aStack.GetFirstSortKey(sortKey, cursor); more; more = aStack.GetNextSortKey(sortKey, cursor))
        ids.Add(sortKey->Id());
    std::shared_ptr<CVexilArray> keyIndex;
    for (bool more = aStack.GetFirstKeyIndex(keyIndex, cursor); more; more = aStack.GetNextKeyIndex(keyIndex, cursor))
        ids.Add(keyIndex->Id());
    const CVexilArray& cards = *aStack.iCard;
    for (int32_t slot = 0; slot < cards.Count(); ++slot)
    {
        const auto* card = static_cast<const CVexilCard*>(cards.ElemAt(slot).iVal.iObj.get());
        if (!card)
            continue;
        const CVexilArray& values = *card->Value();
        for (int32_t i = 0; i < values.Count(); ++i)
        {
            const TValue& value = values.ElemAt(i).iVal;
            if (value.iType == EValBlobId && value.iInt != UndefLong && !store.HasBlob(value.iInt))
                return QStringLiteral("card ") + Num(slot) + QStringLiteral(" picture ") + Num(value.iInt);
        }
    }
    ids.Add(store.HighestId());
    if (!ids.Below(aStack.IdGen().PeekId()))
        return QStringLiteral("next id ") + Num(aStack.IdGen().PeekId());
    return {};
}
