#include "foundation/VexilArray.h"

#include "foundation/VexilError.h"
#include "foundation/VexilKeyHint.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilTextCompare.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace
{
CVexilArray::TSortKeyLookup gSortKeyLookup;

const QString kArrayContext = QStringLiteral("CVexilArray");

// The key search of the array is a binary search over positions whose probes are part of the
// observable behaviour: which of several equal keys it meets, and so where a duplicate goes.
// In a sorted array its probes depend only on the run [aFirst, aEnd) of elements equal to the
// key, so the run is found by whatever search is fastest and the probes are then replayed on
// positions alone. Found: the equal element met; not found: the place where the key belongs.
bool ReplayKeySearch(int32_t aCount, int32_t aFirst, int32_t aEnd, int32_t& aIndex)
{
    aIndex = aFirst;
    if (aFirst >= aEnd)
        return false;
    int32_t lo = 0;
    int32_t hi = aCount - 1;
    for (;;)
    {
        const int32_t mid = (lo + hi) / 2;
        if (mid >= aFirst && mid < aEnd)
        {
            aIndex = mid;
            return true;
        }
        if (mid < aFirst)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
}

// The run of elements equal to a key in a sorted list, and the replayed search over it.
// aHintOrder(hint) orders the key against an element's hint (TKeyHint::EOrder), aCompare(elem)
// the key against the element (<0, 0, >0).
template <class TList, class FHint, class FCompare>
bool SearchRun(const TList& aElems, FHint&& aHintOrder, FCompare&& aCompare, int32_t& aIndex)
{
    const int32_t count = aElems.Size();
    // -1 key before the element, 0 equal, 1 after.
    const auto order = [&](int32_t aPos) {
        switch (aHintOrder(aElems.HintAt(aPos)))
        {
        case TKeyHint::EBefore: return -1;
        case TKeyHint::EEqual: return 0;
        case TKeyHint::EAfter: return 1;
        case TKeyHint::EUnknown: break;
        }
        const int cmp = aCompare(aElems.At(aPos));
        return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
    };
    const auto known = [](TKeyHint::EOrder aOrder, int aHolds, int aFails) {
        return aOrder == TKeyHint::EUnknown ? -1 : (aOrder == TKeyHint::EAfter ? aHolds : aFails);
    };
    // The first element that is not before the key.
    const int32_t first = aElems.PartitionPoint(
        [&](uint64_t aHint) { return known(aHintOrder(aHint), 1, 0); },
        [&](const auto& aElem) { return aCompare(aElem) > 0; });
    if (first == count || order(first) != 0)
        return ReplayKeySearch(count, first, first, aIndex);
    // Equal keys: most often the next element differs already.
    int32_t end = first + 1;
    if (end < count && order(end) >= 0)
    {
        end = aElems.PartitionPoint(
            [&](uint64_t aHint) {
                const TKeyHint::EOrder hintOrder = aHintOrder(aHint);
                return hintOrder == TKeyHint::EEqual ? 1 : known(hintOrder, 1, 0);
            },
            [&](const auto& aElem) { return aCompare(aElem) >= 0; });
    }
    return ReplayKeySearch(count, first, end, aIndex);
}

// Shell sort with the gaps 1, 4, 13, 40 ...; unstable, so its exact passes decide the order
// of equal keys. aAfter(x, y) tells whether x sorts strictly after y.
template <class T, class F>
void ShellSort(std::vector<T>& aItems, F&& aAfter)
{
    const int64_t count = int64_t(aItems.size());
    int64_t gap = 1;
    while (gap <= count - 1)
        gap = gap * 3 + 1;
    for (gap /= 3; gap > 0; gap /= 3)
    {
        for (int64_t i = gap; i < count; ++i)
        {
            T taken = std::move(aItems[i]);
            int64_t j = i;
            while (j >= gap && aAfter(aItems[j - gap], taken))
            {
                aItems[j] = std::move(aItems[j - gap]);
                j -= gap;
            }
            aItems[j] = std::move(taken);
        }
    }
}

int Sign(int32_t aA, int32_t aB)
{
    return aA < aB ? -1 : (aA > aB ? 1 : 0);
}
// A key in the form its order compares: the text for the sort key's and the binary order,
// the collation key of the reduced text for the default text order.
struct TPreparedKey
{
    QString iText;
    TCollationKey iColl;
};

// The order of string keys chosen by the flags. Keys are brought to their comparison form
// once per operation (Prepare) rather than at each probe; in the default text order the
// elements keep theirs.
class TKeyOrder
{
public:
    enum EKind
    {
        ESortKey,
        EBinary,
        EText,
    };

    // aKeys holds the keys of the stored elements that the order compares and hints.
    explicit TKeyOrder(EKind aKind, const TKeyArena* aKeys = nullptr, TKeyCompareRef aSortKey = {})
        : iKind(aKind), iKeys(aKeys), iSortKey(std::move(aSortKey))
    {
    }

    static TKeyOrder Of(CVexilArray& aArray, const TKeyArena& aKeys)
    {
        if (aArray.SortKeyOrder())
            return TKeyOrder(ESortKey, &aKeys, aArray.SortKey());
        return TKeyOrder(aArray.BinaryCompare() ? EBinary : EText, &aKeys);
    }

    TPreparedKey Prepare(const QString& aKey) const
    {
        if (iKind == EText)
            return {QString(), CVexilTextCompare::Key(CVexilLib::StripSpecialChars(aKey))};
        return {aKey, TCollationKey()};
    }

    // Raises the error of the first comparison of an order that has none.
    void CheckUsable() const
    {
        if (iKind == ESortKey && !iSortKey)  // an index whose sort key cannot be found has no order
            CVexilError::RaiseRunError(ERunInvalidCall, kArrayContext);
    }

    // Compares the prepared aKey with an element as it is stored (its collation key fresh).
    int CompareStored(const TPreparedKey& aKey, uint32_t aStored) const
    {
        switch (iKind)
        {
        case EText: return aKey.iColl.View().Compare(iKeys->Coll(aStored));
        case EBinary: return Sign(QStringView(aKey.iText).compare(iKeys->Text(aStored), Qt::CaseSensitive), 0);
        case ESortKey: break;
        }
        return Compare(aKey.iText, iKeys->Borrow(aStored));
    }

    // The hint of a prepared key, of a stored element, and what the hints of this order
    // depend on.
    uint64_t Hint(const TPreparedKey& aKey) const
    {
        switch (iKind)
        {
        case ESortKey: return iSortKey ? iSortKey->Hint(aKey.iText) : 0;
        case EBinary: return TKeyHint::OfCodeUnits(aKey.iText);
        case EText: return aKey.iColl.Hint();
        }
        return 0;
    }

    uint64_t StoredHint(uint32_t aStored) const
    {
        switch (iKind)
        {
        case EText: return iKeys->Coll(aStored).Hint();
        case EBinary: return TKeyHint::OfCodeUnits(iKeys->Text(aStored));
        case ESortKey: break;
        }
        return Hint(TPreparedKey{iKeys->Borrow(aStored), {}});
    }

    // Whether the hints agree with the comparison now (a sort key's text hints depend on the
    // locale; the collation keys' hints hold in every locale).
    bool HintsApply() const { return iKind != ESortKey || CVexilTextCompare::HintsApply(); }

    uint64_t HintLayout() const
    {
        uint64_t layout = 0;
        if (iKind == ESortKey && iSortKey)
            layout = iSortKey->HintLayout();
        else if (iKind == EText)
            layout = CVexilTextCompare::Generation();
        return (uint64_t(iKind + 1) << 56) ^ (layout & ((uint64_t(1) << 56) - 1));
    }

    // Negative when the prepared aA sorts before the prepared aB, 0 when equal, positive after.
    int Compare(const TPreparedKey& aA, const TPreparedKey& aB) const
    {
        return iKind == EText ? aA.iColl.Compare(aB.iColl) : Compare(aA.iText, aB.iText);
    }

private:
    int Compare(const QString& aA, const QString& aB) const
    {
        switch (iKind)
        {
        case ESortKey:
            if (!iSortKey)  // an index whose sort key cannot be found has no order
                CVexilError::RaiseRunError(ERunInvalidCall, kArrayContext);
            return iSortKey->compare(aA, aB) - 1;
        case EBinary:
            return CVexilLib::CompareStr(aA, aB);
        case EText:
            break;
        }
        return 0;
    }

    EKind iKind;
    const TKeyArena* iKeys;
    TKeyCompareRef iSortKey;
};

// Sorts aElems by the text that aKeyOf picks from each element, each text prepared once.
// A comparison that fails leaves the elements as they were.
template <class TList, class FKey>
void SortElems(TList& aElems, const TKeyOrder& aOrder, FKey&& aKeyOf)
{
    auto elems = aElems.TakeAll();
    std::vector<std::pair<TPreparedKey, int32_t>> items(elems.size());
    for (size_t i = 0; i < elems.size(); ++i)
        items[i] = {aOrder.Prepare(aKeyOf(elems[i])), int32_t(i)};
    try
    {
        ShellSort(items, [&](const auto& aX, const auto& aY) { return aOrder.Compare(aX.first, aY.first) > 0; });
    }
    catch (...)
    {
        aElems.Assign(std::move(elems));
        throw;
    }
    decltype(elems) sorted;
    sorted.reserve(elems.size());
    for (const auto& item : items)
        sorted.push_back(std::move(elems[item.second]));
    aElems.Assign(std::move(sorted));
}

// Changes the value of a stored element through its full form.
template <class TElem, class F>
void ChangeVal(TElem& aElem, F&& aChange)
{
    TValue val = aElem.iVal.Get();
    aChange(val);
    aElem.iVal.Set(val);
}

// Moving more elements than this rebuilds the whole list in one linear pass.
constexpr int32_t kBulkMove = 4096;

// Keyed arrays of this many elements keep key hints; smaller ones search their elements.
constexpr int32_t kHintFrom = 64;
// The hint layout of integer keys, and one that no order has (hints to be made again).
constexpr uint64_t kIntHintLayout = 1;
constexpr uint64_t kStaleHints = ~uint64_t(0);
const QString kNoKey;
}  // namespace

void CVexilArray::SetSortKeyLookup(TSortKeyLookup aLookup)
{
    gSortKeyLookup = std::move(aLookup);
}

CVexilArray::TSortKeyLookup CVexilArray::SortKeyLookup()
{
    return gSortKeyLookup;
}

QString CVexilArray::ObjDescr() const
{
    return QStringLiteral("CVexilArray max=") + QString::number(Count()) + QStringLiteral(", alloc=") +
           QString::number(iAlloc);
}

void CVexilArray::Construct(int32_t aFlags, int32_t aElemType)
{
    iFlags = aFlags;
    iElemType = aElemType;
    iId = UndefLong;
    iSortKeyId = UndefLong;
    iSortKey.reset();
    iAllocStep = KAllocStep;
    iAlloc = KInitialAlloc;
    iElems.Clear();
    iKeys.Clear();
    iKeyGeneration = 0;
    Derive();
    iChanged = true;
}

void CVexilArray::Derive()
{
    iWithStrKey = (iFlags & EArrStrKey) != 0;
    iWithIntKey = (iFlags & EArrIntKey) != 0;
    iSortKeyOrder = (iFlags & EArrSortKeyOrder) != 0;
    iAnyType = (iFlags & EArrAnyType) != 0;
    iBinaryCompare = (iFlags & EArrBinaryCompare) != 0;
    iHasObjects = iElemType >= EValCard || iAnyType;
}

void CVexilArray::SetId(int32_t aId)
{
    iId = aId;
    iChanged = true;
}

void CVexilArray::SetFlags(int32_t aFlags)
{
    iFlags = aFlags;
    iKeyGeneration = 0;
    Derive();
}

void CVexilArray::SetElemType(int32_t aElemType)
{
    iElemType = aElemType;
    Derive();
}

bool CVexilArray::Changed() const
{
    if (iChanged)
        return true;
    if (!iHasObjects)
        return false;
    return iElems.FindIf([](const auto& aElem) {
        const TObjRef& obj = aElem.iVal.Obj();
        return obj && obj->Changed();
    }) >= 0;
}

void CVexilArray::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged || !iHasObjects)
        return;
    iElems.ForEach([](const auto& aElem) {
        if (const TObjRef& obj = aElem.iVal.Obj())
            obj->SetChanged(false);
    });
}

