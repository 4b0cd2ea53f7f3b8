#pragma once

#include "foundation/VexilFile.h"
#include "interchange/VexilCsvLines.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"

#include <QChar>
#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <cstdint>
#include <optional>

// The statistics of one CSV column, gathered item by item for the type detection.
struct TColStats
{
    int32_t Empty = 0;             // empty after trimming blanks (also an item a line lacks)
    int32_t HasLetter = 0;         // holding a letter
    int32_t HasDigit = 0;          // holding a digit "0" to "9"
    int32_t DotCount = 0;          // whose last "." or "," is a "."
    int32_t DigitsAfterDot = 0;    // characters after that "."
    int32_t CommaCount = 0;        // whose last "." or "," is a ","
    int32_t DigitsAfterComma = 0;  // characters after that ","
    int32_t TrueCount = 0;
    int32_t FalseCount = 0;
    int32_t DateCount = 0;
    int32_t TimeCount = 0;
};

// What the user chose for one CSV import.
struct TCsvOptions
{
    QString File;
    QString Delim = QStringLiteral(",");
    bool HeaderLine = true;
    EFilCoding Coding = EFilAnsi;
    bool DetectTypes = true;
    bool GuessKey = true;
    bool TryCardName = true;
};

// One import: the state it builds from the file (lines, column statistics and types) and the
// importers that use it. Each import runs on an object of its own; nothing is kept in globals.
//
// A CSV import runs in two steps. ReadCsv reads the whole file and types its columns; it
// touches no stack, so a file it refuses changes nothing. The building step then makes a new
// stack (given to the caller, never made current here) or fills a background. Failures are
// raised as the program's errors with the importer's context.
class CVexilImports
{
public:
    // The longest text a stack file holds.
    static constexpr int KMaxValueLen = 16383;

    // Column analysis. The parsers never fail: a text they cannot read gives false and leaves
    // the value unchanged.
    static bool ParseBool(QStringView aText, bool& aValue);
    // "." and "," both group digits here: an Integer column's dots are thousands separators.
    static bool ParseInt(QStringView aText, int32_t& aValue);
    static bool ParseReal(QStringView aText, QChar aDecSep, double& aValue);
    static int16_t CountNonDigits(QStringView aText);
    static void ResetColStats(TColStats& aStats);
    void AddToColStats(QStringView aItem, TColStats& aStats);
    void DetectColumnTypes(bool aHeaderLine);
    bool CheckCardNameColumn(int16_t aColumn) const;
    static void GuessSortKey(CVexilStack& aStack, int32_t aBackgroundId);
    static TSortKeyRef MakeSortKey(CVexilStack& aStack, int32_t aBackgroundId, const TControlRef& aControl1,
                                   const TControlRef& aControl2);
    static bool CheckSortKeyOrder(const CVexilStack& aStack, int32_t aBackgroundId, const CVexilSortKey& aSortKey);

    // CSV import. ReadCsv is false for a file without any line (after message 27); it refuses
    // a file that ends inside quotes or holds a text longer than KMaxValueLen (1007).
    bool ReadCsv(const TCsvOptions& aOptions);
    // A new stack named after the file; the caller makes it current.
    TStackRef BuildCsvStack();
    // Fills a background of aStack (whose cards the caller has deleted) before aBeforeCard.
    void FillCsvBackground(CVexilStack& aStack, const TControlSetRef& aBackground, const TCardRef& aBeforeCard);
    // Both steps: a new stack, or none when the file is empty.
    TStackRef ImportCsv1(const TCsvOptions& aOptions);

    // ---- Card-list XML, HanDBase, merge and plain text (VexilImportsFormats.cpp). Each reads
    // and checks the whole file before it changes anything; errors carry the importer's context.
    // Cards of a card-list XML file appended to aStack (CVexilXmlCardList).
    static void ImportXml(CVexilStack& aStack, const QString& aFileName);
    // A new stack from a HanDBase database; the caller makes it current (CVexilHandBaseImport).
    static TStackRef ImportHandBase(const QString& aFileName);
    // Another stack file merged into aStack (CVexilStackMerge).
    static void ImportQuorvan(CVexilStack& aStack, const QString& aFileName);
    // The background's cards replaced by the text file's blocks; aDeleteCards deletes the old
    // cards, the stack itself without it (CVexilTextImport).
    static void ImportTextFile(CVexilStack& aStack, const QString& aFileName, const TControlSetRef& aBackground,
                               const std::function<void()>& aDeleteCards = {});

    const CVexilCsvLines& CsvLines() const { return iCsvLines; }
    int32_t ColType(int aColumn) const { return iColTypes[aColumn]; }
    QChar ColDecSep(int aColumn) const { return iColDecSep[aColumn]; }
    const TColStats& ColStats(int aColumn) const { return iColStats[aColumn]; }

private:
    static constexpr int KSlots = CVexilCsvLines::KMaxItems + 1;

    int32_t FirstDataLine() const { return iOptions.HeaderLine ? 1 : 0; }
    void VerifyNumberColumn(int aColumn);
    void AddCards(CVexilStack& aStack, const TControlSetRef& aBackground, const TCardRef& aBeforeCard,
                  bool aIntoCurStack);
    TValue CsvValue(QStringView aItem, int aColumn, const CVexilControl& aField, bool aIntoCurStack) const;
    // The date and time reader of the display texts, remembering what it read: a column of
    // dates repeats its texts, and each costs the locale a parse.
    bool ReadMoment(QStringView aText, double& aMoment) const;
    void ReportSurplus() const;

    TCsvOptions iOptions;
    CVexilCsvLines iCsvLines;
    int32_t iSurplus = 0;
    std::array<TColStats, KSlots> iColStats{};
    std::array<int32_t, KSlots> iColTypes{};
    std::array<QChar, KSlots> iColDecSep{};
    mutable QHash<QString, std::optional<double>> iMoments;
};
