#pragma once

#include "foundation/VexilFile.h"
#include "foundation/VexilScanner.h"

#include <QString>

#include <cstdint>
#include <vector>

// Pull parser for the XML that CVexilXmlWriter writes: the reader asks for the next tag, the
// attributes of the current tag and element text, and names the elements it expects. Anything
// else in the file is error 1006 with the parser's description (file and line) as its first
// parameter; nothing read from a file ever reaches the assertion question. Readers raise their
// own structural errors the same way: CVexilError::CheckStruct with the parser as the object.
class CVexilXmlParser : public CVexilObject
{
public:
    // Elements nested deeper than this are a structural error.
    static constexpr int32_t kMaxDepth = 100;

    explicit CVexilXmlParser(const QString& aFileName);
    // "CVexilXmlParser name=" the file name ", line=" the number of lines read.
    QString ObjDescr() const override;

    // Takes effect from the next line read.
    void SetCoding(EFilCoding aCoding);
    // Opens the file and reads the first token. A UTF-8 byte order mark switches to UTF-8.
    void OpenFile();
    void CloseFile();

    // Attributes of the last tag read. Names match case-insensitively, ignoring "_". A missing
    // attribute and an empty one are the same.
    QString Attr(const QString& aName) const;
    // The leading number (with "." as the only decimal point), rounded halves to even; missing
    // gives UndefLong. Out of range raises run-time error 6.
    int32_t IntAttr(const QString& aName) const;
    // As IntAttr for 16 bits; missing gives UndefInt.
    int16_t ShortAttr(const QString& aName) const;
    // Missing gives 0.
    double RealAttr(const QString& aName) const;
    // "-1" true, "0" false, missing false; any other text is error 1006.
    bool BooleanAttr(const QString& aName) const;

    // Reads the attributes up to ">" (aEmpty false; the ">" stays current, so text may follow)
    // or "/>" (aEmpty true).
    void ReadAttr(bool& aEmpty);
    // ReadAttr, then the token after the ">" becomes current.
    void ReadAttrAndSym(bool& aEmpty);
    // ReadAttrAndSym of an element that must be empty.
    void ReadAttrTerm();
    // The declaration: version, then encoding "UTF-8" or "ISO-8859-1".
    void ReadHeader();
    // The opening of the next tag: its name, and whether it is an end tag.
    void ReadNext(QString& aName, bool& aEndTag);
    void ReadTheNext(const QString& aName, bool aEndTag);
    // The element text up to the next "<", unescaped. Line ends inside it become CR LF with
    // aShort, and are dropped without (undoing the writer's 80-character pieces).
    void ReadElemText(QString& aText, bool aShort);
    void ReadLongElemText(QString& aText);

private:
    struct TAttr
    {
        QString Name;
        QString Value;
    };

    // The next token; a ">" that the scanner joined with a following "=" is split again.
    void NextSym();
    // Error 1006: the file, the line and what was met.
    [[noreturn]] void Mismatch(const char* aProc, const QString& aDetail) const;
    // Only for fixed details: a composed one is built when the check fails, not before.
    void Expect(bool aOk, const char* aProc, const QString& aDetail) const
    {
        if (!aOk)
            Mismatch(aProc, aDetail);
    }
    void GetTheSym(ESymKind aKind, const char* aProc);
    void GetTheIdent(const QString& aName, const char* aProc);
    void AddAttr(const QString& aName, const QString& aValue);
    const QString* FindAttr(const QString& aName) const;
    void ReadText(QString& aText, bool aShort, const char* aProc);

    QString iFileName;
    CVexilScanner iScanner;
    CVexilFile iFile;
    std::vector<TAttr> iAttrs;  // reused from tag to tag; iNumAttrs are valid
    size_t iNumAttrs = 0;
    ESymKind iSym = ESymEof;
    QString iSymStr;
    QString iName;  // attribute or tag name being read
    int16_t iKeywId = 0;
    EFilCoding iCoding = EFilUtf8;
    bool iPendingEq = false;
    int32_t iDepth = 0;
};
