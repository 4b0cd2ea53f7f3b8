#include "model/VexilStackCheck.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

#include <algorithm>
#include <map>
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

// Every value a card stores for a field of its background has the field's value type, or none;
// a command field stores nothing. A card is shown, edited and copied by that type.
class TValueTypes
{
public:
    explicit TValueTypes(const CVexilStack& aStack) : iStack(aStack) {}

    // A card of a background that is not there is left to the background check.
    QString Fault(const CVexilCard& aCard)
    {
        const std::vector<TField>* known = FieldsOf(aCard.BackgroundId());
        if (!known)
            return {};
        const std::vector<TField>& fields = *known;
        auto field = fields.begin();
        QString fault;
        // Both ascend by field id.
        aCard.ForEachValue([&](const TCardValues::TEntry& aEntry) {
            const int32_t fieldId = aEntry.Key();
            const int32_t type = aEntry.Type();
            while (field != fields.end() && field->Id < fieldId)
                ++field;
            if (!fault.isEmpty() || field == fields.end() || field->Id != fieldId || type == EValUndef ||
                type == field->ValType)
                return;
            fault = QStringLiteral("card ") + Num(aCard.Id()) + QStringLiteral(" field ") + Num(fieldId) +
                    QStringLiteral(" type ") + Num(type);
        });
        return fault;
    }

private:
    struct TField
    {
        int32_t Id;
        int32_t ValType;  // EValUndef for a command
    };

    // Looked up once per run of cards of one background; none for a background that is not there.
    const std::vector<TField>* FieldsOf(int32_t aBackgroundId)
    {
        if (iLastBackgroundId == aBackgroundId)
            return iLast;
        iLastBackgroundId = aBackgroundId;
        const auto known = iFields.find(aBackgroundId);
        if (known != iFields.end())
            return iLast = &known->second;
        const TControlSetRef background = iStack.Background(aBackgroundId);
        if (!background)
            return iLast = nullptr;
        std::vector<TField>& fields = iFields[aBackgroundId];
        iLast = &fields;
        TControlRef control;
        int32_t cursor = 0;
        for (bool more = background->GetFirstControl(control, cursor); more;
             more = background->GetNextControl(control, cursor))
            fields.push_back({control->Id(), control->ConType() == EConTypeCommand
                                                 ? int32_t(EValUndef)
                                                 : CVexilValue::ConToValType(control->ConType())});
        std::sort(fields.begin(), fields.end(), [](const TField& a, const TField& b) { return a.Id < b.Id; });
        return &fields;
    }

    const CVexilStack& iStack;
    std::map<int32_t, std::vector<TField>> iFields;
    int32_t iLastBackgroundId = UndefLong;
    const std::vector<TField>* iLast = nullptr;
};

// What the index checks need of each card, gathered in one pass that checks the values'
// types as well, so that each card and its values are visited once.
struct TCardFacts
{
    const CVexilCard* Card = nullptr;  // none for a free slot
    int32_t BackgroundId = UndefLong;
    int32_t OrderNum = UndefLong;
};

class TCards
{
public:
    // The array's type makes every object in it a card.
    TCards(const CVexilStack& aStack, const CVexilArray& aCards) : iFacts(size_t(aCards.Count()))
    {
        TValueTypes valueTypes(aStack);
        for (int32_t slot = 0; slot < aCards.Count(); ++slot)
        {
            const auto* card = static_cast<const CVexilCard*>(aCards.ObjAt(slot).get());
            if (!card)
                continue;
            iFacts[size_t(slot)] = {card, card->BackgroundId(), card->OrderNum()};
            // Cards of one background mostly come together.
            if (!iLastCount || card->BackgroundId() != iLastBackgroundId)
            {
                iLastBackgroundId = card->BackgroundId();
                iLastCount = &iPerBackground[iLastBackgroundId];
            }
            ++*iLastCount;
            if (card->Id() != slot && iFault.isEmpty())
                iFault = QStringLiteral("card id ") + Num(card->Id()) + QStringLiteral(" in slot ") + Num(slot);
            if (iTypeFault.isEmpty())
                iTypeFault = valueTypes.Fault(*card);
        }
    }

