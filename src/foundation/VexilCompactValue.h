#pragma once

#include "foundation/VexilValueDef.h"

#include <QString>

#include <cstdint>

// A TValue as the keyed array keeps it: the one field that its type names, in the room of the
// largest, and the other fields as one of the two patterns nearly every stored value shows
// (all zero, as a fresh TValue leaves them, or as an array's InitElem leaves them). A value
// with any other leftovers is kept whole, so that every value reads back exactly as it was
// stored, leftovers included.
class TCompactValue
{
public:
    TCompactValue() noexcept : iInt(0) {}
    explicit TCompactValue(const TValue& aVal);
    TCompactValue(const TCompactValue& aOther);
    TCompactValue(TCompactValue&& aOther) noexcept;
    TCompactValue& operator=(const TCompactValue& aOther);
    TCompactValue& operator=(TCompactValue&& aOther) noexcept;
    ~TCompactValue() { Release(); }

    TValue Get() const;
    void Set(const TValue& aVal) { *this = TCompactValue(aVal); }

    int32_t Type() const { return iForm == EWhole ? iWhole->iType : iType; }
    // The fields of the value as Get would give them, without building it.
    QString Str() const;
    int32_t Int() const;
    const TObjRef& Obj() const;

private:
    // Which field of a TValue the type names.
    enum EOwn : uint8_t
    {
        EOwnNone,
        EOwnStr,
        EOwnInt,
        EOwnReal,
        EOwnDate,
        EOwnTime,
        EOwnBool,
        EOwnPair,
        EOwnObj,
    };
    // The other fields: all zero; as InitElem leaves them (the integers UndefLong); or the
    // value is kept whole.
    enum EForm : uint8_t
    {
        EZeroRest,
        EFreshRest,
        EWhole,
    };

    static EOwn OwnOf(int32_t aType);
    static bool RestIs(const TValue& aVal, EOwn aOwn, int32_t aIntRest);
    void Release() noexcept;
    void CopyFrom(const TCompactValue& aOther);
    void MoveFrom(TCompactValue&& aOther) noexcept;
    EOwn Own() const { return EOwn(iOwn); }

    int32_t iType = EValUndef;
    uint8_t iForm = EZeroRest;
    uint8_t iOwn = EOwnNone;
    union
    {
        int32_t iInt;
        double iReal;  // also a date or a time
        bool iBool;
        int32_t iPair[2];
        QString iStr;
        TObjRef iObj;
        TValue* iWhole;
    };
};
