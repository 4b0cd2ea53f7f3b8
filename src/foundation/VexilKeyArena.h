#pragma once

#include "foundation/VexilTextCompare.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

// The string keys of one keyed array, packed into pages that the arena owns: each key's UTF-16
// text and, where the array orders by collation, the bytes of its collation key, behind a
// short header. An element of the array holds a 32-bit reference instead of a string and a
// key object of its own, so adding a key costs no allocation of its own and a million keys
// take a few hundred large blocks.
//
// A reference stays valid until the key is released or the arena is compacted; KNone names
// the null key without a collation key. Released keys keep their room until the owner builds
// the arena again (Wasteful says when that pays). A null text is told apart from an empty
// one, as QString tells them apart.
class TKeyArena
{
public:
    static constexpr uint32_t KNone = 0;

    TKeyArena() = default;
    TKeyArena(const TKeyArena& aOther);
    TKeyArena(TKeyArena&&) noexcept = default;
    TKeyArena& operator=(const TKeyArena& aOther);
    TKeyArena& operator=(TKeyArena&&) noexcept = default;

    // Stores a key; aColl is the collation key kept with it, or none. A null text without a
    // collation key takes no room and gives KNone.
    uint32_t Add(const QString& aText, const TCollationView* aColl = nullptr);
    // Stores the key aRef of aFrom again here.
    uint32_t AddFrom(const TKeyArena& aFrom, uint32_t aRef);
    // The key's room counts as waste from now on.
    void Release(uint32_t aRef);
    void Clear();

    QStringView Text(uint32_t aRef) const;
    // The key as a string of its own, null when it was stored null.
    QString Copy(uint32_t aRef) const;
    // The key as a string over the arena's own memory, for the comparisons of one operation:
    // valid only while the arena is not changed.
    QString Borrow(uint32_t aRef) const;
    bool HasColl(uint32_t aRef) const;
    // The empty view when the key keeps none.
    TCollationView Coll(uint32_t aRef) const;

    // True when released keys take more room than the live ones and more than one large page.
    bool Wasteful() const;

private:
    // The header of a key: the text's length, whether the text is null and whether a
    // collation key follows; with one, the next two units give its size in bytes.
    static constexpr uint32_t KNullText = 0x80000000u;
    static constexpr uint32_t KWithColl = 0x40000000u;
    static constexpr uint32_t KLenMask = 0x3FFFFFFFu;
    // References: the page (from 1 on) above the offset of the key in units of 16 bits.
    static constexpr int KOffsetBits = 15;
    static constexpr uint32_t KPageUnits = 1u << KOffsetBits;
    static constexpr uint32_t KFirstPageUnits = 64;
    static constexpr uint32_t KMaxPages = (1u << (32 - KOffsetBits)) - 1;

    struct TPage
    {
        std::unique_ptr<char16_t[]> iUnits;
        uint32_t iSize = 0;  // units that the page can hold
        uint32_t iUsed = 0;
    };

    // A key's place: where its header starts.
    const char16_t* At(uint32_t aRef) const;
    static uint32_t ReadWord(const char16_t* aAt);
    uint32_t Header(uint32_t aRef) const { return ReadWord(At(aRef)); }
    // Units of a key with that header and collation size.
    static uint64_t UnitsOf(uint32_t aHeader, uint32_t aCollSize);
    uint32_t UnitsAt(uint32_t aRef) const;
    // Room for aUnits units; gives the reference and the memory to fill.
    uint32_t Reserve(uint64_t aUnits, char16_t*& aAt);
    uint32_t Store(QStringView aText, bool aNull, const TCollationView* aColl);

    std::vector<TPage> iPages;
    uint64_t iLiveUnits = 0;
    uint64_t iWasteUnits = 0;
};
