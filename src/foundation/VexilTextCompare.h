#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>

// The bytes of a collation key where someone else keeps them (a key arena, a TCollationKey).
struct TCollationView
{
    const uint8_t* iBytes = nullptr;
    uint32_t iSize = 0;

    // Negative when this key sorts before aOther, 0 when equal, positive after.
    int Compare(const TCollationView& aOther) const;
    // A key hint (VexilKeyHint.h) from the first bytes of the key.
    uint64_t Hint() const;
};

// A text's collation key: bytes whose order (byte by byte, a key before its continuations) is
// the order of CVexilTextCompare for the locale it was made in. Unset until made.
class TCollationKey
{
public:
    TCollationKey() = default;
    TCollationKey(const uint8_t* aBytes, uint32_t aSize);
    TCollationKey(const TCollationKey& aOther);
    TCollationKey(TCollationKey&&) noexcept = default;
    TCollationKey& operator=(const TCollationKey& aOther);
    TCollationKey& operator=(TCollationKey&&) noexcept = default;

    bool IsSet() const { return iData != nullptr; }
    int Compare(const TCollationKey& aOther) const { return View().Compare(aOther.View()); }
    uint64_t Hint() const { return View().Hint(); }
    TCollationView View() const;

private:
    uint32_t Size() const;
    const uint8_t* Bytes() const { return iData.get() + sizeof(uint32_t); }

    std::unique_ptr<uint8_t[]> iData;  // the size, then the bytes
};

// The program's text comparison: case-insensitive, in the collation order of the user's
// (default) locale. The collator is made once and made again only when the default locale
// changes, because the keyed array compares millions of keys with it.
class CVexilTextCompare
{
public:
    // Negative when aA sorts before aB, 0 when they are equal, positive when after.
    static int Compare(const QString& aA, const QString& aB);

    // The collation key of a text in the current default locale: comparing two keys gives what
    // Compare gives for their texts.
    static TCollationKey Key(QStringView aText);
    // Changes whenever the default locale changed since the last call, and so the keys.
    static uint32_t Generation();

    // A key hint (VexilKeyHint.h) of a text for this comparison, from its leading digits and
    // Latin letters; aWhole when the text is the whole key, aDescending for the reversed order.
    // The hints hold in the locales whose collation orders these characters plainly.
    static uint64_t Hint(QStringView aText, bool aWhole, bool aDescending);
    // Whether hints agree with the comparison in the current default locale.
    static bool HintsApply();
};
