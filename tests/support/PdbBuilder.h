#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <utility>
#include <vector>

// Writes a HanDBase database in the layout the reader takes: a big-endian header and record
// list (the list at offset 86), the bytes skipped before the field slots, the slots, and the
// records, whose numbers are little-endian. Records are laid out in the order they were added,
// after the slots; entries may share a record's offset, be absent (offset 0) or carry any
// offset. For tests, fuzz starts and benchmarks.
class PdbBuilder
{
public:
    explicit PdbBuilder(const QByteArray& aCreator = "HanD") : iCreator(aCreator) {}

    bool IsHand() const { return iCreator != "PmDB"; }
    int NumSlots() const { return IsHand() ? 100 : 30; }

    // The next field slot: its type byte and name.
    PdbBuilder& Field(uint8_t aType, const QByteArray& aName)
    {
        iFields.emplace_back(aType, aName);
        return *this;
    }

    // An entry whose record holds aContent after the bytes every record begins with.
    int Record(const QByteArray& aContent)
    {
        iContents.append(aContent);
        iEntries.push_back({int(iContents.size()) - 1, 0, false});
        return int(iEntries.size()) - 1;
    }
    // A record made of values (Text, Int, ... below).
    int Values(const QList<QByteArray>& aValues)
    {
        QByteArray content;
        for (const QByteArray& value : aValues)
            content += value;
        return Record(content);
    }
    // An entry at the offset of entry aOther.
    int SameAs(int aOther)
    {
        iEntries.push_back(iEntries[size_t(aOther)]);
        return int(iEntries.size()) - 1;
    }
    // An entry with offset 0: no record.
    int Absent()
    {
        iEntries.push_back({-1, 0, true});
        return int(iEntries.size()) - 1;
    }
    // The 100 drop-down lists of a "HanD" file; list 0 holds aPopups.
    void Lists(const std::vector<std::pair<QByteArray, QByteArray>>& aPopups = {})
    {
        Record(DropDown(aPopups));
        for (int i = 1; i < 100; ++i)
            Record(DropDown({}));
    }

    void SetOffset(int aEntry, int32_t aOffset) { iEntries[size_t(aEntry)] = {-1, aOffset, true}; }
    void SetCount(int16_t aCount) { iCount = aCount; iCountSet = true; }

    // Where the slots end and the first record begins.
    int32_t DataStart() const
    {
        return 86 + 8 * int32_t(iEntries.size()) + (IsHand() ? 650 : 257) + NumSlots() * (IsHand() ? 116 : 56);
    }
    int32_t RecordPrefix() const { return IsHand() ? 23 : 1; }
    // The offset of the record that entry aEntry names (after Bytes() lays them out).
    int32_t OffsetOf(int aEntry) const
    {
        const TEntry& entry = iEntries[size_t(aEntry)];
        if (entry.Explicit)
            return entry.Offset;
        int32_t offset = DataStart();
        for (int i = 0; i < entry.Content; ++i)
            offset += RecordPrefix() + int32_t(iContents[i].size());
        return offset;
    }

    QByteArray Bytes() const
    {
        QByteArray bytes;
        bytes += Fixed("Test database", 32);
        bytes += QByteArray(28, '\0');  // attributes to sort-info offset
        bytes += "DATA";
        bytes += iCreator.left(4).leftJustified(4, '\0');
        bytes += QByteArray(8, '\0');
        bytes += Be16(iCountSet ? iCount : int16_t(iEntries.size()));
        bytes += QByteArray(8, '\0');  // to offset 86
        for (int i = 0; i < int(iEntries.size()); ++i)
            bytes += Be32(OffsetOf(i)) + QByteArray(4, '\0');
        bytes += QByteArray(IsHand() ? 650 : 257, '\0');
        for (int slot = 0; slot < NumSlots(); ++slot)
        {
            const uint8_t type = slot < int(iFields.size()) ? iFields[size_t(slot)].first : 0;
            const QByteArray name = slot < int(iFields.size()) ? iFields[size_t(slot)].second : QByteArray();
            if (IsHand())
            {
                QByteArray head(80, '\0');
                head[15] = char(type);
                bytes += head + Fixed(name, 32) + QByteArray(4, '\0');
            }
            else
            {
                QByteArray head(35, '\0');
                head[0] = char(type);
                bytes += head + Fixed(name, 21);
            }
        }
        for (const QByteArray& content : iContents)
            bytes += QByteArray(RecordPrefix(), '\0') + content;
        return bytes;
    }

    // ---- the parts of records

    static QByteArray Le16(int32_t aValue) { return QByteArray(1, char(aValue)) + QByteArray(1, char(aValue >> 8)); }
    static QByteArray Le32(int32_t aValue) { return Le16(aValue) + Le16(aValue >> 16); }
    static QByteArray Be16(int32_t aValue) { return QByteArray(1, char(aValue >> 8)) + QByteArray(1, char(aValue)); }
    static QByteArray Be32(int32_t aValue) { return Be16(aValue >> 16) + Be16(aValue); }
    static QByteArray Fixed(const QByteArray& aText, int aLen) { return aText.left(aLen).leftJustified(aLen, '\0'); }

    // A value of L bytes as they stand.
    static QByteArray Raw(const QByteArray& aBytes) { return Le16(int32_t(aBytes.size())) + aBytes; }
    // A text with its final NUL.
    static QByteArray Text(const QByteArray& aText) { return Raw(aText + '\0'); }
    static QByteArray Int(int32_t aValue) { return Raw(Le32(aValue)); }
    static QByteArray Bool(bool aValue) { return Raw(QByteArray(1, aValue ? '\1' : '\0')); }
    static QByteArray Days(int32_t aDays) { return Raw(Le32(aDays)); }
    static QByteArray Popup(const QByteArray& aKey) { return Raw(Fixed(aKey, 11)); }
    static QByteArray End() { return QByteArray("\xFF\xFF", 2); }

    // A drop-down list: its entries (key, text) with the texts after them.
    static QByteArray DropDown(const std::vector<std::pair<QByteArray, QByteArray>>& aPopups)
    {
        if (aPopups.empty())
            return Le16(0);
        QByteArray entries = Le16(int32_t(aPopups.size())) + Le16(0);
        QByteArray texts;
        const int32_t textsStart = 23 + 4 + 20 * int32_t(aPopups.size());
        for (const auto& [key, text] : aPopups)
        {
            entries += Fixed(key, 11) + QByteArray(7, '\0') + Be16(textsStart + int32_t(texts.size()));
            texts += text + '\0';
        }
        return entries + texts;
    }
    // A drop-down list of one entry whose text lies at aOffset from the record start.
    static QByteArray DropDownAt(const QByteArray& aKey, int16_t aOffset)
    {
        return Le16(1) + Le16(0) + Fixed(aKey, 11) + QByteArray(7, '\0') + Be16(aOffset) + QByteArray("text\0", 5);
    }

private:
    struct TEntry
    {
        int Content = -1;
        int32_t Offset = 0;
        bool Explicit = false;
    };

    QByteArray iCreator;
    std::vector<std::pair<uint8_t, QByteArray>> iFields;
    QList<QByteArray> iContents;
    std::vector<TEntry> iEntries;
    int16_t iCount = 0;
    bool iCountSet = false;
};
