#pragma once

#include "foundation/VexilFile.h"

#include <QString>

#include <cstdint>

// Writes the program's XML files line by line: one indented line per tag, or per element with
// text. The caller builds each element in a fixed order: BeginElem, attributes, then
// EndEmptyElem, or AddElemText and EndElem, or BeginStruct, the children and EndElem.
// Names are neither checked nor escaped.
class CVexilXmlWriter
{
public:
    // The file is UTF-8 without byte order mark, with CR LF line ends.
    explicit CVexilXmlWriter(const QString& aFileName);

    // Replaces an existing file and writes the declaration.
    void OpenFile();
    void CloseFile();

    void BeginElem(const QString& aName);
    void AddAttr(const QString& aName, const QString& aValue);
    void AddIntAttr(const QString& aName, int32_t aValue);
    void AddShortAttr(const QString& aName, int16_t aValue);
    // Reals are written with "." whatever the locale, so that the parser reads them back: with
    // up to 15 (Singles 7) significant digits, or, where those would read back beyond the range
    // of the type, with the shortest text that reads back as the value. A value that is no
    // finite number has no text that reads back: it is refused with run-time error 6.
    void AddRealAttr(const QString& aName, double aValue);
    void AddSingleAttr(const QString& aName, float aValue);
    // "-1" for true, "0" for false.
    void AddBooleanAttr(const QString& aName, bool aValue);
    void EndEmptyElem();
    // The escaped text in 80-character pieces, each after the first on a line of its own.
    void AddElemText(const QString& aText);
    void AddLongElemText(const QString& aText);
    void EndElem(const QString& aName);
    void BeginStruct();

private:
    static constexpr qsizetype kPieceLen = 80;

    void AddRawAttr(const QString& aName, QStringView aValue);
    [[noreturn]] void NotFinite(const QString& aName, double aValue);
    void WriteLine();

    CVexilFile iFile;
    QString iLine;
    int16_t iLevel = 0;
    QString iEscaped;
};