bool CVexilArray::IsElem(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex > std::max(iAlloc, Count() - 1))
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return aIndex < Count();
}

QString CVexilArray::Str(int32_t aIndex) const
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("GetStr Index"));
    CVexilError::Assert(iElemType == EValStr, QStringLiteral("With Str"));
    CVexilError::Assert(!WithKey(), QStringLiteral("Without key"));
    return IsElem(aIndex) ? iElems.At(aIndex).iVal.Str() : QString();
}

void CVexilArray::SetStr(int32_t aIndex, const QString& aStr)
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("LetStr Index"));
    CVexilError::Assert(iElemType == EValStr, QStringLiteral("With Str"));
    CVexilError::Assert(!WithKey(), QStringLiteral("Without key"));
    if (IsElem(aIndex))
        iElems.Update(aIndex, [&](auto& aElem) { ChangeVal(aElem, [&](TValue& aVal) { aVal.iStr = aStr; }); });
    iChanged = true;
}

int32_t CVexilArray::IntNum(int32_t aIndex) const
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("GetIntNum Index"));
    CVexilError::Assert(iElemType == EValInt, QStringLiteral("With Int"));
    CVexilError::Assert(!WithKey(), QStringLiteral("Without key"));
    return IsElem(aIndex) ? iElems.At(aIndex).iVal.Int() : UndefLong;
}

