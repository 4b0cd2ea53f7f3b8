// The binary and the XML form of CVexilArray, with the objects that its elements hold.
// Everything read is checked before it is used: a violation is error 1006 naming the file.

#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
const QString kElemTypeDetail = QStringLiteral("iElem.iVal.iType");

// How a value of each type is stored.
enum class EValKind
{
    Undef,
    Str,
    Int,
    Real,
    Date,
    Time,
    Bool,
    IntPair,
    Obj,
    Unknown,
};

EValKind KindOf(int32_t aType)
{
    switch (aType)
    {
    case EValUndef: return EValKind::Undef;
    case EValStr: return EValKind::Str;
    case EValInt:
    case EValBlobId: return EValKind::Int;
    case EValReal: return EValKind::Real;
    case EValDate: return EValKind::Date;
    case EValTime: return EValKind::Time;
    case EValBool: return EValKind::Bool;
    case EValIntPair: return EValKind::IntPair;
    case EValCard:
    case EValControl:
    case EValControlSet:
    case EValSortKey:
    case EValArray:
    case EValBlob: return EValKind::Obj;
    default: return EValKind::Unknown;
    }
}

// The detail of the failed check when the XML element does not hold the object the type names.
QString ObjDetail(int32_t aType)
{
    switch (aType)
    {
    case EValCard: return QStringLiteral("InternalizeXml iCard");
    case EValControl: return QStringLiteral("InternalizeXml iControl");
    case EValControlSet: return QStringLiteral("InternalizeXml iControlSet");
    case EValSortKey: return QStringLiteral("InternalizeXml iSortKey");
    case EValArray: return QStringLiteral("InternalizeXml iArr");
    default: return QStringLiteral("InternalizeXml iBlob");
    }
}

// Arrays nest in arrays, also through the objects they hold; a file may not nest them deeper.
constexpr int32_t kMaxNesting = 32;
int32_t gNesting = 0;

