#include "foundation/VexilTextCompare.h"

#include "foundation/VexilKeyHint.h"

#include <QCollator>
#include <QLocale>

#include <optional>

namespace
{
struct TCachedCollator
{
    QLocale iLocale;
    std::optional<QCollator> iCollator;
    bool iHintsApply = false;
};

// Languages whose collation orders the digits before the letters, the letters as in the
// alphabet whatever their case, and a text before its longer continuations, without
// contractions or tailorings of these characters.
bool PlainLatinOrder(QLocale::Language aLanguage)
{
    switch (aLanguage)
    {
    case QLocale::C:
    case QLocale::English:
    case QLocale::German:
    case QLocale::French:
    case QLocale::Italian:
    case QLocale::Portuguese:
    case QLocale::Spanish:
    case QLocale::Dutch: return true;
    default: return false;
    }
}

const TCachedCollator& Current()
{
    static TCachedCollator cache;
    const QLocale locale;
    if (!cache.iCollator || cache.iLocale != locale)
    {
        cache.iLocale = locale;
        cache.iCollator.emplace(locale);
        cache.iCollator->setCaseSensitivity(Qt::CaseInsensitive);
        cache.iHintsApply = PlainLatinOrder(locale.language());
    }
    return cache;
}

// 1 to 10 for the digits, 11 to 36 for the letters of either case, 0 for anything else.
uint32_t PlainCode(QChar aChar)
{
    const char16_t c = aChar.unicode();
    if (c >= u'0' && c <= u'9')
        return 1 + uint32_t(c - u'0');
    if (c >= u'a' && c <= u'z')
        return 11 + uint32_t(c - u'a');
    if (c >= u'A' && c <= u'Z')
        return 11 + uint32_t(c - u'A');
    return 0;
}
}  // namespace

int CVexilTextCompare::Compare(const QString& aA, const QString& aB)
{
    return Current().iCollator->compare(aA, aB);
}

bool CVexilTextCompare::HintsApply()
{
    return Current().iHintsApply;
}

uint64_t CVexilTextCompare::Hint(QStringView aText, bool aWhole, bool aDescending)
{
    constexpr int kBits = 6;
    constexpr uint32_t kLast = (1u << kBits) - 1;
    TKeyHint hint;
    for (QChar c : aText)
    {
        const uint32_t code = PlainCode(c);
        if (code == 0 || !hint.Room(kBits))
            return hint.Known();
        hint.Add(aDescending ? kLast - code : code, kBits);
    }
    // The text ended: what would follow sorts after it (before it when descending).
    while (hint.Room(kBits))
        hint.Add(aDescending ? kLast : 0, kBits);
    return aWhole ? hint.Whole() : hint.Known();
}
