#include "model/VexilCardValues.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilValue.h"
#include "model/VexilRecordStore.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace
{
// The record head: capacity, bytes used, value count, the array's growth count, the head form;
// an uncommon head goes on with the array's id, element type, growth step and sort key id.
constexpr uint32_t kCapAt = 0;
constexpr uint32_t kUsedAt = 4;
constexpr uint32_t kCountAt = 8;
constexpr uint32_t kAllocAt = 12;
constexpr uint32_t kFormAt = 16;
constexpr uint32_t kShortHead = 17;
constexpr uint32_t kLongHead = kShortHead + 16;

// The tag byte of an entry: the value's own field in the low bits, then the form of the rest.
enum ECode : uint8_t
{
    ECodeUndef,
    ECodeStr,
    ECodeInt,
    ECodeReal,
    ECodeDate,
    ECodeTime,
    ECodeBool,
    ECodeBlobId,
    ECodeWhole,  // every field, for the values that are neither pattern and for other types
};
constexpr uint8_t kCodeMask = 0x0f;
constexpr uint8_t kFreshRest = 0x10;  // the integers UndefLong, as an array's InitElem leaves them
constexpr uint8_t kNullStr = 0x20;    // the text is a null string, not an empty one
constexpr uint32_t kWide = 0x80000000u;
// Key and tag.
constexpr uint32_t kEntryHead = 5;

template <class T>
T Load(const uint8_t* aAt)
{
    T value;
    std::memcpy(&value, aAt, sizeof(T));
    return value;
}

template <class T>
uint8_t* Store(uint8_t* aAt, T aValue)
{
    std::memcpy(aAt, &aValue, sizeof(T));
    return aAt + sizeof(T);
}

const int32_t kTypeOfCode[] = {EValUndef, EValStr, EValInt, EValReal, EValDate, EValTime, EValBool, EValBlobId};

ECode CodeOf(int32_t aType)
{
    switch (aType)
    {
    case EValUndef: return ECodeUndef;
    case EValStr: return ECodeStr;
    case EValInt: return ECodeInt;
    case EValReal: return ECodeReal;
    case EValDate: return ECodeDate;
    case EValTime: return ECodeTime;
    case EValBool: return ECodeBool;
    case EValBlobId: return ECodeBlobId;
    default: return ECodeWhole;
    }
}

bool BitZero(double aNum)
{
    return std::bit_cast<uint64_t>(aNum) == 0;  // not -0.0
}

// Whether the fields other than the one aCode names all hold aRest (texts null, reals +0).
bool RestIs(const TValue& aVal, ECode aCode, int32_t aRest)
{
    const bool ownInt = aCode == ECodeInt || aCode == ECodeBlobId;
    return (ownInt || aVal.iInt == aRest) && (aCode == ECodeStr || aVal.iStr.isNull()) &&
           (aCode == ECodeReal || BitZero(aVal.iReal)) && (aCode == ECodeDate || BitZero(aVal.iDate)) &&
           (aCode == ECodeTime || BitZero(aVal.iTime)) && (aCode == ECodeBool || !aVal.iBool) && aVal.iInt0 == aRest &&
           aVal.iInt1 == aRest;
}

// The tag of a value: its code and the form of its rest.
uint8_t TagOf(const TValue& aVal)
{
    ECode code = CodeOf(aVal.iType);
    uint8_t rest = 0;
    if (code != ECodeWhole && !RestIs(aVal, code, 0))
    {
        if (RestIs(aVal, code, UndefLong))
            rest = kFreshRest;
        else
            code = ECodeWhole;
    }
    const bool strKept = code == ECodeStr || code == ECodeWhole;
    return uint8_t(code | rest | (strKept && aVal.iStr.isNull() ? kNullStr : 0));
}

bool Narrow(const QString& aText)
{
    for (const QChar c : aText)
        if (c.unicode() > 0xff)
            return false;
    return true;
}

// A text: its length in UTF-16 units (with the wide bit), then one byte a unit when every
// unit fits, else the units.
uint32_t TextLen(const QString& aText)
{
    return 4 + uint32_t(aText.size()) * (Narrow(aText) ? 1 : 2);
}

uint8_t* PutText(uint8_t* aAt, const QString& aText)
{
    const uint32_t units = uint32_t(aText.size());
    if (Narrow(aText))
    {
        aAt = Store<uint32_t>(aAt, units);
        for (const QChar c : aText)
            *aAt++ = uint8_t(c.unicode());
        return aAt;
    }
    aAt = Store<uint32_t>(aAt, units | kWide);
    std::memcpy(aAt, aText.utf16(), size_t(units) * 2);
    return aAt + size_t(units) * 2;
}

const uint8_t* GetText(const uint8_t* aAt, QString& aText, bool aNull)
{
    const uint32_t word = Load<uint32_t>(aAt);
    aAt += 4;
    const uint32_t units = word & ~kWide;
    if (word & kWide)
    {
        aText = QString(qsizetype(units), Qt::Uninitialized);
        std::memcpy(aText.data(), aAt, size_t(units) * 2);
        return aAt + size_t(units) * 2;
    }
    if (aNull)
        aText = QString();
    else
        aText = QString::fromLatin1(reinterpret_cast<const char*>(aAt), qsizetype(units));
    return aAt + units;
}

uint32_t SkipText(const uint8_t* aAt)
{
    const uint32_t word = Load<uint32_t>(aAt);
    return 4 + (word & ~kWide) * ((word & kWide) ? 2 : 1);
}

// The bytes of a value after its tag, apart from its text.
uint32_t FixedLen(ECode aCode)
{
    switch (aCode)
    {
    case ECodeUndef:
    case ECodeStr: return 0;
    case ECodeInt:
    case ECodeBlobId: return 4;
    case ECodeReal:
    case ECodeDate:
    case ECodeTime: return 8;
    case ECodeBool: return 1;
    default: return 4 + 4 + 3 * 8 + 2 * 4 + 1;
    }
}

// The bytes of a value after its tag.
uint32_t PayloadLen(const TValue& aVal, uint8_t aTag)
{
    const ECode code = ECode(aTag & kCodeMask);
    const bool text = code == ECodeStr || code == ECodeWhole;
    return FixedLen(code) + (text ? TextLen(aVal.iStr) : 0);
}

uint8_t* PutPayload(uint8_t* aAt, const TValue& aVal, uint8_t aTag)
{
    switch (ECode(aTag & kCodeMask))
    {
    case ECodeUndef: return aAt;
    case ECodeStr: return PutText(aAt, aVal.iStr);
    case ECodeInt:
    case ECodeBlobId: return Store<int32_t>(aAt, aVal.iInt);
    case ECodeReal: return Store<double>(aAt, aVal.iReal);
    case ECodeDate: return Store<double>(aAt, aVal.iDate);
    case ECodeTime: return Store<double>(aAt, aVal.iTime);
    case ECodeBool: return Store<uint8_t>(aAt, aVal.iBool ? 1 : 0);
    default:
        aAt = Store<int32_t>(aAt, aVal.iType);
        aAt = Store<int32_t>(aAt, aVal.iInt);
        aAt = PutText(aAt, aVal.iStr);
        aAt = Store<double>(aAt, aVal.iReal);
        aAt = Store<double>(aAt, aVal.iDate);
        aAt = Store<double>(aAt, aVal.iTime);
        aAt = Store<int32_t>(aAt, aVal.iInt0);
        aAt = Store<int32_t>(aAt, aVal.iInt1);
        return Store<uint8_t>(aAt, aVal.iBool ? 1 : 0);
    }
}

// Writes a whole entry (key, tag, payload) and returns its end.
uint8_t* PutEntry(uint8_t* aAt, int32_t aKey, const TValue& aVal, uint8_t aTag)
{
    aAt = Store<int32_t>(aAt, aKey);
    *aAt++ = aTag;
    return PutPayload(aAt, aVal, aTag);
}

uint32_t PayloadLenAt(const uint8_t* aAt, uint8_t aTag)
{
    const ECode code = ECode(aTag & kCodeMask);
    if (code == ECodeStr)
        return SkipText(aAt);
    // A whole value's text follows its type and integer.
    return FixedLen(code) + (code == ECodeWhole ? SkipText(aAt + 8) : 0);
}

TValue Decode(const uint8_t* aAt, uint8_t aTag)
{
    TValue val;
    const ECode code = ECode(aTag & kCodeMask);
    const bool nullStr = (aTag & kNullStr) != 0;
    if (code == ECodeWhole)
    {
        val.iType = Load<int32_t>(aAt);
        val.iInt = Load<int32_t>(aAt + 4);
        aAt = GetText(aAt + 8, val.iStr, nullStr);
        val.iReal = Load<double>(aAt);
        val.iDate = Load<double>(aAt + 8);
        val.iTime = Load<double>(aAt + 16);
        val.iInt0 = Load<int32_t>(aAt + 24);
        val.iInt1 = Load<int32_t>(aAt + 28);
        val.iBool = Load<uint8_t>(aAt + 32) != 0;
        return val;
    }
    val.iType = kTypeOfCode[code];
    if (aTag & kFreshRest)
        val.iInt = val.iInt0 = val.iInt1 = UndefLong;
    switch (code)
    {
    case ECodeStr: GetText(aAt, val.iStr, nullStr); break;
    case ECodeInt:
    case ECodeBlobId: val.iInt = Load<int32_t>(aAt); break;
    case ECodeReal: val.iReal = Load<double>(aAt); break;
    case ECodeDate: val.iDate = Load<double>(aAt); break;
    case ECodeTime: val.iTime = Load<double>(aAt); break;
    case ECodeBool: val.iBool = Load<uint8_t>(aAt) != 0; break;
    default: break;
    }
    return val;
}

// The array figures a record keeps, with the ones a card's array starts with.
struct TFigures
{
    int32_t Id = UndefLong;
    int32_t ElemType = EValStr;
    int32_t AllocStep = CVexilArray::KAllocStep;
    int32_t Alloc = CVexilArray::KInitialAlloc;
    int32_t SortKeyId = UndefLong;

    bool Usual() const
    {
        return Id == UndefLong && ElemType == EValStr && AllocStep == CVexilArray::KAllocStep && SortKeyId == UndefLong;
    }
    uint32_t HeadLen() const { return Usual() ? kShortHead : kLongHead; }
    // The figures of a new card's array: with no values, such a card keeps no record.
    bool Initial() const { return Usual() && Alloc == CVexilArray::KInitialAlloc; }
};

TFigures FiguresOf(const uint8_t* aRec)
{
    TFigures figures;
    if (!aRec)
        return figures;
    figures.Alloc = Load<int32_t>(aRec + kAllocAt);
    if (aRec[kFormAt] != 0)
    {
        figures.Id = Load<int32_t>(aRec + kShortHead);
        figures.ElemType = Load<int32_t>(aRec + kShortHead + 4);
        figures.AllocStep = Load<int32_t>(aRec + kShortHead + 8);
        figures.SortKeyId = Load<int32_t>(aRec + kShortHead + 12);
    }
    return figures;
}

// Writes the head of an empty record of aCapacity bytes.
void PutHead(uint8_t* aRec, uint32_t aCapacity, const TFigures& aFigures)
{
    Store<uint32_t>(aRec + kCapAt, aCapacity);
    Store<uint32_t>(aRec + kUsedAt, aFigures.HeadLen());
    Store<int32_t>(aRec + kCountAt, 0);
    Store<int32_t>(aRec + kAllocAt, aFigures.Alloc);
    aRec[kFormAt] = aFigures.Usual() ? 0 : 1;
    if (!aFigures.Usual())
    {
        uint8_t* at = aRec + kShortHead;
        at = Store<int32_t>(at, aFigures.Id);
        at = Store<int32_t>(at, aFigures.ElemType);
        at = Store<int32_t>(at, aFigures.AllocStep);
        Store<int32_t>(at, aFigures.SortKeyId);
    }
}

// A record built value by value in key order: its bytes grow in one buffer used again for
// every card, and only the finished record is put into the store.
class TRecordBuilder
{
public:
    explicit TRecordBuilder(const TFigures& aFigures)
    {
        static std::vector<uint8_t> buffer;
        iBytes = &buffer;
        iBytes->resize(aFigures.HeadLen());
        PutHead(iBytes->data(), 0, aFigures);
    }

    void Add(int32_t aKey, const TValue& aVal)
    {
        const uint8_t tag = TagOf(aVal);
        const size_t at = iBytes->size();
        iBytes->resize(at + kEntryHead + PayloadLen(aVal, tag));
        PutEntry(iBytes->data() + at, aKey, aVal, tag);
        ++iCount;
    }

    // The record in the store.
    uint8_t* Finish()
    {
        const uint32_t size = uint32_t(iBytes->size());
        uint32_t capacity = 0;
        uint8_t* rec = CVexilRecordStore::Shared().Allocate(size, capacity);
        std::memcpy(rec, iBytes->data(), size);
        Store<uint32_t>(rec + kCapAt, capacity);
        Store<uint32_t>(rec + kUsedAt, size);
        Store<int32_t>(rec + kCountAt, iCount);
        return rec;
    }

private:
    std::vector<uint8_t>* iBytes;
    int32_t iCount = 0;
};
}  // namespace

