#include "interchange/VexilPdbFile.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"

#include <QDate>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace
{
const QString kContext = QStringLiteral("CVexilPdbFile.Construct");
const QString kDropDown = QStringLiteral("**DropDown**");
const QString kUnsupported = QStringLiteral("**unsupported**");
const QString kNotFound = QStringLiteral("**value not found**");

// The layout that differs by creator.
struct TLayout
{
    int32_t RecSkip;    // bytes before a record's content
    int32_t SlotsSkip;  // bytes between the record list and the field slots
    int32_t NumSlots;
    int32_t TypePart;   // the part of a slot that holds the type byte
    int32_t TypeByte;
    int32_t NameLen;
    int32_t SlotRest;   // bytes after the name
};
constexpr TLayout kPmdb{1, 257, 30, 35, 0, 21, 0};
constexpr TLayout kHand{23, 650, 100, 80, 15, 32, 4};

const TLayout& Layout(bool aPmdb)
{
    return aPmdb ? kPmdb : kHand;
}

// Day 0 of the stored dates is 1899-12-30; HanDBase counts from 1904-01-01.
constexpr int32_t kHandDayZero = 1462;

// The number at the start of a text with "." as decimal point, 0 when there is none.
double LeadingNumber(const QString& aText)
{
    const QByteArray bytes = aText.trimmed().toLatin1();
    const char* const begin = bytes.constData();
    const char* const end = begin + bytes.size();
    const char* p = begin;
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    const char* const digits = p;
    while (p != end && (std::isdigit(uint8_t(*p)) || *p == '.'))
        ++p;
    if (p == digits)
        return 0;
    if (p != end && (*p == 'e' || *p == 'E'))
    {
        const char* q = p + 1;
        if (q != end && (*q == '+' || *q == '-'))
            ++q;
        if (q != end && std::isdigit(uint8_t(*q)))
        {
            while (q != end && std::isdigit(uint8_t(*q)))
                ++q;
            p = q;
        }
    }
    // from_chars takes no "+" sign.
    const char* first = *begin == '+' ? begin + 1 : begin;
    double value = 0;
    const auto result = std::from_chars(first, p, value);
    return result.ec == std::errc() ? value : 0;
}
}  // namespace

void CVexilPdbFile::Construct(const QString& aFileName)
{
    iFileName = aFileName;
    CVexilFile file;
    file.Construct(aFileName, EFilRead);
    file.OpenFile();
    const int64_t size = file.Size();
    if (size > std::numeric_limits<int32_t>::max())
        Fail(QStringLiteral("file size %1").arg(size));
    if (size > 0)
        iData = file.ReadRawBytes(int32_t(size));
    file.CloseFile();
    iPos = 0;
    iEnd = iData.size();
    ReadHeader();
    if (iCreator != QLatin1String("PmDB") && iCreator != QLatin1String("HanD"))
        Fail(QStringLiteral("creator ") + iCreator);
    iPmdb = iCreator == QLatin1String("PmDB");
    ReadRecordList();
    Skip(Layout(iPmdb).SlotsSkip, "bytes before the field slots");
    ReadFieldDefs();
    ReadAllRecords();
}

QString CVexilPdbFile::ObjDescr() const
{
    return QStringLiteral("CVexilPdbFile");
}

void CVexilPdbFile::CloseFile()
{
    // Everything was read into memory by Construct; the bytes are no longer needed.
    iData = QByteArray();
    iPos = 0;
    iEnd = 0;
}

QString CVexilPdbFile::HexStr(int32_t aCount) const
{
    QStringList bytes;
    const int64_t end = std::min<int64_t>(iData.size(), iPos + std::max(aCount, 0));
    for (int64_t pos = iPos; pos < end; ++pos)
        bytes.append(QStringLiteral("%1").arg(ByteAt(pos), 2, 16, QChar('0')).toUpper());
    return bytes.join(u' ');
}

bool CVexilPdbFile::GetFirstField(TPdbField& aField, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextField(aField, aCursor);
}

bool CVexilPdbFile::GetNextField(TPdbField& aField, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= NumFields())
        return false;
    aField = iFields[size_t(aCursor++)];
    return true;
}

