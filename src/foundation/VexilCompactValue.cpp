#include "foundation/VexilCompactValue.h"

#include <bit>
#include <new>
#include <utility>

namespace
{
bool IsZero(double aNum)
{
    return std::bit_cast<uint64_t>(aNum) == 0;  // not -0.0
}

const QString kNoStr;
const TObjRef kNoObj;
}  // namespace

TCompactValue::EOwn TCompactValue::OwnOf(int32_t aType)
{
    switch (aType)
    {
    case EValStr: return EOwnStr;
    case EValInt:
    case EValBlobId: return EOwnInt;
    case EValReal: return EOwnReal;
    case EValDate: return EOwnDate;
    case EValTime: return EOwnTime;
    case EValBool: return EOwnBool;
    case EValIntPair: return EOwnPair;
    case EValCard:
    case EValControl:
    case EValControlSet:
    case EValSortKey:
    case EValArray:
    case EValBlob: return EOwnObj;
    default: return EOwnNone;
    }
}

bool TCompactValue::RestIs(const TValue& aVal, EOwn aOwn, int32_t aIntRest)
{
    return (aOwn == EOwnInt || aVal.iInt == aIntRest) && (aOwn == EOwnStr || aVal.iStr.isNull()) &&
           (aOwn == EOwnReal || IsZero(aVal.iReal)) && (aOwn == EOwnDate || IsZero(aVal.iDate)) &&
           (aOwn == EOwnTime || IsZero(aVal.iTime)) && (aOwn == EOwnBool || !aVal.iBool) &&
           (aOwn == EOwnObj || !aVal.iObj) && (aOwn == EOwnPair || (aVal.iInt0 == aIntRest && aVal.iInt1 == aIntRest));
}

TCompactValue::TCompactValue(const TValue& aVal) : iType(aVal.iType), iInt(0)
{
    const EOwn own = OwnOf(aVal.iType);
    if (RestIs(aVal, own, 0))
    {
        iForm = EZeroRest;
    }
    else if (RestIs(aVal, own, UndefLong))
    {
        iForm = EFreshRest;
    }
    else
    {
        iForm = EWhole;
        iWhole = new TValue(aVal);
        return;
    }
    iOwn = own;
    switch (own)
    {
    case EOwnNone: break;
    case EOwnStr: new (&iStr) QString(aVal.iStr); break;
    case EOwnInt: iInt = aVal.iInt; break;
    case EOwnReal: iReal = aVal.iReal; break;
    case EOwnDate: iReal = aVal.iDate; break;
    case EOwnTime: iReal = aVal.iTime; break;
    case EOwnBool: iBool = aVal.iBool; break;
    case EOwnPair:
        iPair[0] = aVal.iInt0;
        iPair[1] = aVal.iInt1;
        break;
    case EOwnObj: new (&iObj) TObjRef(aVal.iObj); break;
    }
}

void TCompactValue::Release() noexcept
{
    if (iForm == EWhole)
        delete iWhole;
    else if (Own() == EOwnStr)
        iStr.~QString();
    else if (Own() == EOwnObj)
        iObj.~TObjRef();
    iForm = EZeroRest;
    iOwn = EOwnNone;
    iType = EValUndef;
    iInt = 0;
}

void TCompactValue::CopyFrom(const TCompactValue& aOther)
{
    if (aOther.iForm == EWhole)
        iWhole = new TValue(*aOther.iWhole);
    else if (aOther.Own() == EOwnStr)
        new (&iStr) QString(aOther.iStr);
    else if (aOther.Own() == EOwnObj)
        new (&iObj) TObjRef(aOther.iObj);
    else
        iPair[0] = aOther.iPair[0], iPair[1] = aOther.iPair[1];  // every plain field lies in these bytes
    iType = aOther.iType;
    iForm = aOther.iForm;
    iOwn = aOther.iOwn;
}

void TCompactValue::MoveFrom(TCompactValue&& aOther) noexcept
{
    if (aOther.iForm == EWhole)
        iWhole = std::exchange(aOther.iWhole, nullptr);
    else if (aOther.Own() == EOwnStr)
        new (&iStr) QString(std::move(aOther.iStr));
    else if (aOther.Own() == EOwnObj)
        new (&iObj) TObjRef(std::move(aOther.iObj));
    else
        iPair[0] = aOther.iPair[0], iPair[1] = aOther.iPair[1];
    iType = aOther.iType;
    iForm = aOther.iForm;
    iOwn = aOther.iOwn;
    aOther.Release();
}

TCompactValue::TCompactValue(const TCompactValue& aOther) : iInt(0)
{
    CopyFrom(aOther);
}

TCompactValue::TCompactValue(TCompactValue&& aOther) noexcept : iInt(0)
{
    MoveFrom(std::move(aOther));
}

TCompactValue& TCompactValue::operator=(const TCompactValue& aOther)
{
    if (this != &aOther)
    {
        TCompactValue copy(aOther);
        *this = std::move(copy);
    }
    return *this;
}

TCompactValue& TCompactValue::operator=(TCompactValue&& aOther) noexcept
{
    if (this != &aOther)
    {
        Release();
        MoveFrom(std::move(aOther));
    }
    return *this;
}

TValue TCompactValue::Get() const
{
    if (iForm == EWhole)
        return *iWhole;
    TValue val;
    val.iType = iType;
    if (iForm == EFreshRest)
    {
        val.iInt = UndefLong;
        val.iInt0 = UndefLong;
        val.iInt1 = UndefLong;
    }
    switch (Own())
    {
    case EOwnNone: break;
    case EOwnStr: val.iStr = iStr; break;
    case EOwnInt: val.iInt = iInt; break;
    case EOwnReal: val.iReal = iReal; break;
    case EOwnDate: val.iDate = iReal; break;
    case EOwnTime: val.iTime = iReal; break;
    case EOwnBool: val.iBool = iBool; break;
    case EOwnPair:
        val.iInt0 = iPair[0];
        val.iInt1 = iPair[1];
        break;
    case EOwnObj: val.iObj = iObj; break;
    }
    return val;
}

QString TCompactValue::Str() const
{
    if (iForm == EWhole)
        return iWhole->iStr;
    return Own() == EOwnStr ? iStr : kNoStr;
}

int32_t TCompactValue::Int() const
{
    if (iForm == EWhole)
        return iWhole->iInt;
    if (Own() == EOwnInt)
        return iInt;
    return iForm == EFreshRest ? UndefLong : 0;
}

const TObjRef& TCompactValue::Obj() const
{
    if (iForm == EWhole)
        return iWhole->iObj;
    return Own() == EOwnObj ? iObj : kNoObj;
}