TCardValues::TCardValues(TCardValues&& aOther) noexcept : iRec(std::exchange(aOther.iRec, nullptr)) {}

TCardValues& TCardValues::operator=(TCardValues&& aOther) noexcept
{
    if (this != &aOther)
    {
        Clear();
        iRec = std::exchange(aOther.iRec, nullptr);
    }
    return *this;
}

int32_t TCardValues::TEntry::Key() const
{
    return Load<int32_t>(iAt);
}

int32_t TCardValues::TEntry::Type() const
{
    const uint8_t tag = iAt[4];
    const ECode code = ECode(tag & kCodeMask);
    return code == ECodeWhole ? Load<int32_t>(iAt + kEntryHead) : kTypeOfCode[code];
}

int32_t TCardValues::TEntry::Int() const
{
    const uint8_t tag = iAt[4];
    switch (ECode(tag & kCodeMask))
    {
    case ECodeInt:
    case ECodeBlobId: return Load<int32_t>(iAt + kEntryHead);
    case ECodeWhole: return Load<int32_t>(iAt + kEntryHead + 4);
    default: return (tag & kFreshRest) ? UndefLong : 0;
    }
}

TValue TCardValues::TEntry::Value() const
{
    return Decode(iAt + kEntryHead, iAt[4]);
}