void CVexilArray::SetIntNum(int32_t aIndex, int32_t aNum)
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("LetIntNum Index"));
    CVexilError::Assert(iElemType == EValInt, QStringLiteral("With Int"));
    CVexilError::Assert(!WithKey(), QStringLiteral("Without key"));
    if (IsElem(aIndex))
        iElems.Update(aIndex, [&](auto& aElem) { ChangeVal(aElem, [&](TValue& aVal) { aVal.iInt = aNum; }); });
    iChanged = true;
}

TObjRef CVexilArray::Obj(int32_t aIndex) const
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("GetObj Index"));
    CVexilError::Assert(iHasObjects, QStringLiteral("With Obj"));
    return IsElem(aIndex) ? iElems.At(aIndex).iVal.Obj() : TObjRef();
}

void CVexilArray::SetObj(int32_t aIndex, TObjRef aObj)
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("LetObj Index"));
    CVexilError::Assert(iHasObjects, QStringLiteral("With Obj"));
    CVexilError::Assert(!WithKey(), QStringLiteral("Without key"));
    if (IsElem(aIndex))
        iElems.Update(aIndex, [&](auto& aElem) { ChangeVal(aElem, [&](TValue& aVal) { aVal.iObj = std::move(aObj); }); });
    iChanged = true;
}