bool CVexilPdbFile::GetFirstRecord(TPdbRecord& aRecord, int32_t& aCursor) const
{
    aCursor = 0;
    return GetNextRecord(aRecord, aCursor);
}

bool CVexilPdbFile::GetNextRecord(TPdbRecord& aRecord, int32_t& aCursor) const
{
    if (aCursor < 0 || aCursor >= NumRecords())
        return false;
    aRecord = iRecords[size_t(aCursor++)];
    return true;
}

void CVexilPdbFile::Fail(const QString& aDetail) const
{
    CVexilError::Throw(EErrWrongFormat, kContext, iFileName, aDetail);
}

void CVexilPdbFile::ReadHeader()
{
    Need(KHeaderLen, "header");
    ReadFixStr(32, "name");
    Skip(28, "header");
    ReadFixStr(4, "type");
    iCreator = ReadFixStr(4, "creator");
    Skip(8, "header");
    iNumRecs = int16_t(ReadShort(true, "record count"));
    ReadShort(true, "header");
}

void CVexilPdbFile::ReadRecordList()
{
    if (iNumRecs < 0)
        Fail(QStringLiteral("record count %1").arg(iNumRecs));
    Skip(KListPos - KHeaderLen, "header");
    Need(int64_t(iNumRecs) * KEntryLen, "record list");
    iEntries.reserve(size_t(iNumRecs));
    for (int32_t i = 0; i < iNumRecs; ++i)
        iEntries.push_back(ReadRecordEntry());
}

TPdbRecEntry CVexilPdbFile::ReadRecordEntry()
{
    TPdbRecEntry entry;
    entry.Offset = ReadLong(true, "record list");
    entry.Attributes = int16_t(ByteAt(iPos));
    Skip(1, "record list");
    entry.UniqueId = (int32_t(ByteAt(iPos)) << 16) | (int32_t(ByteAt(iPos + 1)) << 8) | ByteAt(iPos + 2);
    Skip(3, "record list");
    return entry;
}

void CVexilPdbFile::ReadFieldDefs()
{
    const TLayout& layout = Layout(iPmdb);
    Need(int64_t(layout.NumSlots) * (layout.TypePart + layout.NameLen + layout.SlotRest), "field slots");
    for (int32_t slot = 0; slot < layout.NumSlots; ++slot)
    {
        const uint8_t typeByte = ByteAt(iPos + layout.TypeByte);
        Skip(layout.TypePart, "field slots");
        TPdbField field;
        switch (typeByte)
        {
        case EPdbNone:
        case EPdbText:
        case EPdbInteger:
        case EPdbReal:
        case EPdbBoolean:
        case EPdbDate:
        case EPdbNote:
            field.iType = typeByte;
            break;
        case EPdbPopup:
            field.iType = iPmdb ? EPdbUnsupported : EPdbPopup;
            break;
        default:
            field.iType = EPdbUnsupported;
        }
        field.Name = ReadFixStr(layout.NameLen, "field slots");
        Skip(layout.SlotRest, "field slots");
        iFields.push_back(field);
    }
    while (!iFields.empty() && iFields.back().iType == EPdbNone)
        iFields.pop_back();
}

void CVexilPdbFile::ReadAllRecords()
{
    // The records lie in the file after the field slots; a record's bytes end where the
    // next record (by offset) begins.
    const int64_t dataStart = iPos;
    const int64_t size = iData.size();
    std::vector<int32_t> byOffset;
    for (int32_t i = 0; i < iNumRecs; ++i)
    {
        const int32_t offset = iEntries[size_t(i)].Offset;
        if (offset == 0)
            continue;
        // A record at the very end of the file is one of length zero.
        if (offset < dataStart || offset > size)
            Fail(QStringLiteral("record %1 at offset %2").arg(i).arg(offset));
        byOffset.push_back(i);
    }
    std::stable_sort(byOffset.begin(), byOffset.end(), [this](int32_t aA, int32_t aB) {
        return iEntries[size_t(aA)].Offset < iEntries[size_t(aB)].Offset;
    });
    std::vector<int64_t> ends(size_t(iNumRecs), 0);
    for (size_t k = 0; k < byOffset.size(); ++k)
    {
        int64_t end = size;
        if (k + 1 < byOffset.size())
            end = iEntries[size_t(byOffset[k + 1])].Offset;  // equal for all but the last of a run
        ends[size_t(byOffset[k])] = end;
    }
    for (int32_t i = 0; i < iNumRecs; ++i)
        if (iEntries[size_t(i)].Offset != 0)
            ReadRecord(i, iEntries[size_t(i)].Offset, ends[size_t(i)]);
}

