#pragma once

#include "foundation/VexilValueDef.h"
#include "foundation/VexilValueField.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>

// Operations on the stored value record. Two text forms exist: the display text ("Ext", the
// user's regional settings and the field's decimals) and the neutral text ("Int": "." as
// decimal point, dates yyyymmdd, times hhmmss, Booleans -1 and 0).
class CVexilValue
{
public:
    static QString TypeStr(int32_t aType);
    static int32_t ConToValType(int32_t aConType);

    // yyyymmdd and hhmmss integers; UndefLong gives 1980-01-01 and 00:00:00. Out-of-range
    // parts carry into the next unit; a year beyond 9999 raises run-time error 5.
    static double IntToDate(int32_t aIntDate);
    // IntToDate of a date read from a file: false when the calendar cannot hold it.
    static bool StoredDate(int32_t aIntDate, double& aDate);
    static double IntToTime(int32_t aIntTime);
    // Raise run-time error 6 for a value outside the date range.
    static int32_t DateToInt(double aDate);
    static int32_t TimeToInt(double aTime);

    static bool Equal(const TValue& aA, const TValue& aB);
    static QString ValToExtText(const TValue& aVal, const IVexilValueField& aField);
    // The display texts of a date (short date form) and of a time of day (long time form).
    static QString DateToExtText(double aDate);
    static QString TimeToExtText(double aTime);
    static QString ValToIntText(const TValue& aVal);
    // Never raise: a text that cannot be read gives the partly filled record.
    static TValue ExtTextToVal(const QString& aText, const IVexilValueField& aField);
    // Whether ExtTextToVal reads anything from the text for the field's type, by its own
    // readers: false only for a text that is not blank and holds no number in the type's range
    // (Integer, Real), or no date or time (Date, Time); any text of the other types is read.
    static bool ExtTextReadable(const QString& aText, const IVexilValueField& aField);
    // The date and time reader of ExtTextToVal: a date, a time of day or both (days since
    // 1899-12-30); false when the text is none of these.
    static bool ExtTextToDateTime(const QString& aText, double& aValue);
    static TValue IntTextToVal(const QString& aText, const IVexilValueField& aField);
    static TValue StrToVal(const QString& aText);
    static void EnsureStr(TValue& aVal);
    // Raise run-time error 13 for a text that is no number and 6 for one out of range.
    static int32_t ToInt(const TValue& aVal);
    static double ToReal(const TValue& aVal);
    // Fills the field of aTo that its iType names.
    static void Convert(const TValue& aFrom, const IVexilValueField& aField, TValue& aTo);
    static void SetZero(TValue& aVal, int32_t aType, double aDate, double aTime);
    static void Copy(const TValue& aFrom, TValue& aTo);

    // Between the stored form (days since 1899-12-30; the integer part is the date, the
    // fraction the time of day) and Qt's types. ToQDate and ToQTime raise run-time error 6
    // outside the date range.
    static QDate ToQDate(double aDate);
    static QTime ToQTime(double aTime);
    static double FromQDate(const QDate& aDate);
    static double FromQTime(const QTime& aTime);
    static double FromQDateTime(const QDateTime& aDateTime);
};