void CVexilArray::SetSortKeyId(int32_t aId)
{
    iSortKeyId = aId;
    iSortKey.reset();
    iChanged = true;
}

TKeyCompareRef CVexilArray::SortKey()
{
    if (!iSortKeyOrder)
        return {};
    if (!iSortKey)
    {
        CVexilError::CheckFailed(iSortKeyId != UndefLong, this, QStringLiteral("GetSortKey"), QStringLiteral("id set"));
        if (gSortKeyLookup)
            iSortKey = gSortKeyLookup(iSortKeyId);
    }
    return iSortKey;
}

void CVexilArray::SetSortKey(TKeyCompareRef aSortKey)
{
    iSortKey = std::move(aSortKey);
    iSortKeyId = iSortKey ? iSortKey->Id() : UndefLong;
    iChanged = true;
}

bool CVexilArray::GetStrIndex(const QString& aText, int32_t& aIndex) const
{
    aIndex = iElems.FindIf(
        [&](const auto& aElem) { return CVexilTextCompare::Compare(aElem.iVal.Str(), aText) == 0; });
    return aIndex >= 0;
}

bool CVexilArray::GetIntIndex(int32_t aNum, int32_t& aIndex) const
{
    aIndex = iElems.FindIf([&](const auto& aElem) { return aElem.iVal.Int() == aNum; });
    return aIndex >= 0;
}

bool CVexilArray::GetObjIndex(const CVexilObject* aObj, int32_t& aIndex) const
{
    aIndex = iElems.FindIf([&](const auto& aElem) { return aElem.iVal.Obj().get() == aObj; });
    return aIndex >= 0;
}

void CVexilArray::Clear()
{
    iElems.Clear();
    iKeys.Clear();
    iChanged = true;
}

void CVexilArray::DeleteAt(int32_t aIndex, int32_t aNum)
{
    CVexilError::Assert(aIndex < Count(), QStringLiteral("DeleteAt max"));
    CVexilError::Assert(int64_t(aIndex) + aNum <= Count(), QStringLiteral("DeleteAt aNum"));
    if (aIndex < 0)
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    // Past a failed check only the elements that exist are removed.
    const int32_t num = std::clamp(aNum, 0, std::max(Count() - aIndex, 0));
    ReleaseKeys(aIndex, num);
    iElems.Erase(aIndex, num);
    CompactKeys();
    iChanged = true;
}

void CVexilArray::ReleaseKeys(int32_t aIndex, int32_t aNum)
{
    for (int32_t i = aIndex; i < aIndex + aNum; ++i)
        iKeys.Release(iElems.At(i).iKey);
}

template <class F>
void CVexilArray::RebuildKeys(F&& aKeyOf)
{
    TKeyArena keys;
    iElems.UpdateAll([&](TStoredElem& aElem) { aElem.iKey = aKeyOf(aElem, keys); });
    iKeys = std::move(keys);
}

void CVexilArray::CompactKeys()
{
    if (iKeys.Wasteful())
        RebuildKeys([&](const TStoredElem& aElem, TKeyArena& aKeys) { return aKeys.AddFrom(iKeys, aElem.iKey); });
}

void CVexilArray::MakeRoomAt(int32_t& aIndex, int32_t aNum)
{
    CVexilError::Assert(aIndex <= Count(), QStringLiteral("MakeRoomAt index"));
    if (aIndex < 0)
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    aIndex = std::min(aIndex, Count());  // never leave a hole behind the last element
    if (int64_t(Count()) + aNum > iAlloc)
    {
        if (int64_t(Count()) + aNum + iAllocStep > std::numeric_limits<int32_t>::max())
            CVexilError::RaiseRunError(ERunOverflow, kArrayContext);
        iAlloc = Count() + aNum + iAllocStep;
    }
}

