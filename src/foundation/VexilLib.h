#pragma once

#include "foundation/VexilObject.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class IVexilKeyField;

// Small stateless helpers: string surgery, XML escapes, the comparison form of keys,
// hexadecimal codecs, file procedures and counters. Comparisons are exact unless said otherwise.
// Widths and positions are 16-bit: one beyond 32767 raises run-time error 6.
class CVexilLib
{
public:
    // Counters; an overflow raises run-time error 6.
    static void IncLong(int32_t& aValue);
    static void DecLong(int32_t& aValue);
    static void IncInt(int16_t& aValue);
    static void DecInt(int16_t& aValue);

    static bool StartsWith(const QString& aText, const QString& aPrefix);
    // -1, 0 or 1 by code units: the binary key order.
    static int16_t CompareStr(const QString& aA, const QString& aB);
    // The number right-aligned in aWidth blanks; a longer number keeps its rightmost characters.
    static QString NumToPaddedStr(int32_t aNumber, int aWidth);
    // Cuts or pads with blanks on the right to exactly aWidth characters.
    static void PadOrCut(QString& aText, int aWidth);
    static void ReplaceAll(QString& aText, const QString& aFind, const QString& aReplacement);
    static void InsertStr(const QString& aInsertion, int aPosition, QString& aText);
    // Splits at the first occurrence of aSeparator; without it the tail is empty.
    static void SplitAt(const QString& aText, const QString& aSeparator, QString& aHead, QString& aTail);
    // Splits into aParts, whose size the caller chooses; a part that does not fit raises
    // run-time error 9. A trailing separator gives no empty last part; an empty text no parts.
    static void SplitStr(const QString& aSeparator, const QString& aText, QStringList& aParts, int& aCount);
    static void SplitLines(const QString& aText, QStringList& aParts, int& aCount);
    static void SplitComma(const QString& aText, QStringList& aParts, int& aCount);
    static bool HasNonBlank(const QString& aText);
    static bool IsBlank(const QString& aText);
    template <class T>
    static bool IsObj(const std::shared_ptr<T>& aObj)
    {
        return aObj != nullptr;
    }
    // Each CR LF and then each tab becomes one blank.
    static void FlattenLine(QString& aText);
    // The text on one line, as captions show it: each line break (CR LF, CR or LF) one blank.
    static QString OneLine(QString aText);
    static void CrLfToEol(QString& aText);
    // The writer's entities; CR LF becomes "&eol;" and a lone CR "&#13;", so that both come
    // back as they were. Unescaping leaves any other entity or reference as it stands.
    static void XmlEscape(QString& aText);
    static void XmlUnescape(QString& aText);

    // The characters that the comparison form of keys drops.
    static const QString& SpecialChars();
    // The comparison form of a key: without blanks and special characters.
    static QString StripSpecialChars(const QString& aText);
    // The width of a field's part in a sort key.
    static int16_t SortKeyLen(const IVexilKeyField& aField);

    // Two upper-case hexadecimal digits per character, by its system code page byte.
    static QString StrToHex(const QString& aText);
    static QString HexToStr(const QString& aHex);
    static QString BytesToHex(const QByteArray& aBytes, bool aWithBlanks);
    // One byte per pair of digits; a single digit left at the end is ignored.
    static QByteArray HexToBytes(const QString& aHex);
    // "%" and two hexadecimal digits stand for one system code page byte; a "%" without them stays.
    static QString UrlDecode(const QString& aText);

    // True for an existing normal (not hidden) file; wildcards in the name are expanded.
    static bool FileExists(const QString& aFileName);
    // Deletes the file; every failure is ignored.
    static void DeleteFile(const QString& aFileName);
    // Splits at the last "/" or "\": folder without the separator, and name.
    static void SplitPath(const QString& aPath, QString& aFolder, QString& aName);
    // The lowest free text-file number 1 to 10, marked used; run-time error 9 when all are used.
    static void GetFreeFileNum(int16_t& aNumber);
    static void FreeFileNum(int16_t aNumber);
};
