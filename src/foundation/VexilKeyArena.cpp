#include "foundation/VexilKeyArena.h"

#include "foundation/VexilError.h"

#include <algorithm>
#include <cstring>

namespace
{
// Units of 16 bits that aBytes bytes take.
uint64_t UnitsForBytes(uint64_t aBytes)
{
    return (aBytes + 1) / 2;
}

void WriteWord(char16_t* aAt, uint32_t aWord)
{
    std::memcpy(aAt, &aWord, sizeof(aWord));
}
}  // namespace

TKeyArena::TKeyArena(const TKeyArena& aOther) : iLiveUnits(aOther.iLiveUnits), iWasteUnits(aOther.iWasteUnits)
{
    // Each page as far as it is used: the copy adds its next key on a page of its own.
    iPages.reserve(aOther.iPages.size());
    for (const TPage& page : aOther.iPages)
    {
        TPage& copy = iPages.emplace_back();
        copy.iUnits = std::make_unique_for_overwrite<char16_t[]>(std::max<uint32_t>(page.iUsed, 1));
        std::copy_n(page.iUnits.get(), page.iUsed, copy.iUnits.get());
        copy.iSize = page.iUsed;
        copy.iUsed = page.iUsed;
    }
}

TKeyArena& TKeyArena::operator=(const TKeyArena& aOther)
{
    if (this != &aOther)
        *this = TKeyArena(aOther);
    return *this;
}

uint32_t TKeyArena::ReadWord(const char16_t* aAt)
{
    uint32_t word = 0;
    std::memcpy(&word, aAt, sizeof(word));
    return word;
}

const char16_t* TKeyArena::At(uint32_t aRef) const
{
    return iPages[(aRef >> KOffsetBits) - 1].iUnits.get() + (aRef & (KPageUnits - 1));
}

uint64_t TKeyArena::UnitsOf(uint32_t aHeader, uint32_t aCollSize)
{
    const bool withColl = (aHeader & KWithColl) != 0;
    return 2 + (withColl ? 2 : 0) + (aHeader & KLenMask) + (withColl ? UnitsForBytes(aCollSize) : 0);
}

uint32_t TKeyArena::UnitsAt(uint32_t aRef) const
{
    return uint32_t(UnitsOf(Header(aRef), Coll(aRef).iSize));
}

uint32_t TKeyArena::Reserve(uint64_t aUnits, char16_t*& aAt)
{
    if (iPages.empty() || iPages.back().iSize - iPages.back().iUsed < aUnits)
    {
        // Pages grow from a small first one, so that an array of a few keys stays small; a key
        // longer than a page gets a page of its own.
        if (iPages.size() >= KMaxPages || aUnits > KLenMask)
            CVexilError::RaiseRunError(ERunOutOfMemory, QStringLiteral("TKeyArena"));
        const uint64_t grown = uint64_t(KFirstPageUnits) << std::min<size_t>(iPages.size(), KOffsetBits);
        const uint32_t size = uint32_t(std::max<uint64_t>(aUnits, std::min<uint64_t>(grown, KPageUnits)));
        TPage& page = iPages.emplace_back();
        page.iUnits = std::make_unique_for_overwrite<char16_t[]>(size);
        page.iSize = size;
    }
    TPage& page = iPages.back();
    const uint32_t offset = page.iUsed;
    aAt = page.iUnits.get() + offset;
    page.iUsed += uint32_t(aUnits);
    iLiveUnits += aUnits;
    return (uint32_t(iPages.size()) << KOffsetBits) | offset;
}

uint32_t TKeyArena::Store(QStringView aText, bool aNull, const TCollationView* aColl)
{
    if (aNull && !aColl)
        return KNone;
    if (uint64_t(aText.size()) > KLenMask)
        CVexilError::RaiseRunError(ERunOutOfMemory, QStringLiteral("TKeyArena"));
    const uint32_t header =
        uint32_t(aText.size()) | (aNull ? KNullText : 0) | (aColl ? KWithColl : 0);
    const uint32_t collSize = aColl ? aColl->iSize : 0;
    char16_t* at = nullptr;
    const uint32_t ref = Reserve(UnitsOf(header, collSize), at);
    WriteWord(at, header);
    at += 2;
    if (aColl)
    {
        WriteWord(at, collSize);
        at += 2;
    }
    std::copy_n(aText.utf16(), aText.size(), at);
    if (collSize > 0)
        std::memcpy(at + aText.size(), aColl->iBytes, collSize);
    return ref;
}

uint32_t TKeyArena::Add(const QString& aText, const TCollationView* aColl)
{
    return Store(aText, aText.isNull(), aColl);
}

uint32_t TKeyArena::AddFrom(const TKeyArena& aFrom, uint32_t aRef)
{
    if (aRef == KNone)
        return KNone;
    const TCollationView coll = aFrom.Coll(aRef);
    return Store(aFrom.Text(aRef), (aFrom.Header(aRef) & KNullText) != 0, aFrom.HasColl(aRef) ? &coll : nullptr);
}

void TKeyArena::Release(uint32_t aRef)
{
    if (aRef == KNone)
        return;
    const uint32_t units = UnitsAt(aRef);
    iLiveUnits -= units;
    iWasteUnits += units;
}

void TKeyArena::Clear()
{
    iPages.clear();
    iLiveUnits = 0;
    iWasteUnits = 0;
}

QStringView TKeyArena::Text(uint32_t aRef) const
{
    if (aRef == KNone)
        return {};
    const char16_t* at = At(aRef);
    const uint32_t header = ReadWord(at);
    return QStringView(at + ((header & KWithColl) ? 4 : 2), qsizetype(header & KLenMask));
}

QString TKeyArena::Copy(uint32_t aRef) const
{
    if (aRef == KNone || (Header(aRef) & KNullText) != 0)
        return {};
    return Text(aRef).toString();
}

QString TKeyArena::Borrow(uint32_t aRef) const
{
    if (aRef == KNone || (Header(aRef) & KNullText) != 0)
        return {};
    const QStringView text = Text(aRef);
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.utf16()), text.size());
}

bool TKeyArena::HasColl(uint32_t aRef) const
{
    return aRef != KNone && (Header(aRef) & KWithColl) != 0;
}

TCollationView TKeyArena::Coll(uint32_t aRef) const
{
    if (!HasColl(aRef))
        return {};
    const char16_t* at = At(aRef);
    const uint32_t header = ReadWord(at);
    return {reinterpret_cast<const uint8_t*>(at + 4 + (header & KLenMask)), ReadWord(at + 2)};
}

bool TKeyArena::Wasteful() const
{
    return iWasteUnits > iLiveUnits && iWasteUnits > KPageUnits;
}
