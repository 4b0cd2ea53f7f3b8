#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// The program's text comparison: case-insensitive, in the collation order of the user's
// (default) locale. The collator is made once and made again only when the default locale
// changes, because the keyed array compares millions of keys with it.
class CVexilTextCompare
{
public:
    // Negative when aA sorts before aB, 0 when they are equal, positive when after.
    static int Compare(const QString& aA, const QString& aB);

    // A key hint (VexilKeyHint.h) of a text for this comparison, from its leading digits and
    // Latin letters; aWhole when the text is the whole key, aDescending for the reversed order.
    // The hints hold in the locales whose collation orders these characters plainly.
    static uint64_t Hint(QStringView aText, bool aWhole, bool aDescending);
    // Whether hints agree with the comparison in the current default locale.
    static bool HintsApply();
};
