#pragma once

#include <QString>

// The program's text comparison: case-insensitive, in the collation order of the user's
// (default) locale. The collator is made once and made again only when the default locale
// changes, because the keyed array compares millions of keys with it.
class CVexilTextCompare
{
public:
    // Negative when aA sorts before aB, 0 when they are equal, positive when after.
    static int Compare(const QString& aA, const QString& aB);
};