void CVexilArray::Move(int32_t aFromIndex, int32_t aNum, int32_t aToIndex, bool aRenumber, int32_t aStep)
{
    const QString context = QStringLiteral("Move");
    CVexilError::CheckFailed(aRenumber || !WithKey(), this, context, QStringLiteral("key"));
    CVexilError::CheckFailed(int64_t(aFromIndex) + aNum <= Count(), this, context, QStringLiteral("max"));
    const bool outside = aToIndex <= aFromIndex || int64_t(aToIndex) >= int64_t(aFromIndex) + aNum;
    CVexilError::CheckFailed(outside, this, context, QStringLiteral("aToIndex"));
    if (aFromIndex < 0 || aNum < 0)
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    // Past a failed check, only the run that exists moves, and never into itself.
    const int32_t num = std::min(aNum, std::max(Count() - aFromIndex, 0));
    if (num == 0 || !outside || aToIndex == aFromIndex || aToIndex == aFromIndex + aNum)
        return;
    int32_t to = aToIndex;
    MakeRoomAt(to, num);
    if (num > kBulkMove)
    {
        auto all = iElems.TakeAll();
        const auto first = all.begin() + aFromIndex;
        if (to < aFromIndex)
            std::rotate(all.begin() + to, first, first + num);
        else
            std::rotate(first, first + num, all.begin() + to);
        iElems.Assign(std::move(all));
    }
    else
    {
        std::vector<TStoredElem> run;
        run.reserve(num);
        for (int32_t i = 0; i < num; ++i)
            run.push_back(iElems.At(aFromIndex + i));
        iElems.Erase(aFromIndex, num);
        int32_t at = to < aFromIndex ? to : to - num;
        for (TStoredElem& elem : run)
            iElems.Insert(at++, std::move(elem));
    }
    iHintLayout = kStaleHints;
    iChanged = true;
    if (aRenumber)
        RenumberIntKey(aStep);
}

void CVexilArray::SetToLastObj()
{
    if (!iHasObjects)
        return;  // only object arrays have empty slots to drop
    int32_t last = -1;
    iElems.FindMarked(iElems.MarkedCount() - 1, last);
    ReleaseKeys(last + 1, Count() - (last + 1));
    iElems.Erase(last + 1, Count() - (last + 1));
    CompactKeys();
    if (iAlloc > Count() + iAllocStep)
        iAlloc = Count() + iAllocStep;
}

void CVexilArray::DeleteStrKey(const QString& aKey)
{
    CVexilError::Assert(iWithStrKey, QStringLiteral("DeleteStrKey withKey"));
    int32_t index = 0;
    const bool found = SearchStrKey(aKey, index);
    CVexilError::Assert(found, QStringLiteral("DeleteStrKey found"));
    if (found)
        DeleteAt(index, 1);
}

void CVexilArray::DeleteIntKey(int32_t aKey)
{
    CVexilError::Assert(iWithIntKey, QStringLiteral("DeleteIntKey withKey"));
    int32_t index = 0;
    const bool found = SearchIntKey(aKey, index);
    CVexilError::Assert(found, QStringLiteral("DeleteIntKey found"));
    if (found)
        DeleteAt(index, 1);
}

void CVexilArray::AdjustInt(int32_t aThreshold, int32_t aOffset)
{
    CVexilError::CheckFailed(iElemType == EValInt, this, QStringLiteral("AdjustInt"), QStringLiteral("iType"));
    const auto applies = [&](const auto& aElem) {
        return aElem.iVal.Int() >= aThreshold && aElem.iVal.Int() != UndefLong;
    };
    // An overflow fails before anything changed.
    const int32_t overflow = iElems.FindIf([&](const auto& aElem) {
        const int64_t sum = int64_t(aElem.iVal.Int()) + aOffset;
        return applies(aElem) && (sum > std::numeric_limits<int32_t>::max() || sum < std::numeric_limits<int32_t>::min());
    });
    if (overflow >= 0)
        CVexilError::RaiseRunError(ERunOverflow, kArrayContext);
    iElems.UpdateAll([&](auto& aElem) {
        if (applies(aElem))
            ChangeVal(aElem, [&](TValue& aVal) { aVal.iInt += aOffset; });
    });
}

bool CVexilArray::ReadStr(const QString& aKey, QString& aText, int32_t& aCursor)
{
    TArrayElem elem;
    const bool found = ReadByStrKey(aKey, elem, aCursor);
    aText = elem.iVal.iStr;
    return found;
}

void CVexilArray::CheckRenumber(int32_t aStep) const
{
    const int64_t last = int64_t(aStep) * Count();
    if (last > std::numeric_limits<int32_t>::max() || last < std::numeric_limits<int32_t>::min())
        CVexilError::RaiseRunError(ERunOverflow, kArrayContext);
}

