#include "foundation/VexilTextCompare.h"

#include "foundation/VexilKeyHint.h"

#include <QCollator>
#include <QLocale>

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace
{
// The collator of the ICU library, set as QCollator sets its own for a case-insensitive
// comparison, so that its keys order texts as QCollator::compare does.
struct TIcuCollator
{
    UCollator* iCollator = nullptr;

    explicit TIcuCollator(const QLocale& aLocale)
    {
        if (aLocale.language() == QLocale::C)
            return;  // QCollator compares case-folded code units there
        const QByteArray name = aLocale.bcp47Name().replace('-', '_').toLatin1();
        UErrorCode status = U_ZERO_ERROR;
        iCollator = ucol_open(name.constData(), &status);
        if (U_FAILURE(status))
        {
            iCollator = nullptr;
            return;
        }
        ucol_setAttribute(iCollator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(iCollator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
        ucol_setAttribute(iCollator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(iCollator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    }
    ~TIcuCollator()
    {
        if (iCollator)
            ucol_close(iCollator);
    }
    TIcuCollator(const TIcuCollator&) = delete;
    TIcuCollator& operator=(const TIcuCollator&) = delete;
};

struct TCachedCollator
{
    QLocale iLocale;
    std::optional<QCollator> iCollator;
    std::optional<TIcuCollator> iIcu;
    bool iHintsApply = false;
    uint32_t iGeneration = 0;
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
        cache.iIcu.emplace(locale);
        cache.iHintsApply = PlainLatinOrder(locale.language());
        ++cache.iGeneration;
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

TCollationKey::TCollationKey(const uint8_t* aBytes, uint32_t aSize)
    : iData(std::make_unique_for_overwrite<uint8_t[]>(sizeof(uint32_t) + aSize))
{
    std::memcpy(iData.get(), &aSize, sizeof(uint32_t));
    if (aSize > 0)
        std::memcpy(iData.get() + sizeof(uint32_t), aBytes, aSize);
}

TCollationKey::TCollationKey(const TCollationKey& aOther)
{
    if (aOther.iData)
        *this = TCollationKey(aOther.Bytes(), aOther.Size());
}

TCollationKey& TCollationKey::operator=(const TCollationKey& aOther)
{
    if (this != &aOther)
        *this = TCollationKey(aOther);
    return *this;
}

uint32_t TCollationKey::Size() const
{
    uint32_t size = 0;
    if (iData)
        std::memcpy(&size, iData.get(), sizeof(uint32_t));
    return size;
}

TCollationView TCollationKey::View() const
{
    return {iData ? Bytes() : nullptr, Size()};
}

int TCollationView::Compare(const TCollationView& aOther) const
{
    const uint32_t common = std::min(iSize, aOther.iSize);
    const int order = common > 0 ? std::memcmp(iBytes, aOther.iBytes, common) : 0;
    if (order != 0)
        return order;
    return iSize < aOther.iSize ? -1 : (iSize > aOther.iSize ? 1 : 0);
}

uint64_t TCollationView::Hint() const
{
    // The bytes after the end count as zeros: a key sorts before its continuations, so the
    // padded code never contradicts the order, and the hint never claims a whole key.
    TKeyHint hint;
    for (uint32_t i = 0; i < 7; ++i)
        hint.Add(i < iSize ? iBytes[i] : 0, 8);
    return hint.Known();
}

TCollationKey CVexilTextCompare::Key(QStringView aText)
{
    // QCollator puts the empty text before every other, also before texts the collation
    // ignores entirely: the empty key does the same.
    if (aText.isEmpty())
        return TCollationKey(nullptr, 0);
    const TCachedCollator& cache = Current();
    if (cache.iIcu && cache.iIcu->iCollator)
    {
        const auto* text = reinterpret_cast<const UChar*>(aText.utf16());
        const int32_t length = int32_t(std::min<qsizetype>(aText.size(), INT32_MAX));
        uint8_t buffer[256];
        int32_t size = ucol_getSortKey(cache.iIcu->iCollator, text, length, buffer, int32_t(sizeof(buffer)));
        if (size <= int32_t(sizeof(buffer)))
            return TCollationKey(buffer, uint32_t(std::max(size - 1, 0)));  // without the closing zero
        std::vector<uint8_t> large(size_t(size), 0);
        size = ucol_getSortKey(cache.iIcu->iCollator, text, length, large.data(), size);
        return TCollationKey(large.data(), uint32_t(std::max(size - 1, 0)));
    }
    // The C locale (and a locale without an ICU collation): the case-folded code units, a low surrogate after a high one standing for
    // the folded code point, three bytes each.
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(aText.size()) * 3);
    char16_t last = 0;
    for (const QChar c : aText)
    {
        char32_t unit = c.unicode();
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last))
            unit = QChar::surrogateToUcs4(last, char16_t(unit));
        last = c.unicode();
        const char32_t folded = QChar::toCaseFolded(unit);
        bytes.push_back(uint8_t(folded >> 16));
        bytes.push_back(uint8_t(folded >> 8));
        bytes.push_back(uint8_t(folded));
    }
    return TCollationKey(bytes.data(), uint32_t(bytes.size()));
}

uint32_t CVexilTextCompare::Generation()
{
    return Current().iGeneration;
}