int32_t TCardValues::Count() const
{
    return iRec ? Load<int32_t>(iRec + kCountAt) : 0;
}

uint32_t TCardValues::RecordBytes() const
{
    return iRec ? Load<uint32_t>(iRec + kCapAt) : 0;
}

const uint8_t* TCardValues::First() const
{
    return iRec ? iRec + (iRec[kFormAt] ? kLongHead : kShortHead) : nullptr;
}

const uint8_t* TCardValues::End() const
{
    return iRec ? iRec + Load<uint32_t>(iRec + kUsedAt) : nullptr;
}

const uint8_t* TCardValues::NextOf(const uint8_t* aEntry)
{
    return aEntry + kEntryHead + PayloadLenAt(aEntry + kEntryHead, aEntry[4]);
}

const uint8_t* TCardValues::Find(int32_t aKey) const
{
    // Ascending keys: the walk stops at the first key not below.
    for (const uint8_t* at = First(); at != End(); at = NextOf(at))
    {
        const int32_t key = Load<int32_t>(at);
        if (key == aKey)
            return at;
        if (key > aKey)
            break;
    }
    return nullptr;
}

bool TCardValues::Get(int32_t aKey, TValue& aVal) const
{
    const uint8_t* at = Find(aKey);
    if (!at)
        return false;
    aVal = Decode(at + kEntryHead, at[4]);
    return true;
}