void CVexilArray::RenumberStrKey(int32_t aStep)
{
    CVexilError::CheckFailed(iWithStrKey, this, QStringLiteral("RenumberStrKey"), QStringLiteral("with StrKey"));
    CheckRenumber(aStep);
    if (Count() > 0)
    {
        const int width = int(iKeys.Text(iElems.At(0).iKey).size());
        int32_t key = 0;
        RebuildKeys([&](const TStoredElem&, TKeyArena& aKeys) {
            key += aStep;
            return aKeys.Add(CVexilLib::NumToPaddedStr(key, width));
        });
    }
    iKeyGeneration = 0;  // the keys changed
    iHintLayout = kStaleHints;
    iChanged = true;
}

void CVexilArray::RenumberIntKey(int32_t aStep)
{
    CVexilError::CheckFailed(iWithIntKey, this, QStringLiteral("RenumberIntKey"), QStringLiteral("with IntKey"));
    CheckRenumber(aStep);
    int32_t key = 0;
    iElems.UpdateAll([&](auto& aElem) {
        key += aStep;
        aElem.IntKey = key;
    });
    iHintLayout = kStaleHints;
    iChanged = true;
}

void CVexilArray::Sort()
{
    const QString context = QStringLiteral("Sort");
    CVexilError::CheckFailed(!WithKey(), this, context, QStringLiteral("not withKey"));
    CVexilError::CheckFailed(iElemType == EValStr, this, context, QStringLiteral("EValStr"));
    SortElems(iElems, TKeyOrder(TKeyOrder::EText), [](const auto& aElem) { return aElem.iVal.Str(); });
    iChanged = true;
}

void CVexilArray::SortByKeys()
{
    // The keys are lent: the sort moves the elements, never the arena.
    SortElems(iElems, TKeyOrder::Of(*this, iKeys), [&](const TStoredElem& aElem) { return iKeys.Borrow(aElem.iKey); });
    iChanged = true;
}

void CVexilArray::FreshCollationKeys()
{
    if (!KeepsCollationKeys())
        return;
    const uint32_t generation = CVexilTextCompare::Generation();
    if (iKeyGeneration == generation)
        return;
    RebuildKeys([&](const TStoredElem& aElem, TKeyArena& aKeys) {
        const QString text = iKeys.Borrow(aElem.iKey);
        const TCollationKey coll = CVexilTextCompare::Key(CVexilLib::StripSpecialChars(text));
        const TCollationView view = coll.View();
        return aKeys.Add(text, &view);
    });
    iKeyGeneration = generation;
    iHintLayout = kStaleHints;
}

CVexilArray::TStoredElem CVexilArray::Stored(const TArrayElem& aElem)
{
    TStoredElem stored{aElem.IntKey, TKeyArena::KNone, TCompactValue(aElem.iVal)};
    if (KeepsCollationKeys())
    {
        FreshCollationKeys();
        const TCollationKey coll = CVexilTextCompare::Key(CVexilLib::StripSpecialChars(aElem.StrKey));
        const TCollationView view = coll.View();
        stored.iKey = iKeys.Add(aElem.StrKey, &view);
    }
    else
    {
        stored.iKey = iKeys.Add(aElem.StrKey);
    }
    return stored;
}

void CVexilArray::CheckOrder()
{
    if (!iWithStrKey || Count() < 2)
        return;
    const TKeyOrder order = TKeyOrder::Of(*this, iKeys);
    if (KeepsCollationKeys())
    {
        // The kept keys of the locale here, whatever locale the array was made in.
        FreshCollationKeys();
        for (int32_t i = 1; i < Count(); ++i)
        {
            if (iKeys.Coll(iElems.At(i - 1).iKey).Compare(iKeys.Coll(iElems.At(i).iKey)) > 0)
            {
                SortByKeys();
                return;
            }
        }
        return;
    }
    // The keys are lent: nothing changes the arena until the order is known.
    TPreparedKey previous = order.Prepare(iKeys.Borrow(iElems.At(0).iKey));
    for (int32_t i = 1; i < Count(); ++i)
    {
        TPreparedKey next = order.Prepare(iKeys.Borrow(iElems.At(i).iKey));
        if (order.Compare(previous, next) > 0)
        {
            SortByKeys();
            return;
        }
        previous = std::move(next);
    }
}

void CVexilArray::InitElem(TArrayElem& aElem) const
{
    // Field by field: every element read from a file starts here.
    aElem.StrKey.clear();
    aElem.IntKey = UndefLong;
    aElem.iVal.iStr.clear();
    aElem.iVal.iReal = 0;
    aElem.iVal.iDate = 0;
    aElem.iVal.iTime = 0;
    aElem.iVal.iBool = false;
    aElem.iVal.iObj.reset();
    aElem.iVal.iType = iAnyType ? EValUndef : iElemType;
    aElem.iVal.iInt = UndefLong;
    aElem.iVal.iInt0 = UndefLong;
    aElem.iVal.iInt1 = UndefLong;
}

