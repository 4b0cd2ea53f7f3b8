#pragma once

#include "foundation/VexilBlockList.h"
#include "foundation/VexilCompactValue.h"
#include "foundation/VexilKeyArena.h"
#include "foundation/VexilObject.h"
#include "foundation/VexilStoredObj.h"
#include "foundation/VexilTextCompare.h"
#include "foundation/VexilValueDef.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// Construction flags of an array, added together.
enum EArrFlags : int32_t
{
    EArrStrKey = 1,          // keyed by StrKey, kept in key order
    EArrIntKey = 2,          // keyed by IntKey, kept in ascending order
    EArrSortKeyOrder = 4,    // string keys ordered by the array's sort key
    EArrDupKeys = 8,         // equal keys allowed
    EArrAnyType = 16,        // each element has its own value type; objects allowed
    EArrBinaryCompare = 32,  // string keys compared exactly
};

struct TArrayElem
{
    QString StrKey;
    int32_t IntKey = UndefLong;
    TValue iVal;
};

// The order of the keys of a sort-key-ordered array: implemented by the sort key.
class IVexilKeyCompare
{
public:
    virtual ~IVexilKeyCompare() = default;
    virtual int32_t Id() const = 0;
    // 0 when aKey1 sorts before aKey2, 1 when they are equal, 2 when after.
    virtual int32_t compare(const QString& aKey1, const QString& aKey2) const = 0;
    // A key hint (VexilKeyHint.h) of a key, in the text comparison's hint form; 0 for none.
    virtual uint64_t Hint(const QString& /*aKey*/) const { return 0; }
    // Changes whenever Hint would give other hints for the same keys.
    virtual uint64_t HintLayout() const { return 0; }
};

using TKeyCompareRef = std::shared_ptr<IVexilKeyCompare>;

// The one collection of the program: elements of TArrayElem, kept in key order when keyed,
// in the owner's order otherwise. Callers walk it with cursors (slot numbers) they hold
// themselves; a change under a cursor leaves the cursor's number as it is.
//
// Alloc and AllocStep keep the growth figures of the stored forms (Alloc is the highest
// slot number, one slot always spare); the elements themselves live in counted blocks so
// that positions and keys are found in logarithmic time in arrays of millions.
class CVexilArray : public CVexilStoredObj
{
public:
    // How a sort-key-ordered array finds its sort key by id when none is kept: the model
    // installs a lookup in the current stack.
    using TSortKeyLookup = std::function<TKeyCompareRef(int32_t aSortKeyId)>;
    static void SetSortKeyLookup(TSortKeyLookup aLookup);
    static TSortKeyLookup SortKeyLookup();

    static constexpr int32_t KAllocStep = 50;
    static constexpr int32_t KInitialAlloc = 10;

    // Whether an element of an array may hold a value of the type.
    static bool KnownElemType(int32_t aType);
    // Reads the value of an element of the binary form, whose type aVal.iType holds already,
    // with the checks of the array reader (error 1006 in aContext).
    static void ReadElemValue(CVexilFile& aFile, TValue& aVal, const QString& aContext);

    QString ObjDescr() const override;
    void Construct(int32_t aFlags, int32_t aElemType);

    int32_t Id() const { return iId; }
    void SetId(int32_t aId);
    int32_t Flags() const { return iFlags; }
    void SetFlags(int32_t aFlags);
    int32_t Count() const { return iElems.Size(); }
    bool Changed() const override;
    void SetChanged(bool aChanged) override;

    QString Str(int32_t aIndex) const;
    void SetStr(int32_t aIndex, const QString& aStr);
    int32_t IntNum(int32_t aIndex) const;
    void SetIntNum(int32_t aIndex, int32_t aNum);
    TObjRef Obj(int32_t aIndex) const;
    void SetObj(int32_t aIndex, TObjRef aObj);

    int32_t SortKeyId() const { return iSortKeyId; }
    void SetSortKeyId(int32_t aId);
    TKeyCompareRef SortKey();
    void SetSortKey(TKeyCompareRef aSortKey);