void TCardValues::Create(uint32_t aSize)
{
    uint32_t capacity = 0;
    iRec = CVexilRecordStore::Shared().Allocate(std::max(aSize, kShortHead), capacity);
    PutHead(iRec, capacity, TFigures());
}

uint8_t* TCardValues::Splice(uint32_t aOffset, uint32_t aOldLen, uint32_t aNewLen)
{
    const uint32_t used = Load<uint32_t>(iRec + kUsedAt);
    const uint32_t capacity = Load<uint32_t>(iRec + kCapAt);
    const uint32_t newUsed = used - aOldLen + aNewLen;
    const uint32_t tail = used - aOffset - aOldLen;
    if (newUsed > capacity)
    {
        uint32_t newCapacity = 0;
        uint8_t* grown = CVexilRecordStore::Shared().Allocate(newUsed, newCapacity);
        std::memcpy(grown, iRec, aOffset);
        std::memcpy(grown + aOffset + aNewLen, iRec + aOffset + aOldLen, tail);
        CVexilRecordStore::Shared().Release(iRec, capacity);
        iRec = grown;
        Store<uint32_t>(iRec + kCapAt, newCapacity);
    }
    else if (aOldLen != aNewLen)
    {
        std::memmove(iRec + aOffset + aNewLen, iRec + aOffset + aOldLen, tail);
    }
    Store<uint32_t>(iRec + kUsedAt, newUsed);
    return iRec;
}