template <class F>
bool CVexilArray::FreshHints(uint64_t aLayout, F&& aHintOf)
{
    if (!iElems.Hinted() && Count() < kHintFrom)
        return false;
    if (!iElems.Hinted() || iHintLayout != aLayout)
    {
        iElems.SetHints(aHintOf);
        iHintLayout = aLayout;
    }
    return true;
}

bool CVexilArray::SearchStrKey(const QString& aKey, int32_t& aIndex, uint64_t* aHint)
{
    aIndex = 0;
    if (Count() == 0)
        return false;
    const TKeyOrder order = TKeyOrder::Of(*this, iKeys);
    order.CheckUsable();
    FreshCollationKeys();
    const TPreparedKey key = order.Prepare(aKey);
    const bool hinted =
        FreshHints(order.HintLayout(), [&](const TStoredElem& aElem) { return order.StoredHint(aElem.iKey); });
    const uint64_t hint = hinted ? order.Hint(key) : 0;
    if (aHint)
        *aHint = hint;
    const uint64_t keyHint = order.HintsApply() ? hint : 0;
    return SearchRun(
        iElems, [&](uint64_t aHint) { return TKeyHint::Order(keyHint, aHint); },
        [&](const TStoredElem& aElem) { return order.CompareStored(key, aElem.iKey); }, aIndex);
}

bool CVexilArray::SearchIntKey(int32_t aKey, int32_t& aIndex, uint64_t* aHint)
{
    aIndex = 0;
    if (Count() == 0)
        return false;
    const bool hinted = FreshHints(kIntHintLayout, [](const auto& aElem) { return TKeyHint::OfInt(aElem.IntKey); });
    const uint64_t keyHint = hinted ? TKeyHint::OfInt(aKey) : 0;
    if (aHint)
        *aHint = keyHint;
    return SearchRun(
        iElems, [&](uint64_t aHint) { return TKeyHint::Order(keyHint, aHint); },
        [&](const auto& aElem) { return Sign(aKey, aElem.IntKey); }, aIndex);
}

uint64_t CVexilArray::HintOf(const TStoredElem& aElem)
{
    if (!iElems.Hinted())
        return 0;
    if (iWithIntKey)
        return iHintLayout == kIntHintLayout ? TKeyHint::OfInt(aElem.IntKey) : 0;
    const TKeyOrder order = TKeyOrder::Of(*this, iKeys);
    return iHintLayout == order.HintLayout() ? order.StoredHint(aElem.iKey) : 0;
}

int32_t CVexilArray::Create(const TArrayElem& aElem, int32_t aIndex)
{
    const QString context = QStringLiteral("Create");
    CVexilError::CheckFailed(aElem.iVal.iType != EValUndef, this, context, QStringLiteral("aElem.iVal.iType"));
    CVexilError::CheckFailed(iAnyType || aElem.iVal.iType == iElemType, this, context, QStringLiteral("iType"));
    int32_t index = aIndex;
    uint64_t hint = 0;
    uint64_t layout = 0;
    if (WithKey())
    {
        const bool found =
            iWithStrKey ? SearchStrKey(aElem.StrKey, index, &hint) : SearchIntKey(aElem.IntKey, index, &hint);
        layout = iHintLayout;
        CVexilError::Assert(!found || (iFlags & EArrDupKeys) != 0, QStringLiteral("Create duplicate"));
    }
    else if (index == UndefLong)
    {
        index = Count();
    }
    // The element is checked before room is made, so that a refused element leaves no trace.
    CVexilError::Assert(iWithStrKey || aElem.StrKey.isEmpty(), QStringLiteral("Create key"));
    CVexilError::Assert(iElemType == EValStr || aElem.iVal.iStr.isEmpty(), QStringLiteral("Create str"));
    CVexilError::Assert(iHasObjects || !aElem.iVal.iObj, QStringLiteral("Create obj"));
    MakeRoomAt(index, 1);
    TStoredElem stored = Stored(aElem);
    // The key's hint from the search, unless it made none or the hints were made again meanwhile.
    if (hint == 0 || layout != iHintLayout)
        hint = HintOf(stored);
    iElems.Insert(index, std::move(stored), hint);
    iChanged = true;
    return index;
}

int32_t CVexilArray::CreateStrKey(const TArrayElem& aElem)
{
    CVexilError::CheckFailed(iWithStrKey, this, QStringLiteral("CreateStrKey"), QStringLiteral("with StrKey"));
    return Create(aElem, UndefLong);
}

int32_t CVexilArray::CreateIntKey(const TArrayElem& aElem)
{
    CVexilError::CheckFailed(iWithIntKey, this, QStringLiteral("CreateIntKey"), QStringLiteral("with IntKey"));
    return Create(aElem, UndefLong);
}