void CVexilPdbFile::ReadRecord(int32_t aIndex, int64_t aStart, int64_t aEnd)
{
    const TLayout& layout = Layout(iPmdb);
    iPos = aStart;
    iEnd = aEnd;
    if (iPmdb && aIndex < KNumPmdbSkipped)
        return;
    // A record with nothing after its head (of an entry that shares its offset with a later
    // one, say) is an empty record, and an empty list.
    if (Remaining() <= layout.RecSkip)
        return;
    iPos += layout.RecSkip;
    if (!iPmdb && aIndex < KNumHandLists)
    {
        ReadDropDownList(aStart);
        return;
    }
    // An empty record begins with four zero bytes; bytes beyond the record count as zero.
    bool empty = true;
    for (int64_t pos = iPos; pos < std::min(iEnd, iPos + 4); ++pos)
        empty = empty && ByteAt(pos) == 0;
    if (empty)
        return;
    TPdbRecord record;
    const int32_t count = std::min(KMaxValues, NumFields());
    record.Values.reserve(size_t(count));
    for (int32_t k = 0; k < count; ++k)
    {
        TValue value;
        if (!ReadValue(iFields[size_t(k)].iType, value))
            break;
        record.Values.push_back(std::move(value));
    }
    record.NumValues = int16_t(record.Values.size());
    iRecords.push_back(std::move(record));
}

bool CVexilPdbFile::ReadValue(int32_t aType, TValue& aVal)
{
    if (Remaining() < 2)
        return false;
    const int32_t len = ReadShort(false, "value") & 0xFFFF;
    if (len > KMaxValueLen || len > Remaining())
        return false;
    const int64_t valueEnd = iPos + len;
    switch (aType)
    {
    case EPdbText:
    case EPdbNote:
    case EPdbReal:
    {
        QString text;
        if (len == 1 && ByteAt(iPos) != 0)
            text = kDropDown;
        else if (len > 1)
        {
            if (ByteAt(valueEnd - 1) != 0)
                return false;
            text = ReadFixStr(len - 1, "value");
        }
        if (aType == EPdbReal)
        {
            aVal.iType = EValReal;
            aVal.iReal = LeadingNumber(text);
        }
        else if (!text.isEmpty())
        {
            aVal.iType = EValStr;
            aVal.iStr = text;
        }
        break;
    }
    case EPdbInteger:
        if (len != 4)
            return false;
        aVal.iType = EValInt;
        aVal.iInt = ReadLong(false, "value");
        break;
    case EPdbPopup:
        if (len < KKeyLen)
            Fail(QStringLiteral("pop-up value of %1 bytes").arg(len));
        aVal.iType = EValStr;
        aVal.iStr = LookupPopup(ReadKey());
        break;
    case EPdbBoolean:
        if (len != 1)
            return false;
        aVal.iType = EValBool;
        aVal.iBool = ByteAt(iPos) != 0;
        break;
    case EPdbDate:
    {
        if (len != 4)
            return false;
        const int64_t days = int64_t(ReadLong(false, "value")) + kHandDayZero;
        const int year = QDate(1899, 12, 30).addDays(days).year();
        if (year < 100 || year > 9999)
            Fail(QStringLiteral("day count %1").arg(days - kHandDayZero));
        aVal.iType = EValDate;
        aVal.iDate = double(days);
        break;
    }
    case EPdbUnsupported:
        aVal.iType = EValStr;
        aVal.iStr = kUnsupported;
        break;
    default:
        break;  // type 0: skipped, undefined
    }
    iPos = valueEnd;
    return true;
}

