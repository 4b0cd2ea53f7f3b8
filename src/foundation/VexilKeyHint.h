#pragma once

#include <QStringView>

#include <cstdint>

// An abbreviated key: the leading part of a key in 64 bits whose order agrees with the order of
// the keys, so that most comparisons of a search need neither the key nor its text.
//
// The upper 58 bits hold a code built from the most significant bit down; the lower 6 bits
// tell how many leading bits of the code are known (the others stand for anything), or are
// all set when the code is the whole key. Two hints decide an order only when every key they
// may stand for lies on the same side; the hint 0 knows nothing and decides nothing.
class TKeyHint
{
public:
    enum EOrder
    {
        EUnknown,
        EBefore,
        EEqual,
        EAfter,
    };

    static constexpr int KCodeBits = 58;

    // How the key of aA orders against the key of aB, as far as the hints tell.
    static EOrder Order(uint64_t aA, uint64_t aB)
    {
        const uint64_t codeA = aA >> KKnownBits;
        const uint64_t codeB = aB >> KKnownBits;
        const uint32_t knownA = uint32_t(aA & KWhole);
        const uint32_t knownB = uint32_t(aB & KWhole);
        if (knownA == KWhole && knownB == KWhole)
            return codeA < codeB ? EBefore : (codeA > codeB ? EAfter : EEqual);
        if ((codeA | Open(knownA)) < codeB)
            return EBefore;
        if (codeA > (codeB | Open(knownB)))
            return EAfter;
        return EUnknown;
    }

    // An integer key is its own hint.
    static uint64_t OfInt(int32_t aKey)
    {
        TKeyHint hint;
        hint.Add(uint32_t(aKey) ^ 0x80000000u, 32);
        return hint.Whole();
    }

    // The integer key of a hint made by OfInt.
    static int32_t IntOf(uint64_t aHint) { return int32_t(uint32_t(aHint >> 32) ^ 0x80000000u); }

    // A text compared by its UTF-16 code units: the first eight, as long as they are below 128.
    static uint64_t OfCodeUnits(QStringView aText)
    {
        TKeyHint hint;
        for (QChar c : aText)
        {
            if (!hint.Room(7))
                return hint.Known();
            if (c.unicode() == 0 || c.unicode() >= 0x80)
                return hint.Known();
            hint.Add(c.unicode(), 7);
        }
        return hint.Whole();
    }

    bool Room(int aBits) const { return iBits + aBits <= KCodeBits; }

    // Appends a field of aBits bits; the caller has made sure there is room.
    void Add(uint32_t aValue, int aBits)
    {
        iBits += aBits;
        iCode |= uint64_t(aValue) << (KCodeBits - iBits);
    }

    // The hint when the key goes on beyond what was added.
    uint64_t Known() const { return (iCode << KKnownBits) | uint64_t(iBits); }
    // The hint when the key ends with what was added.
    uint64_t Whole() const { return (iCode << KKnownBits) | KWhole; }

private:
    static constexpr int KKnownBits = 6;
    static constexpr uint32_t KWhole = 63;

    // The bits of the code that a hint with aKnown known bits leaves open.
    static uint64_t Open(uint32_t aKnown)
    {
        return aKnown >= uint32_t(KCodeBits) ? 0 : (uint64_t(1) << (KCodeBits - aKnown)) - 1;
    }

    uint64_t iCode = 0;
    int iBits = 0;
};