void CVexilArray::CreateAt(const TArrayElem& aElem, int32_t aIndex)
{
    Create(aElem, aIndex);
}

int32_t CVexilArray::CreateAtEnd(const TArrayElem& aElem)
{
    return Create(aElem, UndefLong);
}

bool CVexilArray::ReadByStrKey(const QString& aKey, TArrayElem& aElem, int32_t& aCursor)
{
    CVexilError::Assert(iWithStrKey, QStringLiteral("ReadByStrKey withKey"));
    int32_t index = 0;
    if (!SearchStrKey(aKey, index))
    {
        InitElem(aElem);
        return false;
    }
    aElem = ElemOf(iElems.At(index));
    aCursor = index + 1;
    return true;
}

bool CVexilArray::ReadByIntKey(int32_t aKey, TArrayElem& aElem, int32_t& aCursor)
{
    CVexilError::Assert(iWithIntKey, QStringLiteral("ReadByIntKey withKey"));
    int32_t index = 0;
    if (!SearchIntKey(aKey, index))
    {
        InitElem(aElem);
        return false;
    }
    aElem = ElemOf(iElems.At(index));
    aCursor = index + 1;
    return true;
}

void CVexilArray::ReadByIndex(int32_t aIndex, TArrayElem& aElem) const
{
    const QString context = QStringLiteral("ReadByIndex");
    CVexilError::CheckFailed(!WithKey(), this, context, QStringLiteral("key"));
    CVexilError::CheckFailed(aIndex < Count(), this, context, QStringLiteral("iMax"));
    if (IsElem(aIndex))
        aElem = ElemOf(iElems.At(aIndex));
    else
        InitElem(aElem);
}

bool CVexilArray::ReadNext(TArrayElem& aElem, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= Count())
    {
        InitElem(aElem);
        return false;
    }
    aElem = ElemOf(iElems.At(aCursor));
    ++aCursor;
    return true;
}

bool CVexilArray::ReadPrev(TArrayElem& aElem, int32_t& aCursor) const
{
    // A cursor left behind the end by deletions steps back onto the last element, never
    // onto a slot that holds nothing.
    if (aCursor < 1 || Count() == 0)
    {
        InitElem(aElem);
        return false;
    }
    aCursor = std::min(aCursor, Count()) - 1;
    aElem = ElemOf(iElems.At(aCursor));
    return true;
}

void CVexilArray::WriteLastVal(int32_t aCursor, const TValue& aVal)
{
    // A write that cannot land on an element fails instead of being lost.
    if (aCursor < 1 || aCursor > Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    iElems.Update(aCursor - 1, [&](auto& aElem) { aElem.iVal.Set(aVal); });
    iChanged = true;
}

bool CVexilArray::ReadByObjNum(int32_t aNum, TArrayElem& aElem, int32_t& aIndex) const
{
    int32_t index = aNum;
    const bool found = iHasObjects ? iElems.FindMarked(aNum, index) : (aNum >= 0 && aNum < Count());
    if (!found)
    {
        InitElem(aElem);
        return false;
    }
    aIndex = index;
    aElem = ElemOf(iElems.At(index));
    return true;
}

bool CVexilArray::FindStrKey(const QString& aKey, int32_t& aIndex)
{
    CVexilError::Assert(iWithStrKey, QStringLiteral("ReadByStrKey withKey"));
    return SearchStrKey(aKey, aIndex);
}

bool CVexilArray::FindIntKey(int32_t aKey, int32_t& aIndex)
{
    CVexilError::Assert(iWithIntKey, QStringLiteral("ReadByIntKey withKey"));
    return SearchIntKey(aKey, aIndex);
}

TArrayElem CVexilArray::ElemAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return ElemOf(iElems.At(aIndex));
}

int32_t CVexilArray::ValTypeAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return iElems.At(aIndex).iVal.Type();
}

int32_t CVexilArray::IntValAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return iElems.At(aIndex).iVal.Int();
}

const TObjRef& CVexilArray::ObjAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return iElems.At(aIndex).iVal.Obj();
}

int32_t CVexilArray::IntKeyAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    if (iWithIntKey && iElems.Hinted() && iHintLayout == kIntHintLayout)
        return TKeyHint::IntOf(iElems.HintAt(aIndex));
    return iElems.At(aIndex).IntKey;
}

QStringView CVexilArray::StrKeyAt(int32_t aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    return iKeys.Text(iElems.At(aIndex).iKey);
}

void CVexilArray::AppendRead(TArrayElem aElem)
{
    if (Count() > iAlloc)
        CVexilError::RaiseRunError(ERunSubscript, kArrayContext);
    TStoredElem stored = Stored(aElem);
    const uint64_t hint = WithKey() ? HintOf(stored) : 0;
    iElems.Insert(Count(), std::move(stored), hint);
}
