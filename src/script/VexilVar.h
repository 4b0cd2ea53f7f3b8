#pragma once

#include "foundation/VexilObject.h"
#include "foundation/VexilValueDef.h"

#include <QString>

#include <compare>
#include <functional>

class CVexilCodeReader;

// The value the interpreter works with: a declared value type (11 String, 12 Int, 13 Float,
// 14 Date, 15 Time, 16 Boolean, 100 Card, 101 Control, 102 ControlSet) and a value record of
// which only the field of that type counts. Misuse fails an assertion with this object.
class CVexilVar : public CVexilObject
{
public:
    // The name of a card or field that a Card or Control value refers to: the model installs it.
    using TNameLookup = std::function<QString(const CVexilObject& aObj)>;
    static void SetNameLookup(TNameLookup aLookup);

    QString TypeStr() const;
    QString ObjDescr() const override;
    void Construct(int32_t aType)
    {
        if (aType == EValUndef)
            Failed("Construct", "undef");
        iValType = aType;
        iVal.iType = aType;
    }
    int32_t ValType() const { return iValType; }

    // Getters return the field whatever the type; setters check it.
    const QString& StrVal() const { return iVal.iStr; }
    void SetStrVal(const QString& aStr)
    {
        CheckType(EValStr, "LetStrVal");
        iVal.iStr = aStr;
    }
    int32_t IntVal() const { return iVal.iInt; }
    void SetIntVal(int32_t aInt)
    {
        CheckType(EValInt, "LetIntVal");
        iVal.iInt = aInt;
    }
    double RealVal() const { return iVal.iReal; }
    void SetRealVal(double aReal)
    {
        CheckType(EValReal, "LetRealVal");
        iVal.iReal = aReal;
    }
    double DateVal() const { return iVal.iDate; }
    void SetDateVal(double aDate)
    {
        CheckType(EValDate, "LetDateVal");
        iVal.iDate = aDate;
    }
    double TimeVal() const { return iVal.iTime; }
    void SetTimeVal(double aTime)
    {
        CheckType(EValTime, "LetTimeVal");
        iVal.iTime = aTime;
    }
    bool BooleanVal() const { return iVal.iBool; }
    void SetBooleanVal(bool aBool)
    {
        CheckType(EValBool, "LetBooleanVal");
        iVal.iBool = aBool;
    }
    const TObjRef& ControlVal() const { return iVal.iObj; }
    void SetControlVal(TObjRef aControl);
    const TObjRef& CardVal() const { return iVal.iObj; }
    void SetCardVal(TObjRef aCard);
    const TObjRef& ControlSetVal() const { return iVal.iObj; }
    void SetControlSetVal(TObjRef aControlSet);

    // Numeric types compare with each other as Int or Float, other types only with their own;
    // strings by character codes, True below False, cards and fields by identity for equality only.
    bool Equal(const CVexilVar& aOther) const;
    bool Lt(const CVexilVar& aOther) const;
    bool Gt(const CVexilVar& aOther) const;
    // Copies the value of a variable of the same type.
    void Assign(const CVexilVar& aOther);

    QString ToStr() const;
    // Rounded half to even; beyond 32 bits run-time error 6.
    int32_t ToInt() const;
    double ToReal() const;
    // Reads the string constant at the reader's position into this String.
    void GetFromCode(CVexilCodeReader& aCode);

    // The record as a whole; the setter leaves ValType as it is.
    const TValue& Val() const { return iVal; }
    void SetVal(const TValue& aVal) { iVal = aVal; }

    static bool IsNumType(int32_t aType) { return aType == EValInt || aType == EValReal; }

private:
    static bool CompatibleTypes(int32_t aType1, int32_t aType2);
    static int32_t ResultType(int32_t aType1, int32_t aType2);
    // The setters check the type at every step of a run: the texts are made only on a failure.
    void CheckType(int32_t aType, const char* aContext) const
    {
        if (iValType != aType)
            Failed(aContext, "type");
    }
    void Failed(const char* aContext, const char* aWhat) const;
    std::partial_ordering Order(const CVexilVar& aOther, const QString& aContext, bool aEquality) const;
    QString ObjName() const;

    int32_t iValType = EValUndef;
    TValue iVal;
};