class TNesting
{
public:
    TNesting() { ++gNesting; }
    ~TNesting() { --gNesting; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;
    bool TooDeep() const { return gNesting > kMaxNesting; }
};

// Arrays whose elements take at most this many bytes are read without a look at the file size.
constexpr int64_t kShortRun = 4096;

// Growth figures beyond this are not the program's; such a file gets the usual step.
constexpr int32_t kMaxAllocStep = 1000;

// The stored figures of an array, as read from either form.
struct THead
{
    int32_t Id = UndefLong;
    int32_t Flags = 0;
    int32_t ElemType = EValUndef;
    int32_t AllocStep = CVexilArray::KAllocStep;
    int32_t Alloc = CVexilArray::KInitialAlloc;
    int32_t Count = 0;
    int32_t SortKeyId = UndefLong;
};

// What is wrong with the figures; empty when they can be taken.
QString HeadFault(const THead& aHead)
{
    if (KindOf(aHead.ElemType) == EValKind::Unknown)
        return QStringLiteral("ElemType ") + QString::number(aHead.ElemType);
    if (aHead.Count < 0 || aHead.Count > int64_t(aHead.Alloc) + 1)
        return QStringLiteral("max=") + QString::number(aHead.Count) + QStringLiteral(", alloc=") +
               QString::number(aHead.Alloc);
    return {};
}

// Empties the array and gives it the figures read; the elements follow one by one.
void StartRead(CVexilArray& aArray, const THead& aHead)
{
    aArray.Clear();
    aArray.SetId(aHead.Id);
    aArray.SetElemType(aHead.ElemType);
    aArray.SetFlags(aHead.Flags);
    const bool stepOk = aHead.AllocStep >= 0 && aHead.AllocStep <= kMaxAllocStep;
    aArray.SetAllocStep(stepOk ? aHead.AllocStep : CVexilArray::KAllocStep);
    aArray.SetAlloc(aHead.Alloc);
    aArray.SetSortKeyId(aHead.SortKeyId);
}

// Whether an element read may have the type: a known one, and without EArrAnyType the array's.
bool TypeFits(const CVexilArray& aArray, int32_t aType)
{
    return KindOf(aType) != EValKind::Unknown && (aArray.AnyType() || aType == aArray.ElemType());
}

// Why the elements read cannot be kept in key order; empty when they can. Integer keys must
// be ascending as stored, since they compare the same everywhere; string keys are sorted again
// when needed, which in a sort-key-ordered array takes the sort key that the array names.
// Whether the integer keys come in ascending order, followed as the elements are read, so
// that the order is checked in the same pass.
class TIntKeyOrder
{
public:
    void Next(int32_t aKey)
    {
        iAscending = iAscending && (iFirst || aKey >= iPrevious);
        iFirst = false;
        iPrevious = aKey;
    }
    bool Ascending() const { return iAscending; }

private:
    int32_t iPrevious = 0;
    bool iFirst = true;
    bool iAscending = true;
};

QString OrderFault(CVexilArray& aArray, const TIntKeyOrder& aIntKeys)
{
    if (aArray.WithIntKey() && !aIntKeys.Ascending())
        return QStringLiteral("IntKey order");
    if (aArray.WithStrKey() && aArray.SortKeyOrder() && aArray.Count() >= 2 &&
        (aArray.SortKeyId() == UndefLong || aArray.SortKey() == nullptr))
        return QStringLiteral("sortKeyId ") + QString::number(aArray.SortKeyId());
    return {};
}

// The object an element holds, as a stored object; an object that cannot store itself fails
// the assertion and is taken as none.
CVexilStoredObj* StoredObj(const CVexilArray& aArray, const TValue& aVal, const QString& aContext)
{
    if (!aVal.iObj)
        return nullptr;
    auto* obj = dynamic_cast<CVexilStoredObj*>(aVal.iObj.get());
    CVexilError::CheckFailed(obj != nullptr, &aArray, aContext, QStringLiteral("iElem.iVal.iObj"));
    return obj;
}

// The details of failed checks, made only on failure: the checks run for every element read.
QString DateDetail(int32_t aIntDate)
{
    return QStringLiteral("date ") + QString::number(aIntDate);
}

QString TypeDetail(int32_t aType)
{
    return kElemTypeDetail + QStringLiteral(" ") + QString::number(aType);
}

void WriteValue(CVexilFile& aFile, const CVexilArray& aArray, const TValue& aVal)
{
    switch (KindOf(aVal.iType))
    {
    case EValKind::Undef: break;
    case EValKind::Str: aFile.WriteStr(aVal.iStr); break;
    case EValKind::Int: aFile.WriteInt(aVal.iInt); break;
    case EValKind::Real: aFile.WriteReal(aVal.iReal); break;
    case EValKind::Date: aFile.WriteInt(CVexilValue::DateToInt(aVal.iDate)); break;
    case EValKind::Time: aFile.WriteInt(CVexilValue::TimeToInt(aVal.iTime)); break;
    case EValKind::Bool: aFile.WriteBoolean(aVal.iBool); break;
    case EValKind::IntPair:
        aFile.WriteInt(aVal.iInt0);
        aFile.WriteInt(aVal.iInt1);
        break;
    case EValKind::Obj:
    {
        CVexilStoredObj* obj = StoredObj(aArray, aVal, QStringLiteral("Externalize"));
        aFile.WriteShort(obj ? 1 : 0);
        if (obj)
            obj->Externalize(aFile);
        break;
    }
    case EValKind::Unknown:
        CVexilError::CheckFailed(false, &aArray, QStringLiteral("Externalize"), kElemTypeDetail);
        break;
    }
}

int32_t ValueLen(const CVexilArray& aArray, const TValue& aVal)
{
    switch (KindOf(aVal.iType))
    {
    case EValKind::Undef: return 0;
    case EValKind::Str: return CVexilFile::ExtStrLen(aVal.iStr);
    case EValKind::Int:
    case EValKind::Date:
    case EValKind::Time: return CVexilBinObj::ExtIntLen();
    case EValKind::Real: return CVexilBinObj::ExtRealLen();
    case EValKind::IntPair: return 2 * CVexilBinObj::ExtIntLen();
    case EValKind::Bool: return CVexilBinObj::ExtShortLen();
    case EValKind::Obj:
    {
        CVexilStoredObj* obj = StoredObj(aArray, aVal, QStringLiteral("ExtLen"));
        return CVexilBinObj::ExtShortLen() + (obj ? obj->ExtLen() : 0);
    }
    case EValKind::Unknown: break;
    }
    CVexilError::CheckFailed(false, &aArray, QStringLiteral("ExtLen"), kElemTypeDetail);
    return 0;
}


void WriteValueXml(CVexilXmlWriter& aWriter, const CVexilArray& aArray, const TValue& aVal)
{
    CVexilStoredObj* obj = nullptr;
    switch (KindOf(aVal.iType))
    {
    case EValKind::Undef:
    case EValKind::Str: break;
    case EValKind::Int: aWriter.AddIntAttr(QStringLiteral("int"), aVal.iInt); break;
    case EValKind::Real: aWriter.AddRealAttr(QStringLiteral("real"), aVal.iReal); break;
    case EValKind::Date: aWriter.AddIntAttr(QStringLiteral("date"), CVexilValue::DateToInt(aVal.iDate)); break;
    case EValKind::Time: aWriter.AddIntAttr(QStringLiteral("time"), CVexilValue::TimeToInt(aVal.iTime)); break;
    case EValKind::Bool: aWriter.AddBooleanAttr(QStringLiteral("boolean"), aVal.iBool); break;
    case EValKind::IntPair:
        aWriter.AddIntAttr(QStringLiteral("int0"), aVal.iInt0);
        aWriter.AddIntAttr(QStringLiteral("int1"), aVal.iInt1);
        break;
    case EValKind::Obj:
        obj = StoredObj(aArray, aVal, QStringLiteral("ExternalizeXml"));
        if (!obj)
            aWriter.AddShortAttr(QStringLiteral("objMissing"), 1);
        break;
    case EValKind::Unknown:
        CVexilError::CheckFailed(false, &aArray, QStringLiteral("ExternalizeXml"), kElemTypeDetail);
        break;
    }
    aWriter.BeginStruct();
    if (aVal.iType == EValStr)
        CVexilStoredObj::WriteXmlTextElem(aWriter, QStringLiteral("Str"), aVal.iStr);
    if (obj)
    {
        aWriter.BeginElem(QStringLiteral("Obj"));
        aWriter.BeginStruct();
        obj->ExternalizeXml(aWriter);
        aWriter.EndElem(QStringLiteral("Obj"));
    }
}

// Reads the value of an "Elem" whose attributes were read, and its children.
void ReadValueXml(CVexilXmlParser& aParser, TValue& aVal, const QString& aContext)
{
    switch (KindOf(aVal.iType))
    {
    case EValKind::Undef:
    case EValKind::Unknown: break;
    case EValKind::Str: aVal.iStr = CVexilStoredObj::ReadXmlTextElem(aParser, QStringLiteral("Str"), aContext); break;
    case EValKind::Int: aVal.iInt = aParser.IntAttr(QStringLiteral("int")); break;
    case EValKind::Real: aVal.iReal = aParser.RealAttr(QStringLiteral("real")); break;
    case EValKind::Date:
    {
        const int32_t intDate = aParser.IntAttr(QStringLiteral("date"));
        if (!CVexilValue::StoredDate(intDate, aVal.iDate))
            CVexilStoredObj::CheckXml(aParser, false, aContext, DateDetail(intDate));
        break;
    }
    case EValKind::Time: aVal.iTime = CVexilValue::IntToTime(aParser.IntAttr(QStringLiteral("time"))); break;
    case EValKind::Bool: aVal.iBool = aParser.BooleanAttr(QStringLiteral("boolean")); break;
    case EValKind::IntPair:
        aVal.iInt0 = aParser.IntAttr(QStringLiteral("int0"));
        aVal.iInt1 = aParser.IntAttr(QStringLiteral("int1"));
        break;
    case EValKind::Obj:
        if (aParser.Attr(QStringLiteral("objMissing")).isEmpty())
        {
            TStoredRef obj = CVexilObjFactory::Create(aVal.iType);
            CVexilStoredObj::CheckXml(aParser, obj != nullptr, aContext, QStringLiteral("InternalizeXml class"));
            aParser.ReadTheNext(QStringLiteral("Obj"), false);
            bool empty = false;
            aParser.ReadAttrAndSym(empty);
            CVexilStoredObj::CheckXml(aParser, !empty, aContext, QStringLiteral("Obj term"));
            CVexilStoredObj::ReadXmlChild(aParser, *obj, aContext, ObjDetail(aVal.iType));
            aParser.ReadTheNext(QStringLiteral("Obj"), true);
            aVal.iObj = obj;
        }
        break;
    }
}
}  // namespace