    // A card out of its slot, of a background that is not there or with a value of a wrong type.
    QString Fault(const CVexilStack& aStack) const
    {
        if (!iFault.isEmpty())
            return iFault;
        for (const auto& [backgroundId, count] : iPerBackground)
            if (!aStack.Background(backgroundId))
                return QStringLiteral("cards of backgroundId ") + Num(backgroundId);
        return iTypeFault;
    }

    int32_t Count() const
    {
        int32_t count = 0;
        for (const auto& [backgroundId, cards] : iPerBackground)
            count += cards;
        return count;
    }
    int32_t CountOf(int32_t aBackgroundId) const
    {
        const auto found = iPerBackground.find(aBackgroundId);
        return found == iPerBackground.end() ? 0 : found->second;
    }
    int32_t Slots() const { return int32_t(iFacts.size()); }
    const TCardFacts* At(int32_t aId) const
    {
        return aId >= 0 && size_t(aId) < iFacts.size() && iFacts[size_t(aId)].Card ? &iFacts[size_t(aId)] : nullptr;
    }

private:
    std::vector<TCardFacts> iFacts;
    std::map<int32_t, int32_t> iPerBackground;
    int32_t iLastBackgroundId = UndefLong;
    int32_t* iLastCount = nullptr;
    QString iFault;
    QString iTypeFault;  // reported after the faults above
};

// Which cards one index has named: a card named twice or not present is a fault.
class TCardMarks
{
public:
    explicit TCardMarks(const TCards& aCards) : iCards(aCards), iSeen(size_t(aCards.Slots()), false) {}

    // The card that an entry names, marked; none when it is not present or named before.
    const TCardFacts* Take(int32_t aId)
    {
        const TCardFacts* facts = iCards.At(aId);
        if (!facts || iSeen[size_t(aId)])
            return nullptr;
        iSeen[size_t(aId)] = true;
        return facts;
    }

private:
    const TCards& iCards;
    std::vector<bool> iSeen;
};

// Order index: every card once, under its order number.
QString OrderIndexFault(const CVexilArray& aOrder, const TCards& aCards)
{
    if (aOrder.Flags() != EArrIntKey || aOrder.ElemType() != EValInt)
        return QStringLiteral("order index flags");
    TCardMarks marks(aCards);
    for (int32_t i = 0; i < aOrder.Count(); ++i)
    {
        const TArrayElem& elem = aOrder.ElemAt(i);
        const TCardFacts* card = marks.Take(elem.iVal.iInt);
        if (!card || card->OrderNum != elem.IntKey)
            return QStringLiteral("order index entry ") + Num(i);
    }
    return aOrder.Count() == aCards.Count() ? QString() : QStringLiteral("order index count");
}

// Name index: every card once, under its name.
QString NameIndexFault(const CVexilArray& aNames, const TCards& aCards)
{
    if (aNames.Flags() != EArrStrKey + EArrDupKeys + EArrBinaryCompare || aNames.ElemType() != EValInt)
        return QStringLiteral("name index flags");
    TCardMarks marks(aCards);
    for (int32_t i = 0; i < aNames.Count(); ++i)
    {
        const TArrayElem& elem = aNames.ElemAt(i);
        const TCardFacts* card = marks.Take(elem.iVal.iInt);
        if (!card || card->Card->Name() != elem.StrKey)
            return QStringLiteral("name index entry ") + Num(i);
    }
    return aNames.Count() == aCards.Count() ? QString() : QStringLiteral("name index count");
}