    // Linear searches from the start; true and the index of the first match when found.
    bool GetStrIndex(const QString& aText, int32_t& aIndex) const;
    bool GetIntIndex(int32_t aNum, int32_t& aIndex) const;
    bool GetObjIndex(const CVexilObject* aObj, int32_t& aIndex) const;

    void Clear();
    void DeleteAt(int32_t aIndex, int32_t aNum);
    void Move(int32_t aFromIndex, int32_t aNum, int32_t aToIndex, bool aRenumber, int32_t aStep);
    void SetToLastObj();
    void DeleteStrKey(const QString& aKey);
    void DeleteIntKey(int32_t aKey);
    void AdjustInt(int32_t aThreshold, int32_t aOffset);
    bool ReadStr(const QString& aKey, QString& aText, int32_t& aCursor);
    void SetFirst(int32_t& aCursor) const { aCursor = 0; }
    void SetLast(int32_t& aCursor) const { aCursor = Count(); }
    void RenumberStrKey(int32_t aStep);
    void RenumberIntKey(int32_t aStep);
    void Sort();

    void InitElem(TArrayElem& aElem) const;
    // Both give the index the element was inserted at.
    int32_t CreateStrKey(const TArrayElem& aElem);
    int32_t CreateIntKey(const TArrayElem& aElem);
    void CreateAt(const TArrayElem& aElem, int32_t aIndex);
    int32_t CreateAtEnd(const TArrayElem& aElem);
    bool ReadByStrKey(const QString& aKey, TArrayElem& aElem, int32_t& aCursor);
    bool ReadByIntKey(int32_t aKey, TArrayElem& aElem, int32_t& aCursor);
    void ReadByIndex(int32_t aIndex, TArrayElem& aElem) const;
    bool ReadNext(TArrayElem& aElem, int32_t& aCursor) const;
    bool ReadPrev(TArrayElem& aElem, int32_t& aCursor) const;
    void WriteLastVal(int32_t aCursor, const TValue& aVal);
    bool ReadByObjNum(int32_t aNum, TArrayElem& aElem, int32_t& aIndex) const;
    // The index of the element that ReadByStrKey and ReadByIntKey would read, without a copy.
    bool FindStrKey(const QString& aKey, int32_t& aIndex);
    bool FindIntKey(int32_t aKey, int32_t& aIndex);

    // Re-sorts a string-keyed array whose stored order disagrees with the comparison here
    // (another locale, a changed sort key). The readers call it after clearing Changed.
    void CheckOrder();

    // The binary and the XML form, with the objects the elements hold (VexilArrayIo.cpp).
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

    // Derived switches.
    bool WithKey() const { return iWithStrKey || iWithIntKey; }
    bool WithStrKey() const { return iWithStrKey; }
    bool WithIntKey() const { return iWithIntKey; }
    bool SortKeyOrder() const { return iSortKeyOrder; }
    bool AnyType() const { return iAnyType; }
    bool BinaryCompare() const { return iBinaryCompare; }
    bool HasObjects() const { return iHasObjects; }

    // For the stored forms: the figures as they are written and read, and the elements.
    int32_t ElemType() const { return iElemType; }
    void SetElemType(int32_t aElemType);
    int32_t AllocStep() const { return iAllocStep; }
    void SetAllocStep(int32_t aAllocStep) { iAllocStep = aAllocStep; }
    int32_t Alloc() const { return iAlloc; }
    void SetAlloc(int32_t aAlloc) { iAlloc = aAlloc; }
    // A copy: the array keeps its elements in another form.
    TArrayElem ElemAt(int32_t aIndex) const;
    // ElemAt(aIndex).iVal.iType, iInt and iObj, without the copy.
    int32_t ValTypeAt(int32_t aIndex) const;
    int32_t IntValAt(int32_t aIndex) const;
    const TObjRef& ObjAt(int32_t aIndex) const;
    // ElemAt(aIndex).IntKey, in a large array without reading the element.
    int32_t IntKeyAt(int32_t aIndex) const;
    // ElemAt(aIndex).StrKey without the copy: valid until the array changes.
    QStringView StrKeyAt(int32_t aIndex) const;
    // Stores an element as read at index Count, unchecked; beyond the slots it fails with
    // the subscript error.
    void AppendRead(TArrayElem aElem);
    // Room for aNum elements about to be read or stored into a small array, so that it grows
    // once instead of at every few inserts.
    void Reserve(int32_t aNum) { iElems.Reserve(aNum); }

private:
    // An element as the array keeps it: its value compact, its string key (with the collation
    // key of its reduced form in arrays of the default text order) in the array's key arena,
    // so that an element carries no key object and no string of its own.
    struct TStoredElem
    {
        int32_t IntKey = UndefLong;
        uint32_t iKey = TKeyArena::KNone;
        TCompactValue iVal;
    };