bool CVexilArray::KnownElemType(int32_t aType)
{
    return KindOf(aType) != EValKind::Unknown;
}

void CVexilArray::ReadElemValue(CVexilFile& aFile, TValue& aVal, const QString& aContext)
{
    switch (KindOf(aVal.iType))
    {
    case EValKind::Undef:
    case EValKind::Unknown: break;
    case EValKind::Str: aVal.iStr = aFile.ReadStr(); break;
    case EValKind::Int: aVal.iInt = aFile.ReadInt(); break;
    case EValKind::Real:
        aVal.iReal = aFile.ReadReal();
        // The program makes no other numbers; the XML form has no text for these.
        if (!std::isfinite(aVal.iReal))
            CVexilError::CheckStruct(false, &aFile, aContext, QStringLiteral("real ") + QString::number(aVal.iReal));
        break;
    case EValKind::Date:
    {
        const int32_t intDate = aFile.ReadInt();
        if (!CVexilValue::StoredDate(intDate, aVal.iDate))
            CVexilError::CheckStruct(false, &aFile, aContext, DateDetail(intDate));
        break;
    }
    case EValKind::Time: aVal.iTime = CVexilValue::IntToTime(aFile.ReadInt()); break;
    case EValKind::Bool: aVal.iBool = aFile.ReadBoolean(); break;
    case EValKind::IntPair:
        aVal.iInt0 = aFile.ReadInt();
        aVal.iInt1 = aFile.ReadInt();
        break;
    case EValKind::Obj:
        if (aFile.ReadShort() != 0)
        {
            TStoredRef obj = CVexilObjFactory::Create(aVal.iType);
            if (!obj)
                CVexilError::CheckStruct(false, &aFile, aContext, QStringLiteral("class ") + QString::number(aVal.iType));
            obj->Internalize(aFile);
            aVal.iObj = obj;
        }
        break;
    }
}

