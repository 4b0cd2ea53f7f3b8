#pragma once

#include "foundation/VexilValue.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <cstdint>

// Values of each type as a card holds them, for building test data.
namespace Val
{
inline TValue Str(const QString& aText)
{
    TValue value;
    value.iType = EValStr;
    value.iStr = aText;
    return value;
}

inline TValue Int(int32_t aNum)
{
    TValue value;
    value.iType = EValInt;
    value.iInt = aNum;
    return value;
}

inline TValue Real(double aNum)
{
    TValue value;
    value.iType = EValReal;
    value.iReal = aNum;
    return value;
}

inline TValue Bool(bool aOn)
{
    TValue value;
    value.iType = EValBool;
    value.iBool = aOn;
    return value;
}

inline TValue Date(const QDate& aDate)
{
    TValue value;
    value.iType = EValDate;
    value.iDate = CVexilValue::FromQDate(aDate);
    return value;
}

inline TValue Time(const QTime& aTime)
{
    TValue value;
    value.iType = EValTime;
    value.iTime = CVexilValue::FromQTime(aTime);
    return value;
}

inline TValue Blob(int32_t aId)
{
    TValue value;
    value.iType = EValBlobId;
    value.iInt = aId;
    return value;
}
}  // namespace Val