// A key index holds cards of its sort key's background, each at most once.
QString KeyIndexFault(const CVexilArray& aKeyIndex, const CVexilSortKey* aSortKey, const TCards& aCards)
{
    const QString what = QStringLiteral("key index ") + Num(aKeyIndex.Id());
    if (aKeyIndex.Flags() != EArrStrKey + EArrSortKeyOrder || aKeyIndex.ElemType() != EValInt || !aSortKey)
        return what;
    TCardMarks marks(aCards);
    for (int32_t i = 0; i < aKeyIndex.Count(); ++i)
    {
        const TCardFacts* card = marks.Take(aKeyIndex.IntValAt(i));
        if (!card || card->BackgroundId != aSortKey->BackgroundId())
            return what + QStringLiteral(" entry ") + Num(i);
    }
    return {};
}

// Cards that come and go are entered in and removed from the key index of a sorted background
// only; any other key index would keep entries of cards that are gone.
bool KeepsBackgroundSorted(const CVexilStack& aStack, int32_t aKeyIndexId)
{
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstBackground(background, cursor); more;
         more = aStack.GetNextBackground(background, cursor))
        if (background->Flag(ECseKeepCardsSorted) && background->KeyIndexId() == aKeyIndexId)
            return true;
    return false;
}

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
            if (!selected->GetControl(listCol->IntValAt(i), found))
                return what + QStringLiteral("listCol");
    }
    return {};
}

QString SortKeyFault(const CVexilStack& aStack, const CVexilSortKey& aSortKey)
{
    // A key index stores each key as a text, which a stack file holds up to this length.
    constexpr int32_t kMaxKeyChars = 16383;
    if (aSortKey.KeyLen() > kMaxKeyChars)
        return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" length ") + Num(aSortKey.KeyLen());
    const TControlSetRef background = aStack.Background(aSortKey.BackgroundId());
    if (!background)
        return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" backgroundId");
    TKeyPart part;
    int32_t cursor = 0;
    TControlRef control;
    for (bool more = aSortKey.GetFirstKeyPart(part, cursor); more; more = aSortKey.GetNextKeyPart(part, cursor))
    {
        if (!background->GetControl(part.ControlId, control))
            return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" field ") + Num(part.ControlId);
        // Only these types make key strings; comparing another would stop at an assertion.
        if (part.Type < EConTypeText || part.Type > EConTypeBoolean)
            return QStringLiteral("sort key ") + Num(aSortKey.Id()) + QStringLiteral(" type ") + Num(part.Type);
    }
    return {};
}
}  // namespace

void CVexilStackCheck::CheckSortKeys(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext)
{
    const QString fault = SortKeysFault(aStack);
    CVexilError::CheckStruct(fault.isEmpty(), &aSource, aContext, fault);
}

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

QString CVexilStackCheck::SortKeysFault(const CVexilStack& aStack)
{
    QString fault = ObjectsFault<CVexilControlSet>(*aStack.iBackground, EValControlSet, QStringLiteral("background"));
    if (fault.isEmpty())
        fault = ObjectsFault<CVexilSortKey>(*aStack.iSortKey, EValSortKey, QStringLiteral("sort key"));
    TSortKeyRef sortKey;
    int32_t cursor = 0;
    for (bool more = fault.isEmpty() && aStack.GetFirstSortKey(sortKey, cursor); more && fault.isEmpty();
         more = aStack.GetNextSortKey(sortKey, cursor))
        fault = SortKeyFault(aStack, *sortKey);
    return fault;
}