void TCardValues::Set(int32_t aKey, const TValue& aVal)
{
    const uint8_t tag = TagOf(aVal);
    const uint32_t newLen = kEntryHead + PayloadLen(aVal, tag);
    if (!iRec)
        Create(kShortHead + newLen);
    // The entry of the key, or the place of the first greater key.
    const uint8_t* at = First();
    for (; at != End(); at = NextOf(at))
        if (Load<int32_t>(at) >= aKey)
            break;
    const uint32_t offset = uint32_t(at - iRec);
    const bool found = at != End() && Load<int32_t>(at) == aKey;
    if (!found)
    {
        // The value array's growth: one step beyond the count when the count passes it.
        const int32_t count = Count();
        TFigures figures = FiguresOf(iRec);
        if (int64_t(count) + 1 > figures.Alloc)
        {
            if (int64_t(count) + 1 + figures.AllocStep > std::numeric_limits<int32_t>::max())
                CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilArray"));
            Store<int32_t>(iRec + kAllocAt, count + 1 + figures.AllocStep);
        }
        Store<int32_t>(iRec + kCountAt, count + 1);
    }
    const uint32_t oldLen = found ? uint32_t(NextOf(at) - at) : 0;
    PutEntry(Splice(offset, oldLen, newLen) + offset, aKey, aVal, tag);
}

bool TCardValues::Remove(int32_t aKey)
{
    const uint8_t* at = Find(aKey);
    if (!at)
        return false;
    const uint32_t offset = uint32_t(at - iRec);
    Splice(offset, uint32_t(NextOf(at) - at), 0);
    Store<int32_t>(iRec + kCountAt, Count() - 1);
    return true;
}

void TCardValues::Clear()
{
    if (iRec)
        CVexilRecordStore::Shared().Release(iRec, Load<uint32_t>(iRec + kCapAt));
    iRec = nullptr;
}

void TCardValues::ToArray(CVexilArray& aArray) const
{
    const TFigures figures = FiguresOf(iRec);
    aArray.Construct(EArrIntKey + EArrAnyType, EValStr);
    aArray.SetId(figures.Id);
    aArray.SetElemType(figures.ElemType);
    aArray.SetAllocStep(figures.AllocStep);
    aArray.SetAlloc(figures.Alloc);
    aArray.SetSortKeyId(figures.SortKeyId);
    aArray.Reserve(Count());
    ForEach([&](const TEntry& aEntry) {
        TArrayElem elem;
        elem.IntKey = aEntry.Key();
        elem.iVal = aEntry.Value();
        aArray.AppendRead(std::move(elem));
    });
}

void TCardValues::FromArray(const CVexilArray& aArray)
{
    Clear();
    TFigures figures;
    figures.Id = aArray.Id();
    figures.ElemType = aArray.ElemType();
    figures.AllocStep = aArray.AllocStep();
    figures.Alloc = aArray.Alloc();
    figures.SortKeyId = aArray.SortKeyId();
    const int32_t count = aArray.Count();
    if (count == 0 && figures.Initial())
        return;
    TRecordBuilder record(figures);
    for (int32_t i = 0; i < count; ++i)
    {
        const TArrayElem elem = aArray.ElemAt(i);
        record.Add(elem.IntKey, elem.iVal);
    }
    iRec = record.Finish();
}

// ---- the card's value array in the binary stack file ----

