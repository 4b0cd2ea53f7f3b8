#pragma once

#include <QSet>
#include <QString>

#include <cstdint>

// The characters, upper-cased, that the display text of a value of one type can hold in the
// current locale: integers, reals, dates, times and Booleans.
//
// Guarantees: a superset. When MayHold says no, the upper-cased display text of no value of
// that type holds the upper-cased search, so a search can pass over such values without
// building their texts. Texts and every other type may hold anything: MayHold says yes.
class CVexilDisplayChars
{
public:
    explicit CVexilDisplayChars(int32_t aValType);

    // Whether a display text of the type, upper-cased, can hold aUpperSearch (non-empty).
    bool MayHold(QStringView aUpperSearch) const;

private:
    bool iAny = true;
    QSet<char16_t> iChars;
};