QString CVexilStackCheck::StructureFault(const CVexilStack& aStack)
{
    QString fault = ObjectsFault<CVexilArray>(*aStack.iKeyIndex, EValArray, QStringLiteral("key index"));
    if (!fault.isEmpty())
        return fault;
    if (aStack.iCard->Flags() != 0 || aStack.iCard->ElemType() != EValCard)
        return QStringLiteral("cards flags");
    const TCards cards(aStack, *aStack.iCard);
    fault = cards.Fault(aStack);
    if (fault.isEmpty())
        fault = OrderIndexFault(*aStack.iOrderIndex, cards);
    if (fault.isEmpty())
        fault = NameIndexFault(*aStack.iNameIndex, cards);
    int32_t cursor = 0;
    std::shared_ptr<CVexilArray> keyIndex;
    for (bool more = aStack.GetFirstKeyIndex(keyIndex, cursor); more && fault.isEmpty();
         more = aStack.GetNextKeyIndex(keyIndex, cursor))
    {
        fault = KeyIndexFault(*keyIndex, aStack.FindSortKey(keyIndex->SortKeyId()).get(), cards);
        if (fault.isEmpty() && !KeepsBackgroundSorted(aStack, keyIndex->Id()))
            fault = QStringLiteral("key index ") + Num(keyIndex->Id()) + QStringLiteral(" keeps no background sorted");
    }
    TControlSetRef background;
    for (bool more = aStack.GetFirstBackground(background, cursor); more && fault.isEmpty();
         more = aStack.GetNextBackground(background, cursor))
        fault = BackgroundFault(aStack, *background, cards.CountOf(background->Id()));
    return fault;
}

// The key index that keeps a sorted background in order holds all its cards; the fields'
// references resolve.
QString CVexilStackCheck::BackgroundFault(const CVexilStack& aStack, const CVexilControlSet& aBackground,
                                          int32_t aNumCards)
{
    const QString what = QStringLiteral("background ") + Num(aBackground.Id());
    const int32_t keyIndexId = aBackground.KeyIndexId();
    const std::shared_ptr<CVexilArray> sortedBy = aStack.FindKeyIndex(keyIndexId);
    if (keyIndexId != UndefLong && !sortedBy)
        return what + QStringLiteral(" keyIndexId");
    if (aBackground.Flag(ECseKeepCardsSorted) &&
        (!sortedBy || aStack.FindSortKey(sortedBy->SortKeyId())->BackgroundId() != aBackground.Id() ||
         sortedBy->Count() != aNumCards))
        return what + QStringLiteral(" sorted by key index ") + Num(keyIndexId);
    TControlRef control;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(control, cursor); more;
         more = aBackground.GetNextControl(control, cursor))
    {
        const QString fault = ControlRefsFault(aStack, aBackground, *control);
        if (!fault.isEmpty())
            return what + QStringLiteral(" ") + fault;
    }
    return {};
}

QString CVexilStackCheck::PictureFault(const CVexilStack& aStack)
{
    CVexilBlobStore& store = *aStack.iBlobStore;
    // How often values and wallpapers name each picture.
    std::map<int32_t, int32_t> uses;
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
        if (wallPaper != UndefLong)
            ++uses[wallPaper];
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
        const auto* card = static_cast<const CVexilCard*>(cards.ObjAt(slot).get());
        if (!card)
            continue;
        QString fault;
        card->ForEachValue([&](const TCardValues::TEntry& aEntry) {
            if (!fault.isEmpty() || aEntry.Type() != EValBlobId)
                return;
            const int32_t blobId = aEntry.Int();
            if (blobId == UndefLong)
                return;
            if (store.HasBlob(blobId))
                ++uses[blobId];
            else
                fault = QStringLiteral("card ") + Num(slot) + QStringLiteral(" picture ") + Num(blobId);
        });
        if (!fault.isEmpty())
            return fault;
    }
    // A stored count below the uses would delete a picture that is still shown when one use goes.
    for (const auto& [id, count] : uses)
        if (store.ReadBlob(id, true)->RefCount() < count)
            return QStringLiteral("picture ") + Num(id) + QStringLiteral(" refCount");
    ids.Add(store.HighestId());
    // The generator must not reach the value that stands for no id.
    if (!ids.Below(aStack.IdGen().PeekId()) || aStack.IdGen().PeekId() >= UndefLong)
        return QStringLiteral("next id ") + Num(aStack.IdGen().PeekId());
    return {};
}