namespace
{
const QString kArrayContext = QStringLiteral("CVexilArray.Internalize");
const QString kCardContext = QStringLiteral("CVexilCard.Internalize");
// The flags of a card's value array: keyed by field id, each value of its own type.
constexpr int32_t kValuesFlags = EArrIntKey + EArrAnyType;
// Arrays whose elements take at most this many bytes are read without a look at the file size.
constexpr int64_t kShortRun = 4096;
constexpr int32_t kMaxAllocStep = 1000;

// The bytes of a value in the file after its type.
int32_t FileLen(int32_t aType, int32_t aTextUnits)
{
    switch (aType)
    {
    case EValUndef: return 0;
    case EValStr: return 2 * aTextUnits + 2;
    case EValInt:
    case EValBlobId:
    case EValDate:
    case EValTime: return CVexilBinObj::ExtIntLen();
    case EValReal: return CVexilBinObj::ExtRealLen();
    case EValBool: return CVexilBinObj::ExtShortLen();
    case EValIntPair: return 2 * CVexilBinObj::ExtIntLen();
    default: return CVexilBinObj::ExtShortLen();  // an object, which a card's value never keeps
    }
}

void WriteFileValue(CVexilFile& aFile, const TValue& aVal)
{
    switch (aVal.iType)
    {
    case EValUndef: break;
    case EValStr: aFile.WriteStr(aVal.iStr); break;
    case EValInt:
    case EValBlobId: aFile.WriteInt(aVal.iInt); break;
    case EValReal: aFile.WriteReal(aVal.iReal); break;
    case EValDate: aFile.WriteInt(CVexilValue::DateToInt(aVal.iDate)); break;
    case EValTime: aFile.WriteInt(CVexilValue::TimeToInt(aVal.iTime)); break;
    case EValBool: aFile.WriteBoolean(aVal.iBool); break;
    case EValIntPair:
        aFile.WriteInt(aVal.iInt0);
        aFile.WriteInt(aVal.iInt1);
        break;
    default: aFile.WriteShort(0); break;
    }
}

// Writes a text of the record through one string whose room is used again.
void WriteFileText(CVexilFile& aFile, const uint8_t* aAt)
{
    static QString text;
    const uint32_t word = Load<uint32_t>(aAt);
    const uint32_t units = word & ~kWide;
    text.resize(qsizetype(units));
    if (word & kWide)
        std::memcpy(text.data(), aAt + 4, size_t(units) * 2);
    else
        std::transform(aAt + 4, aAt + 4 + units, text.data(), [](uint8_t aUnit) { return QChar(char16_t(aUnit)); });
    aFile.WriteStr(text);
}

// A card's value: undefined or one of the plain types.
bool CardType(int32_t aType)
{
    return aType == EValUndef || (aType >= EValStr && aType <= EValBlobId);
}

}  // namespace

int32_t TCardValues::ExtLen() const
{
    int32_t len = CVexilBinObj::ExtBinObjStartLen() + 6 * CVexilBinObj::ExtIntLen() + CVexilBinObj::ExtShortLen();
    ForEach([&](const TEntry& aEntry) {
        const ECode code = ECode(aEntry.iAt[4] & kCodeMask);
        len += CVexilBinObj::ExtIntLen() + CVexilBinObj::ExtShortLen();
        if (code == ECodeWhole)
        {
            const TValue value = aEntry.Value();
            len += FileLen(value.iType, int32_t(value.iStr.size()));
        }
        else
        {
            const uint32_t units = code == ECodeStr ? Load<uint32_t>(aEntry.iAt + kEntryHead) & ~kWide : 0;
            len += FileLen(kTypeOfCode[code], int32_t(units));
        }
    });
    return len;
}

