#pragma once

#include "foundation/VexilScanner.h"
#include "foundation/VexilValueDef.h"
#include "foundation/VexilValueField.h"

#include <QChar>
#include <QString>

#include <cstdint>

// Carries a stored value of a field over to a new field type, by the table of the value type
// editor: Text and List take the value's display text for the old field; Integer and Float
// take numbers and texts of numbers; Boolean takes texts ("T" is True). A text becomes a
// number after its digits, signs and the chosen decimal separator are kept, and that rest is
// read with the chosen separator whatever the locale; Integer rounds half to even.
//
// Guarantees: Convert never raises nor asks an assertion question; it answers false for
// every value the table has no conversion for (a text that is no number, a number beyond
// 32 bits for Integer, any value for Date, Time, Picture and Command, a non-text for
// Boolean), and the result then is undefined.
class CVexilValueConversion
{
public:
    // aOldField is the field as it is before the change; aNewType an EConType.
    CVexilValueConversion(const IVexilValueField& aOldField, int32_t aNewType, QChar aDecSep);

    // An undefined value stays undefined.
    bool Convert(const TValue& aFrom, TValue& aTo);

    // A filtered number text: an optional leading sign, digits and at most one separator,
    // with at least one digit. False for anything else and for a number beyond a double.
    static bool ReadNumber(const QString& aFiltered, QChar aDecSep, double& aValue);

private:
    bool TextToNumber(const QString& aText, double& aValue);

    const IVexilValueField& iOldField;
    int32_t iNewType;
    QChar iDecSep;
    QString iDecSepText;
    QString iFiltered;
    CVexilScanner iScanner;
};
