#pragma once

#include "script/VexilOpcode.h"
#include "script/VexilVar.h"

#include <QString>

#include <cstdint>

// The operators of scripts on script values: the type rules of each operator, date arithmetic,
// Not and Neg, and the typed stores that give a value a new type. Integer results beyond 32 bits,
// a day difference beyond 16 bits and dates outside the calendar raise run-time error 6; a
// division by zero raises run-time error 11; a text that would grow beyond KMaxStrLen raises
// run-time error 7 (out of memory).
class CVexilOperators
{
public:
    // Far more than any field or file holds (30000 bytes), far less than the memory a run may
    // take: a script that doubles a text in a loop ends here instead of exhausting the memory.
    static constexpr qsizetype KMaxStrLen = qsizetype(1) << 24;

    // aL becomes aL op aR for the binary operators 7, 17 to 21, 23 to 28 and 40. False (aL left
    // as it was) when the operand types do not fit the operator (a ControlSet fits none): the
    // caller's error 1084.
    static bool Binary(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR)
    {
        // Int with Int is the commonest case of a run: done in line for the additive and
        // comparing operators.
        if (aL.ValType() == EValInt && aR.ValType() == EValInt)
        {
            const int32_t l = aL.IntVal();
            const int32_t r = aR.IntVal();
            int32_t sum = 0;
            switch (aOp)
            {
            case EOpcAdd:
            case EOpcSub:
                if (!AddInts(aOp, l, r, sum))
                    Overflow();
                aL.SetIntVal(sum);
                return true;
            case EOpcEq:
            case EOpcNe:
            case EOpcGt:
            case EOpcGe:
            case EOpcLt:
            case EOpcLe: SetBool(aL, CompareInts(aOp, l, r)); return true;
            default: break;
            }
        }
        return OtherBinary(aOp, aL, aR);
    }
    // aL + aR or aL - aR (aOp Add or Sub) into aResult; false when it overflows 32 bits.
    static bool AddInts(EOpcCode aOp, int32_t aL, int32_t aR, int32_t& aResult)
    {
        const int64_t result = aOp == EOpcAdd ? int64_t(aL) + aR : int64_t(aL) - aR;
        aResult = int32_t(result);
        return result == aResult;
    }
    // aL compared with aR by the comparison aOp.
    static bool CompareInts(EOpcCode aOp, int32_t aL, int32_t aR)
    {
        // Without a branch on the operator: bit 0, 1 or 2 of its mask answers for less, equal
        // or greater.
        const int order = (aL > aR) - (aL < aR) + 1;
        return (ComparisonMask(aOp) >> order) & 1;
    }
    // The Boolean negation; a value that is no Boolean counts as False.
    static void Not(CVexilVar& aVal);
    // An Int stays an Int; any other value becomes the Float of minus its real value.
    static void Neg(CVexilVar& aVal);

    // Give the variable that type (dropping what it held) and the value.
    static void SetInt(CVexilVar& aVar, int32_t aInt)
    {
        Retype(aVar, EValInt);
        aVar.SetIntVal(aInt);
    }
    static void SetReal(CVexilVar& aVar, double aReal)
    {
        Retype(aVar, EValReal);
        aVar.SetRealVal(aReal);
    }
    static void SetDate(CVexilVar& aVar, double aDate)
    {
        Retype(aVar, EValDate);
        aVar.SetDateVal(aDate);
    }
    static void SetBool(CVexilVar& aVar, bool aBool)
    {
        Retype(aVar, EValBool);
        aVar.SetBooleanVal(aBool);
    }
    static void SetStr(CVexilVar& aVar, const QString& aStr);
    static void SetObj(CVexilVar& aVar, int32_t aType, TObjRef aObj);
    // aTo becomes a copy of aFrom; a number or date is copied without touching text or object.
    static void Copy(CVexilVar& aTo, const CVexilVar& aFrom)
    {
        switch (aFrom.ValType())
        {
        case EValInt: SetInt(aTo, aFrom.IntVal()); break;
        case EValReal: SetReal(aTo, aFrom.RealVal()); break;
        case EValBool: SetBool(aTo, aFrom.BooleanVal()); break;
        default: CopyHeld(aTo, aFrom); break;
        }
    }
    // Back to the state of a new variable: no type, nothing held.
    static void Clear(CVexilVar& aVar);
    // Lets go of a text or an object the variable holds; a number or date may stay.
    static void Release(CVexilVar& aVar)
    {
        if (!aVar.Val().iStr.isNull() || aVar.Val().iObj)
            Clear(aVar);
    }

private:
    static unsigned ComparisonMask(EOpcCode aOp)
    {
        switch (aOp)
        {
        case EOpcEq: return 0b010;
        case EOpcNe: return 0b101;
        case EOpcGt: return 0b100;
        case EOpcGe: return 0b110;
        case EOpcLt: return 0b001;
        default: return 0b011;
        }
    }
    // Copy of a value that may hold a text or an object.
    static void CopyHeld(CVexilVar& aTo, const CVexilVar& aFrom);
    // Binary for all but the cases done in line.
    static bool OtherBinary(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR);
    static int32_t CheckedInt(int64_t aValue)
    {
        if (aValue < INT32_MIN || aValue > INT32_MAX)
            Overflow();
        return int32_t(aValue);
    }
    [[noreturn]] static void Overflow();
    static bool Compare(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR);
    static bool Arithmetic(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR);
    static bool Add(CVexilVar& aL, const CVexilVar& aR);
    static bool Sub(CVexilVar& aL, const CVexilVar& aR);
    static bool Logical(EOpcCode aOp, CVexilVar& aL, const CVexilVar& aR);
    static void Retype(CVexilVar& aVar, int32_t aType)
    {
        if (aVar.ValType() == aType)
            return;
        // Only the field of the new type counts: what a number or date left behind does not matter.
        Release(aVar);
        aVar.Construct(aType);
    }
};