void TCardValues::Externalize(CVexilFile& aFile) const
{
    const TFigures figures = FiguresOf(iRec);
    CVexilBinObj::WriteBinObjStart(aFile, EObjArray);
    aFile.WriteInt(figures.Id);
    aFile.WriteInt(kValuesFlags);
    aFile.WriteShort(int16_t(figures.ElemType));
    aFile.WriteInt(figures.AllocStep);
    aFile.WriteInt(figures.Alloc);
    aFile.WriteInt(Count());
    aFile.WriteInt(figures.SortKeyId);
    // Plain values go out from their bytes; only a whole value is decoded.
    ForEach([&](const TEntry& aEntry) {
        aFile.WriteInt(aEntry.Key());
        const ECode code = ECode(aEntry.iAt[4] & kCodeMask);
        const uint8_t* at = aEntry.iAt + kEntryHead;
        if (code == ECodeWhole)
        {
            const TValue value = aEntry.Value();
            aFile.WriteShort(int16_t(value.iType));
            WriteFileValue(aFile, value);
            return;
        }
        aFile.WriteShort(int16_t(kTypeOfCode[code]));
        switch (code)
        {
        case ECodeStr: WriteFileText(aFile, at); break;
        case ECodeInt:
        case ECodeBlobId: aFile.WriteInt(Load<int32_t>(at)); break;
        case ECodeReal: aFile.WriteReal(Load<double>(at)); break;
        case ECodeDate: aFile.WriteInt(CVexilValue::DateToInt(Load<double>(at))); break;
        case ECodeTime: aFile.WriteInt(CVexilValue::TimeToInt(Load<double>(at))); break;
        case ECodeBool: aFile.WriteBoolean(Load<uint8_t>(at) != 0); break;
        default: break;
        }
    });
}

void TCardValues::Internalize(CVexilFile& aFile)
{
    CVexilBinObj::ReadBinObjStart(aFile, EObjArray);
    TFigures figures;
    figures.Id = aFile.ReadInt();
    const int32_t flags = aFile.ReadInt();
    figures.ElemType = aFile.ReadShort();
    const int32_t allocStep = aFile.ReadInt();
    figures.Alloc = aFile.ReadInt();
    const int32_t count = aFile.ReadInt();
    figures.SortKeyId = aFile.ReadInt();
    if (!CVexilArray::KnownElemType(figures.ElemType))
        CVexilError::CheckStruct(false, &aFile, kArrayContext, QStringLiteral("ElemType ") + QString::number(figures.ElemType));
    if (count < 0 || count > int64_t(figures.Alloc) + 1)
        CVexilError::CheckStruct(false, &aFile, kArrayContext,
                                 QStringLiteral("max=") + QString::number(count) + QStringLiteral(", alloc=") +
                                     QString::number(figures.Alloc));
    if (flags != kValuesFlags)
        CVexilError::CheckStruct(false, &aFile, kCardContext, QStringLiteral("values flags ") + QString::number(flags));
    figures.AllocStep = allocStep >= 0 && allocStep <= kMaxAllocStep ? allocStep : CVexilArray::KAllocStep;
    // Every element takes at least its key and its type; only a long run is held against the
    // size of the file first, a short one fails at its end.
    const int64_t minLen = int64_t(count) * (CVexilBinObj::ExtIntLen() + CVexilBinObj::ExtShortLen());
    if (minLen > kShortRun && minLen > aFile.RemainingBytes())
        CVexilError::CheckStruct(false, &aFile, kArrayContext,
                                 QStringLiteral("max=") + QString::number(count) + QStringLiteral(" beyond the end"));
    TRecordBuilder record(figures);
    static QString text;
    int32_t previous = std::numeric_limits<int32_t>::min();
    for (int32_t i = 0; i < count; ++i)
    {
        const int32_t key = aFile.ReadInt();
        TValue value;
        value.iInt = value.iInt0 = value.iInt1 = UndefLong;
        value.iType = aFile.ReadShort();
        if (!CVexilArray::KnownElemType(value.iType))
            CVexilError::CheckStruct(false, &aFile, kArrayContext,
                                     QStringLiteral("iElem.iVal.iType ") + QString::number(value.iType));
        if (!CardType(value.iType))
            CVexilError::CheckStruct(false, &aFile, kCardContext, QStringLiteral("value type ") + QString::number(value.iType));
        // A text is read into one string used again for every text; the record takes a copy.
        const bool isText = value.iType == EValStr;
        if (isText)
        {
            aFile.ReadStr(text);
            value.iStr.swap(text);
        }
        else
        {
            CVexilArray::ReadElemValue(aFile, value, kArrayContext);
        }
        if (key < previous)
            CVexilError::CheckStruct(false, &aFile, kArrayContext, QStringLiteral("IntKey order"));
        previous = key;
        record.Add(key, value);
        if (isText)
            value.iStr.swap(text);
    }
    Clear();
    if (count > 0 || !figures.Initial())
        iRec = record.Finish();
}
