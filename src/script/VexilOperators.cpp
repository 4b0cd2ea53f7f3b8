#include "script/VexilOperators.h"

#include "foundation/VexilError.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"

#include <cmath>
#include <limits>

namespace
{
bool BothOf(int32_t aType, const CVexilVar& aL, const CVexilVar& aR)
{
    return aL.ValType() == aType && aR.ValType() == aType;
}

// The operand test: both numeric or both of one type.
bool Fit(const CVexilVar& aL, const CVexilVar& aR)
{
    return (CVexilVar::IsNumType(aL.ValType()) && CVexilVar::IsNumType(aR.ValType())) ||
           aL.ValType() == aR.ValType();
}

double CheckedReal(double aValue)
{
    if (!std::isfinite(aValue))
        CVexilError::RaiseRunError(ERunOverflow);
    return aValue;
}

// A date outside the calendar overflows.
double CheckedDate(double aDate)
{
    CVexilValue::ToQDate(aDate);
    return aDate;
}

QString Joined(const QString& aL, const QString& aR)
{
    if (aR.size() > CVexilOperators::KMaxStrLen - aL.size())
        CVexilError::RaiseRunError(ERunOutOfMemory);
    return aL + aR;
}

double NonZero(double aDivisor)
{
    if (aDivisor == 0)
        CVexilError::RaiseRunError(ERunDivByZero);
    return aDivisor;
}
}  // namespace

void CVexilOperators::Overflow()
{
    CVexilError::RaiseRunError(ERunOverflow);
}

bool CVexilOperators::OtherBinary(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR)
{
    if (aL.ValType() == EValControlSet || aR.ValType() == EValControlSet)
        return false;
    switch (aOp)
    {
    case EOpcEq:
    case EOpcNe:
    case EOpcGt:
    case EOpcGe:
    case EOpcLt:
    case EOpcLe: return Compare(aOp, aL, aR);
    case EOpcMul:
    case EOpcDiv: return Arithmetic(aOp, aL, aR);
    case EOpcAdd: return Add(aL, aR);
    case EOpcSub: return Sub(aL, aR);
    case EOpcAnd:
    case EOpcOr: return Logical(aOp, aL, aR);
    case EOpcConcat: SetStr(aL, Joined(aL.ToStr(), aR.ToStr())); return true;
    default:
        CVexilError::Assert(false, QStringLiteral("Binary op ") + QString::number(aOp));
        return true;
    }
}

bool CVexilOperators::Compare(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR)
{
    if (!Fit(aL, aR))
        return false;
    bool result = false;
    switch (aOp)
    {
    case EOpcEq: result = aL.Equal(aR); break;
    case EOpcNe: result = !aL.Equal(aR); break;
    case EOpcGt: result = aL.Gt(aR); break;
    case EOpcGe: result = aL.Gt(aR) || aL.Equal(aR); break;
    case EOpcLt: result = aL.Lt(aR); break;
    default: result = aL.Lt(aR) || aL.Equal(aR); break;
    }
    SetBool(aL, result);
    return true;
}

bool CVexilOperators::Arithmetic(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR)
{
    const bool mul = aOp == EOpcMul;
    if (BothOf(EValInt, aL, aR))
    {
        const int64_t l = aL.IntVal();
        const int64_t r = aR.IntVal();
        // The quotient of two Ints is the float quotient rounded half to even.
        SetInt(aL, mul ? CheckedInt(l * r) : CVexilNumText::RoundToInt32(double(l) / NonZero(double(r))));
        return true;
    }
    if (!Fit(aL, aR))
        return false;
    const double l = aL.ToReal();
    const double r = aR.ToReal();
    SetReal(aL, CheckedReal(mul ? l * r : l / NonZero(r)));
    return true;
}

// Int with Int is added and subtracted in line by Binary.
bool CVexilOperators::Add(CVexilVar& aL, const CVexilVar& aR)
{
    if (aL.ValType() == EValDate && aR.ValType() == EValInt)
        SetDate(aL, CheckedDate(aL.DateVal() + aR.IntVal()));
    else if (Fit(aL, aR))
        SetReal(aL, CheckedReal(aL.ToReal() + aR.ToReal()));
    else
        return false;
    return true;
}

bool CVexilOperators::Sub(CVexilVar& aL, const CVexilVar& aR)
{
    if (BothOf(EValDate, aL, aR))
    {
        const int32_t days = CVexilNumText::RoundToInt32(aL.DateVal() - aR.DateVal());
        if (days < std::numeric_limits<int16_t>::min() || days > std::numeric_limits<int16_t>::max())
            Overflow();
        SetInt(aL, days);
    }
    else if (aL.ValType() == EValDate && aR.ValType() == EValInt)
        SetDate(aL, CheckedDate(aL.DateVal() - aR.IntVal()));
    else if (Fit(aL, aR))
        SetReal(aL, CheckedReal(aL.ToReal() - aR.ToReal()));
    else
        return false;
    return true;
}

bool CVexilOperators::Logical(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR)
{
    if (!BothOf(EValBool, aL, aR))
        return false;
    SetBool(aL, aOp == EOpcAnd ? aL.BooleanVal() && aR.BooleanVal() : aL.BooleanVal() || aR.BooleanVal());
    return true;
}

void CVexilOperators::Not(CVexilVar& aVal)
{
    SetBool(aVal, !(aVal.ValType() == EValBool && aVal.BooleanVal()));
}

void CVexilOperators::Neg(CVexilVar& aVal)
{
    if (aVal.ValType() == EValInt)
        SetInt(aVal, CheckedInt(-int64_t(aVal.IntVal())));
    else
        SetReal(aVal, -aVal.ToReal());
}

void CVexilOperators::SetObj(CVexilVar& aVar, int32_t aType, TObjRef aObj)
{
    Retype(aVar, aType);
    TValue val;
    val.iType = aType;
    val.iObj = std::move(aObj);
    aVar.SetVal(val);
}

void CVexilOperators::SetStr(CVexilVar& aVar, const QString& aStr)
{
    Retype(aVar, EValStr);
    aVar.SetStrVal(aStr);
}

void CVexilOperators::CopyHeld(CVexilVar& aTo, const CVexilVar& aFrom)
{
    aTo = aFrom;
}

void CVexilOperators::Clear(CVexilVar& aVar)
{
    if (aVar.ValType() != EValUndef || !aVar.Val().iStr.isNull() || aVar.Val().iObj)
        aVar = CVexilVar();
}
