#include "presentation/VexilDisplayChars.h"

#include "foundation/VexilValueDef.h"

#include <QLocale>

namespace
{
// The digits of the locale and the ASCII ones.
QString Digits(const QLocale& aLocale)
{
    return aLocale.toString(1234567890) + QStringLiteral("0123456789");
}

// Month and day names in each form the date formats can use.
QString Names(const QLocale& aLocale)
{
    QString names;
    for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat, QLocale::NarrowFormat})
    {
        for (int month = 1; month <= 12; ++month)
            names += aLocale.monthName(month, format) + aLocale.standaloneMonthName(month, format);
        for (int day = 1; day <= 7; ++day)
            names += aLocale.dayName(day, format) + aLocale.standaloneDayName(day, format);
    }
    return names;
}

// Every character the type's display text is made from, before upper-casing; empty for types
// whose texts may hold anything. The formats' own characters cover their quoted literals.
QString Alphabet(int32_t aValType)
{
    const QLocale locale;
    const QString signs = locale.negativeSign() + locale.positiveSign() + QStringLiteral("-+");
    switch (aValType)
    {
    case EValInt: return QStringLiteral("-0123456789");
    case EValBool: return QStringLiteral("TF");
    case EValReal:
        return Digits(locale) + signs + locale.groupSeparator() + locale.decimalPoint() + locale.exponential() +
               QStringLiteral("Eeinfa");
    case EValDate:
        return Digits(locale) + signs + Names(locale) + locale.dateFormat(QLocale::ShortFormat);
    case EValTime:
    {
        const QString amPm = locale.amText() + locale.pmText();
        return Digits(locale) + signs + amPm + amPm.toLower() + amPm.toUpper() +
               locale.timeFormat(QLocale::LongFormat);
    }
    default: return {};
    }
}
}  // namespace

CVexilDisplayChars::CVexilDisplayChars(int32_t aValType)
{
    const QString alphabet = Alphabet(aValType);
    iAny = alphabet.isEmpty();
    // Upper-casing maps each character on its own, so the upper-cased text of any string of
    // these characters is made of the units of the alphabet upper-cased.
    for (const QChar c : alphabet.toUpper())
        iChars.insert(c.unicode());
}

bool CVexilDisplayChars::MayHold(QStringView aUpperSearch) const
{
    if (iAny)
        return true;
    for (const QChar c : aUpperSearch)
        if (!iChars.contains(c.unicode()))
            return false;
    return true;
}
