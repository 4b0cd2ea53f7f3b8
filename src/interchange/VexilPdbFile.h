#pragma once

#include "foundation/VexilObject.h"
#include "interchange/VexilPdbFileDef.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

// Reads a HanDBase database (creator "HanD" or "PmDB") completely when constructed: field
// definitions, drop-down lists and data records. The file is hostile: every count, offset and
// length is checked against the file, and any violation (a file ending inside the header, the
// record list or the field slots; a record offset outside the records; a list or pop-up text
// outside its record; a pop-up value under 11 bytes; a date outside the years 100 to 9999;
// more text than 8 times the file size) is error 1007 naming the file. A record's bytes run
// from its offset to the next greater offset or the end of the file; of entries sharing an
// offset only the last has them. A record with no bytes after its head is an empty record or
// an empty drop-down list. A value that runs past its record ends the record.
class CVexilPdbFile : public CVexilObject
{
public:
    static constexpr int32_t KHeaderLen = 80;
    static constexpr int32_t KListPos = 86;
    static constexpr int32_t KEntryLen = 8;
    static constexpr int32_t KMaxValues = 20;
    static constexpr int32_t KMaxValueLen = 2000;
    static constexpr int32_t KKeyLen = 11;
    static constexpr int32_t KNumHandLists = 100;
    static constexpr int32_t KNumPmdbSkipped = 30;
    static constexpr int64_t KTextFactor = 8;

    // Errors: 1005 for a file that cannot be opened, 1007 for everything the file gets wrong.
    void Construct(const QString& aFileName);
    QString ObjDescr() const override;
    void CloseFile();
    // The next aCount bytes after the read position in hexadecimal ("0A FF ..."), for
    // diagnostics; the position stays.
    QString HexStr(int32_t aCount) const;

    bool IsPmdb() const { return iPmdb; }
    int32_t NumFields() const { return int32_t(iFields.size()); }
    int32_t NumRecords() const { return int32_t(iRecords.size()); }
    int32_t NumPopups() const { return int32_t(iPopups.size()); }

    // The field definitions in slot order; false after the last.
    bool GetFirstField(TPdbField& aField, int32_t& aCursor) const;
    bool GetNextField(TPdbField& aField, int32_t& aCursor) const;
    // The data records in list order (for "HanD" from list index 100 on).
    bool GetFirstRecord(TPdbRecord& aRecord, int32_t& aCursor) const;
    bool GetNextRecord(TPdbRecord& aRecord, int32_t& aCursor) const;

private:
    [[noreturn]] void Fail(const QString& aDetail) const;
    void ReadHeader();
    void ReadRecordList();
    TPdbRecEntry ReadRecordEntry();
    void ReadFieldDefs();
    void ReadAllRecords();
    void ReadRecord(int32_t aIndex, int64_t aStart, int64_t aEnd);
    // False at the end of the record (its end marker, a wrong length, the end of its bytes).
    bool ReadValue(int32_t aType, TValue& aVal);
    void ReadDropDownList(int64_t aRecStart);
    QString LookupPopup(const QString& aKey) const;
    // Counts text taken from the file against the bound of 8 times the file size.
    void CountText(qsizetype aChars);

    // Primitives on the bytes in memory; reading beyond iEnd is error 1007.
    int64_t Remaining() const { return iEnd - iPos; }
    void Need(int64_t aCount, const char* aWhat) const;
    void Skip(int64_t aCount, const char* aWhat);
    QString ReadFixStr(int32_t aLen, const char* aWhat);
    QString ReadKey();
    int32_t ReadShort(bool aSwap, const char* aWhat);
    int32_t ReadLong(bool aSwap, const char* aWhat);
    static void ReverseBytes(uint8_t* aBytes, int32_t aCount);
    uint8_t ByteAt(int64_t aPos) const { return uint8_t(iData[qsizetype(aPos)]); }

    QString iFileName;
    QByteArray iData;
    int64_t iPos = 0;
    int64_t iEnd = 0;
    QString iCreator;
    bool iPmdb = false;
    int32_t iNumRecs = 0;
    std::vector<TPdbRecEntry> iEntries;
    std::vector<TPdbField> iFields;
    std::vector<TPdbRecord> iRecords;
    std::vector<TPdbPopup> iPopups;
    QHash<QString, qsizetype> iPopupIndex;  // key -> first entry of that key
    int64_t iTextChars = 0;
};
