#pragma once

#include <QString>

#include <array>
#include <cstdint>

class CVexilFile;

// Token kinds of all readers of the scanner.
enum ESymKind : int32_t
{
    ESymIdent = 0,
    ESymNumber = 1,
    ESymString = 2,
    // 3 is reserved
    ESymComma = 4,
    ESymLParen = 5,
    ESymRParen = 6,
    ESymPeriod = 7,
    ESymEq = 8,
    ESymLt = 9,
    ESymGt = 10,
    ESymSlash = 11,
    ESymQuest = 12,
    ESymStar = 13,
    ESymPlus = 14,
    ESymMinus = 15,
    ESymNe = 16,
    ESymLe = 17,
    ESymGe = 18,
    ESymHash = 19,
    ESymAmp = 20,
    ESymLink = 50,
    ESymChar = 51,
    ESymWikiNewLine = 52,
    ESymWikiBold = 53,
    ESymWikiItalic = 54,
    ESymWikiUnderline = 55,
    ESymWikiPara = 56,
    ESymWikiBreak = 57,
    ESymKeyword = 97,
    ESymOther = 98,
    ESymEol = 99,
    ESymEof = 100,
};

struct TKeyword
{
    QString Name;  // upper case
    int16_t Id = 0;
};

// The one lexer: script tokens, XML tokens, CSV fields, wiki mark-up and raw text, over one
// character cursor. Works on one line handed to it (line mode) or on the lines of a text file
// that it reads itself (file mode).
class CVexilScanner
{
public:
    static constexpr int kMaxKeywords = 101;

    // Line mode, no file, comments kept, delimiter ",", no keywords.
    CVexilScanner();

    // Lines taken in file mode.
    int32_t LineNum() const { return iLineNum; }
    // 1-based position of the lookahead character in the current line (the compiler's error column).
    int32_t LinePos() const { return iPos; }

    // Keywords are recognised in any case; the 102nd fails with the subscript error.
    void DefKeyword(const QString& aName, int16_t aId);
    // The stored upper-case name of the first keyword with that id.
    QString KeywStr(int16_t aId) const;
    // Display text of a token kind.
    static QString SymStr(int32_t aKind);

    bool StripComments() const { return iStripComments; }
    void SetStripComments(bool aStrip) { iStripComments = aStrip; }
    const QString& CsvDelim() const { return iCsvDelim; }
    void SetCsvDelim(const QString& aDelim) { iCsvDelim = aDelim; }

    // The text file read in file mode, opened for input by the caller, who keeps it alive.
    void SetFile(CVexilFile* aFile) { iFile = aFile; }
    // Switches to file mode and reads the first line.
    void BeginFile();
    // Makes the text the current line (counted in file mode) and reads its first character.
    void SetLine(const QString& aLine);

    // Script and XML tokens. The text keeps the case of the source; the keyword id is 0 unless
    // the kind is ESymKeyword.
    void GetSym(ESymKind& aKind, QString& aText, int16_t& aKeywId);
    // One field of a CSV line (always ESymString); a quoted field may continue on the next lines of
    // aFile.
    void GetCsvSym(CVexilFile& aFile, ESymKind& aKind, QString& aText);
    // Wiki mark-up over a whole field text set with SetLine.
    void GetWikiSym(ESymKind& aKind, QString& aText);
    // Raw text up to the terminator, which is not consumed; line ends become CR LF when
    // aWithEol, else they are dropped. aEof tells that the file ended before the terminator.
    void GetAllUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof);
    void GetLongAllUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof);

    // Keeps the digits, signs and decimal separators of a text. Replaces the current line.
    void FilterNumberStr(const QString& aText, const QString& aDecSep, QString& aResult);
    // True for a text of digits and signs whose value fits 16 bits. Replaces the current line.
    void IsShortNumberStr(const QString& aText, bool& aResult);

private:
    static constexpr int32_t kNoChar = -1;
    static constexpr char16_t kEndMark = 1;

    // The end of the line is found by position, so a U+0001 inside a line is an ordinary
    // character and the text behind it is not lost.
    bool AtEnd() const { return iPos >= iLen; }
    char16_t Peek() const;
    void NextChar();
    void SkipBlanks();
    void ReadFileLine();
    // Copies characters [aFrom, iPos - 1) of the line into aText, reusing its buffer.
    void TakeText(qsizetype aFrom, QString& aText) const;
    void AppendText(qsizetype aFrom, QString& aText) const;
    void GetIdent(ESymKind& aKind, QString& aText, int16_t& aKeywId);
    void GetString(QString& aText);
    void GetCsvQuoted(CVexilFile& aFile, ESymKind& aKind, QString& aText);
    void GetWikiLink(QString& aText);
    void TakeUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof);

    QString iLine;           // current line with the end mark U+0001 appended
    QString iFileLine;       // the line read from the file, its buffer kept from line to line
    int32_t iCh = kNoChar;   // lookahead code unit; kNoChar after the end mark was passed
    int32_t iPos = 0;        // 1-based position of iCh in iLine
    int32_t iLen = 0;        // length of iLine including the end mark
    CVexilFile* iFile = nullptr;
    bool iEof = false;
    bool iLineMode = true;
    int32_t iLineNum = 0;
    bool iStripComments = false;
    QString iCsvDelim = QStringLiteral(",");
    std::array<TKeyword, kMaxKeywords> iKeywords;
    int16_t iNumKeywords = 0;
};