int32_t CVexilArray::ExtLen()
{
    int32_t len = CVexilBinObj::ExtBinObjStartLen() + 6 * CVexilBinObj::ExtIntLen() + CVexilBinObj::ExtShortLen();
    for (int32_t i = 0; i < Count(); ++i)
    {
        const TArrayElem elem = LentElemOf(iElems.At(i));
        if (iWithStrKey)
            len += CVexilFile::ExtStrLen(elem.StrKey);
        if (iWithIntKey)
            len += CVexilBinObj::ExtIntLen();
        len += CVexilBinObj::ExtShortLen() + ValueLen(*this, elem.iVal);
    }
    return len;
}

void CVexilArray::Externalize(CVexilFile& aFile)
{
    CVexilBinObj::WriteBinObjStart(aFile, EObjArray);
    aFile.WriteInt(iId);
    aFile.WriteInt(iFlags);
    aFile.WriteShort(int16_t(iElemType));
    aFile.WriteInt(iAllocStep);
    aFile.WriteInt(iAlloc);
    aFile.WriteInt(Count());
    aFile.WriteInt(iSortKeyId);
    for (int32_t i = 0; i < Count(); ++i)
    {
        const TArrayElem elem = LentElemOf(iElems.At(i));
        if (iWithStrKey)
            aFile.WriteStr(elem.StrKey);
        if (iWithIntKey)
            aFile.WriteInt(elem.IntKey);
        aFile.WriteShort(int16_t(elem.iVal.iType));
        WriteValue(aFile, *this, elem.iVal);
    }
}

void CVexilArray::Internalize(CVexilFile& aFile)
{
    const QString context = QStringLiteral("CVexilArray.Internalize");
    const TNesting nesting;
    CVexilError::CheckStruct(!nesting.TooDeep(), &aFile, context, QStringLiteral("nesting"));
    CVexilBinObj::ReadBinObjStart(aFile, EObjArray);
    THead head;
    head.Id = aFile.ReadInt();
    head.Flags = aFile.ReadInt();
    head.ElemType = aFile.ReadShort();
    head.AllocStep = aFile.ReadInt();
    head.Alloc = aFile.ReadInt();
    head.Count = aFile.ReadInt();
    head.SortKeyId = aFile.ReadInt();
    const QString fault = HeadFault(head);
    CVexilError::CheckStruct(fault.isEmpty(), &aFile, context, fault);
    StartRead(*this, head);
    // Every element takes at least its type and its keys.
    const int64_t minElemLen = CVexilBinObj::ExtShortLen() + (iWithStrKey ? CVexilBinObj::ExtShortLen() : 0) +
                               (iWithIntKey ? CVexilBinObj::ExtIntLen() : 0);
    // A short run is simply read: its reads fail at the end of the file. Only a long one is
    // held against the size of the file first (asking the system for it every time would cost
    // more than reading the values of a card).
    const int64_t minLen = head.Count * minElemLen;
    if (minLen > kShortRun && minLen > aFile.RemainingBytes())
        CVexilError::CheckStruct(false, &aFile, context,
                                 QStringLiteral("max=") + QString::number(head.Count) + QStringLiteral(" beyond the end"));
    Reserve(head.Count);
    TIntKeyOrder intKeys;
    for (int32_t i = 0; i < head.Count; ++i)
    {
        TArrayElem elem;
        InitElem(elem);
        if (iWithStrKey)
            elem.StrKey = aFile.ReadStr();
        if (iWithIntKey)
            elem.IntKey = aFile.ReadInt();
        elem.iVal.iType = aFile.ReadShort();
        if (!TypeFits(*this, elem.iVal.iType))
            CVexilError::CheckStruct(false, &aFile, context, TypeDetail(elem.iVal.iType));
        ReadElemValue(aFile, elem.iVal, context);
        intKeys.Next(elem.IntKey);
        AppendRead(std::move(elem));
    }
    const QString orderFault = OrderFault(*this, intKeys);
    CVexilError::CheckStruct(orderFault.isEmpty(), &aFile, context, orderFault);
    iChanged = false;
    CheckOrder();
}