    struct THoldsObject
    {
        bool operator()(const TStoredElem& aElem) const { return aElem.iVal.Obj() != nullptr; }
    };

    void Derive();
    // True when aIndex is an element; raises the subscript error outside the slots.
    bool IsElem(int32_t aIndex) const;
    // Both give the hint of the key in aHint when asked (0 while the array keeps none).
    bool SearchStrKey(const QString& aKey, int32_t& aIndex, uint64_t* aHint = nullptr);
    bool SearchIntKey(int32_t aKey, int32_t& aIndex, uint64_t* aHint = nullptr);
    // Sets the hints of a large keyed array up when they are missing or stale (another order,
    // keys changed in place); false when the array keeps none.
    template <class F>
    bool FreshHints(uint64_t aLayout, F&& aHintOf);
    // The hint of an element about to be inserted into a keyed array; 0 while hints are stale.
    uint64_t HintOf(const TStoredElem& aElem);
    // Inserts at the key's place, or at aIndex in a keyless array; returns the index.
    int32_t Create(const TArrayElem& aElem, int32_t aIndex);
    // Whether the elements keep collation keys: string keys in the default text order.
    bool KeepsCollationKeys() const { return iWithStrKey && !iSortKeyOrder && !iBinaryCompare; }
    // Makes the collation keys again when they are missing or were made in another locale.
    void FreshCollationKeys();
    // aElem as stored, its key in the arena with its collation key where the array keeps them
    // (made fresh).
    TStoredElem Stored(const TArrayElem& aElem);
    // The element as the array's callers see it.
    TArrayElem ElemOf(const TStoredElem& aElem) const
    {
        return {iKeys.Copy(aElem.iKey), aElem.IntKey, aElem.iVal.Get()};
    }
    // The same with the key lent from the arena, for writing the element out while nothing
    // changes the array.
    TArrayElem LentElemOf(const TStoredElem& aElem) const
    {
        return {iKeys.Borrow(aElem.iKey), aElem.IntKey, aElem.iVal.Get()};
    }
    // Counts the keys of aNum elements from aIndex on as released in the arena.
    void ReleaseKeys(int32_t aIndex, int32_t aNum);
    // Stores every key again in a new arena, in element order: aKeyOf(element, new arena)
    // stores the element's key there and gives its reference.
    template <class F>
    void RebuildKeys(F&& aKeyOf);
    // Builds the arena again when released keys waste more room than the live ones take.
    void CompactKeys();
    void MakeRoomAt(int32_t& aIndex, int32_t aNum);
    void SortByKeys();
    // Raises the overflow error when the keys aStep ... Count x aStep do not fit.
    void CheckRenumber(int32_t aStep) const;

    int32_t iId = UndefLong;
    int32_t iFlags = 0;
    int32_t iElemType = EValUndef;
    int32_t iAllocStep = KAllocStep;
    int32_t iSortKeyId = UndefLong;
    TKeyCompareRef iSortKey;
    int32_t iAlloc = KInitialAlloc;
    bool iChanged = false;
    bool iWithStrKey = false;
    bool iWithIntKey = false;
    bool iSortKeyOrder = false;
    bool iAnyType = false;
    bool iBinaryCompare = false;
    bool iHasObjects = false;
    uint64_t iHintLayout = 0;  // the order that the hints of the elements were made for
    uint32_t iKeyGeneration = 0;  // the collation the kept keys were made in; 0 for none
    TBlockList<TStoredElem, THoldsObject> iElems;
    TKeyArena iKeys;  // the string keys of the elements
};
