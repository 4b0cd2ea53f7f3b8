#pragma once

#include "foundation/VexilFile.h"
#include "interchange/VexilCsvLines.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads a CSV file into lines of items. Lines end at CR LF, CR or a lone LF; an item in
// double quotes may hold delimiters, doubled quotes and line breaks (kept as CR LF). Blanks
// before an item are skipped, a delimiter at the end of a line adds no item, and text after
// a closing quote starts the next item. A line keeps its first KMaxItems items; the rest are
// read to the end of the line and dropped. A file that starts with a UTF-8 byte-order mark is
// UTF-8 whatever coding was asked for.
//
// A file that ends inside quotes, or an item longer than aMaxLen characters, is refused with
// 1007 naming the file. An item is given up as soon as it passes that length, so memory stays
// bounded whatever the file holds.
class CVexilCsvReader
{
public:
    CVexilCsvReader(QChar aDelim, EFilCoding aCoding, int aMaxLen);

    // False for a file without any line.
    bool Read(const QString& aFile, CVexilCsvLines& aLines);
    EFilCoding Coding() const { return iCoding; }
    // Whether some line had more than KMaxItems items.
    bool TooManyItems() const { return iTooManyItems; }

private:
    static constexpr int kEof = -1;

    int Peek()
    {
        if (iNext == iEnd && !Refill())
            return kEof;
        return uint8_t(*iNext);
    }
    void Skip() { ++iNext; }
    bool Refill();
    // Consumes the line end at the cursor (CR, CR LF or LF).
    void SkipLineEnd();
    bool AtLineEnd(int aCh) const { return aCh == '\r' || aCh == '\n' || aCh == kEof; }
    void ReadLine(CVexilCsvLines& aLines);
    void ReadQuoted();
    void ReadPlain();
    void AddByte(char aByte);
    void EndItem(CVexilCsvLines& aLines);
    [[noreturn]] void Refuse(const QString& aWhy) const;

    int iDelim;
    EFilCoding iCoding;
    int iMaxLen;
    int64_t iMaxBytes;
    QString iFileName;
    CVexilFileBuffer iFile;
    const char* iNext = nullptr;
    const char* iEnd = nullptr;
    QByteArray iItem;
    bool iTooManyItems = false;
};