bool CVexilArray::IsInXml(const QString& aName) const
{
    return aName.compare(QStringLiteral("Array"), Qt::CaseInsensitive) == 0;
}

void CVexilArray::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    aWriter.BeginElem(QStringLiteral("Array"));
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjArray).Written);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.AddShortAttr(QStringLiteral("type"), int16_t(iElemType));
    aWriter.AddIntAttr(QStringLiteral("allocStep"), iAllocStep);
    aWriter.AddIntAttr(QStringLiteral("alloc"), iAlloc);
    aWriter.AddIntAttr(QStringLiteral("max"), Count());
    aWriter.AddIntAttr(QStringLiteral("sortKeyId"), iSortKeyId);
    aWriter.BeginStruct();
    for (int32_t i = 0; i < Count(); ++i)
    {
        const TArrayElem elem = LentElemOf(iElems.At(i));
        aWriter.BeginElem(QStringLiteral("Elem"));
        if (iWithStrKey)
            aWriter.AddAttr(QStringLiteral("strKey"), elem.StrKey);
        if (iWithIntKey)
            aWriter.AddIntAttr(QStringLiteral("intKey"), elem.IntKey);
        aWriter.AddShortAttr(QStringLiteral("type"), int16_t(elem.iVal.iType));
        WriteValueXml(aWriter, *this, elem.iVal);
        aWriter.EndElem(QStringLiteral("Elem"));
    }
    aWriter.EndElem(QStringLiteral("Array"));
}

void CVexilArray::InternalizeXml(CVexilXmlParser& aParser)
{
    const QString context = QStringLiteral("CVexilArray.InternalizeXml");
    const TNesting nesting;
    CheckXml(aParser, !nesting.TooDeep(), context, QStringLiteral("nesting"));
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, context, QStringLiteral("InternalizeXml term"));
    THead head;
    head.Id = aParser.IntAttr(QStringLiteral("id"));
    head.Flags = aParser.IntAttr(QStringLiteral("flags"));
    head.ElemType = aParser.ShortAttr(QStringLiteral("type"));
    head.AllocStep = aParser.IntAttr(QStringLiteral("allocStep"));
    head.Alloc = aParser.IntAttr(QStringLiteral("alloc"));
    head.Count = aParser.IntAttr(QStringLiteral("max"));
    head.SortKeyId = aParser.IntAttr(QStringLiteral("sortKeyId"));
    CheckXml(aParser, head.Count != UndefLong, context, QStringLiteral("max"));
    if (head.Alloc == UndefLong)
    {
        head.AllocStep = KAllocStep;
        head.Alloc = int32_t(std::min<int64_t>(int64_t(head.Count) + 10, std::numeric_limits<int32_t>::max()));
    }
    const QString fault = HeadFault(head);
    CheckXml(aParser, fault.isEmpty(), context, fault);
    StartRead(*this, head);
    // Elements are stored as they are read, so a count that the file does not hold costs nothing.
    TIntKeyOrder intKeys;
    for (int32_t i = 0; i < head.Count; ++i)
    {
        aParser.ReadTheNext(QStringLiteral("Elem"), false);
        aParser.ReadAttrAndSym(empty);
        CheckXml(aParser, !empty, context, QStringLiteral("Elem term"));
        TArrayElem elem;
        InitElem(elem);
        if (iWithStrKey)
            elem.StrKey = aParser.Attr(QStringLiteral("strKey"));
        if (iWithIntKey)
            elem.IntKey = aParser.IntAttr(QStringLiteral("intKey"));
        elem.iVal.iType = aParser.ShortAttr(QStringLiteral("type"));
        if (!TypeFits(*this, elem.iVal.iType))
            CheckXml(aParser, false, context, TypeDetail(elem.iVal.iType));
        ReadValueXml(aParser, elem.iVal, context);
        intKeys.Next(elem.IntKey);
        AppendRead(std::move(elem));
        aParser.ReadTheNext(QStringLiteral("Elem"), true);
    }
    aParser.ReadTheNext(QStringLiteral("Array"), true);
    const QString orderFault = OrderFault(*this, intKeys);
    CheckXml(aParser, orderFault.isEmpty(), context, orderFault);
    iChanged = false;
    CheckOrder();
}