void CVexilPdbFile::ReadDropDownList(int64_t aRecStart)
{
    const int32_t count = ReadShort(false, "drop-down list") & 0xFFFF;
    if (count == 0)
        return;
    Skip(2, "drop-down list");
    Need(int64_t(count) * 20, "drop-down list");
    for (int32_t i = 0; i < count; ++i)
    {
        TPdbPopup popup;
        popup.Key = ReadKey();
        Skip(7, "drop-down list");
        const int32_t textOffset = int16_t(ReadShort(true, "drop-down list"));
        const int64_t textPos = aRecStart + textOffset;
        if (textOffset < 0 || textPos >= iEnd)
            Fail(QStringLiteral("pop-up text offset %1").arg(textOffset));
        int64_t textEnd = textPos;
        while (textEnd < iEnd && ByteAt(textEnd) != 0)
            ++textEnd;
        const int64_t back = iPos;
        iPos = textPos;
        popup.Text = textEnd > textPos ? ReadFixStr(int32_t(textEnd - textPos), "pop-up text") : QString();
        iPos = back;
        CountText(popup.Key.size() + popup.Text.size());
        if (!iPopupIndex.contains(popup.Key))
            iPopupIndex.insert(popup.Key, qsizetype(iPopups.size()));
        iPopups.push_back(std::move(popup));
    }
}

QString CVexilPdbFile::LookupPopup(const QString& aKey) const
{
    const auto found = iPopupIndex.constFind(aKey);
    return found == iPopupIndex.cend() ? kNotFound : iPopups[size_t(found.value())].Text;
}

void CVexilPdbFile::CountText(qsizetype aChars)
{
    iTextChars += aChars;
    if (iTextChars > KTextFactor * iData.size())
        Fail(QStringLiteral("more than %1 characters of text").arg(KTextFactor * iData.size()));
}

void CVexilPdbFile::Need(int64_t aCount, const char* aWhat) const
{
    if (aCount > Remaining())
        Fail(QStringLiteral("%1 bytes of the %2 at %3 past the end").arg(aCount).arg(QLatin1String(aWhat)).arg(iPos));
}

void CVexilPdbFile::Skip(int64_t aCount, const char* aWhat)
{
    Need(aCount, aWhat);
    iPos += aCount;
}

QString CVexilPdbFile::ReadFixStr(int32_t aLen, const char* aWhat)
{
    Need(aLen, aWhat);
    int32_t len = 0;
    while (len < aLen && ByteAt(iPos + len) != 0)
        ++len;
    QString text(len, Qt::Uninitialized);
    for (int32_t i = 0; i < len; ++i)
        text[i] = CVexilCodePage::ByteToChar(ByteAt(iPos + i));
    iPos += aLen;
    CountText(len);
    return text;
}

QString CVexilPdbFile::ReadKey()
{
    Need(KKeyLen, "key");
    QString key(KKeyLen, Qt::Uninitialized);
    for (int32_t i = 0; i < KKeyLen; ++i)
        key[i] = CVexilCodePage::ByteToChar(ByteAt(iPos + i));
    iPos += KKeyLen;
    return key;
}

int32_t CVexilPdbFile::ReadShort(bool aSwap, const char* aWhat)
{
    Need(2, aWhat);
    uint8_t bytes[2] = {ByteAt(iPos), ByteAt(iPos + 1)};
    iPos += 2;
    if (aSwap)
        ReverseBytes(bytes, 2);
    return int16_t(uint16_t(bytes[0] | (bytes[1] << 8)));
}

int32_t CVexilPdbFile::ReadLong(bool aSwap, const char* aWhat)
{
    Need(4, aWhat);
    uint8_t bytes[4] = {ByteAt(iPos), ByteAt(iPos + 1), ByteAt(iPos + 2), ByteAt(iPos + 3)};
    iPos += 4;
    if (aSwap)
        ReverseBytes(bytes, 4);
    return int32_t(uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                   (uint32_t(bytes[3]) << 24));
}

void CVexilPdbFile::ReverseBytes(uint8_t* aBytes, int32_t aCount)
{
    std::reverse(aBytes, aBytes + aCount);
}
