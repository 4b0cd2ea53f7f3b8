#include "foundation/VexilXmlParser.h"

#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilNumText.h"

#include <algorithm>
#include <limits>

namespace
{
// Copies the characters into the destination's own buffer, so that neither string is shared
// and the next token does not have to allocate.
void CopyChars(const QString& aSrc, QString& aDst)
{
    aDst.resize(aSrc.size());
    std::copy_n(aSrc.constData(), aSrc.size(), aDst.data());
}

bool IsSpecial(QChar aCh)
{
    if (aCh.isLetterOrNumber() && aCh.unicode() < 128)
        return false;
    return CVexilLib::SpecialChars().contains(aCh);
}

// A character case-folded; ASCII, which names nearly always are, without the Unicode tables.
char32_t Folded(QChar aChar)
{
    const char16_t c = aChar.unicode();
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char32_t(c + (u'a' - u'A')) : char32_t(c);
    return aChar.toCaseFolded().unicode();
}

// The attribute table's key comparison: case-insensitive, without blanks and special characters.
bool NameEqual(QStringView aA, QStringView aB)
{
    if (aA == aB)
        return true;
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;)
    {
        while (i < aA.size() && IsSpecial(aA[i]))
            ++i;
        while (j < aB.size() && IsSpecial(aB[j]))
            ++j;
        if (i == aA.size() || j == aB.size())
            return i == aA.size() && j == aB.size();
        if (Folded(aA[i]) != Folded(aB[j]))
            return false;
        ++i;
        ++j;
    }
}
}  // namespace

CVexilXmlParser::CVexilXmlParser(const QString& aFileName) : iFileName(aFileName)
{
    iFile.Construct(aFileName, EFilSeqRead);
}

// Names the file and the line being read, so that every structural error raised with the
// parser as its object tells where the file is wrong.
QString CVexilXmlParser::ObjDescr() const
{
    return QStringLiteral("CVexilXmlParser name=%1, line=%2").arg(iFileName).arg(iScanner.LineNum());
}

void CVexilXmlParser::SetCoding(EFilCoding aCoding)
{
    iCoding = aCoding;
    iFile.SetCoding(aCoding);
}

void CVexilXmlParser::OpenFile()
{
    iFile.OpenFile();
    iFile.SetCoding(iCoding);
    iScanner.SetFile(&iFile);
    iScanner.BeginFile();
    iDepth = 0;
    iPendingEq = false;
    NextSym();
}

void CVexilXmlParser::CloseFile()
{
    iFile.CloseFile();
}

void CVexilXmlParser::NextSym()
{
    if (iPendingEq)
    {
        iPendingEq = false;
        iSym = ESymEq;
        iSymStr = QStringLiteral("=");
        return;
    }
    iScanner.GetSym(iSym, iSymStr, iKeywId);
    if (iSym == ESymGe)
    {
        // The ">" that ends a tag stands alone; the "=" behind it belongs to what follows.
        iSym = ESymGt;
        iPendingEq = true;
    }
}

void CVexilXmlParser::Mismatch(const char* aProc, const QString& aDetail) const
{
    const QString context = QStringLiteral("CVexilXmlParser.") + QLatin1String(aProc);
    CVexilError::Throw(EErrBadStruct, context, ObjDescr(), context + QStringLiteral(": ") + aDetail);
}

void CVexilXmlParser::GetTheSym(ESymKind aKind, const char* aProc)
{
    Expect(iSym == aKind, aProc, QStringLiteral("GetTheSym sym"));
    NextSym();
}

void CVexilXmlParser::GetTheIdent(const QString& aName, const char* aProc)
{
    Expect(iSym == ESymIdent && iSymStr == aName, aProc, QStringLiteral("GetTheIdent ident"));
    NextSym();
}

const QString* CVexilXmlParser::FindAttr(const QString& aName) const
{
    const auto end = iAttrs.begin() + static_cast<std::ptrdiff_t>(iNumAttrs);
    const auto found = std::find_if(iAttrs.begin(), end, [&](const TAttr& a) { return NameEqual(a.Name, aName); });
    return found != end ? &found->Value : nullptr;
}

QString CVexilXmlParser::Attr(const QString& aName) const
{
    const QString* value = FindAttr(aName);
    return value ? *value : QString();
}

int32_t CVexilXmlParser::IntAttr(const QString& aName) const
{
    const QString* value = FindAttr(aName);
    if (!value || value->isEmpty())
        return UndefLong;
    return CVexilNumText::RoundToInt32(CVexilNumText::LeadingNumber(*value));
}

int16_t CVexilXmlParser::ShortAttr(const QString& aName) const
{
    const QString* value = FindAttr(aName);
    if (!value || value->isEmpty())
        return UndefInt;
    int32_t result = 0;
    if (!CVexilNumText::RoundToInt32(CVexilNumText::LeadingNumber(*value), result) ||
        result < std::numeric_limits<int16_t>::min() || result > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilXmlParser.ShortAttr"));
    return static_cast<int16_t>(result);
}

double CVexilXmlParser::RealAttr(const QString& aName) const
{
    const QString* value = FindAttr(aName);
    if (!value || value->isEmpty())
        return 0;
    return CVexilNumText::LeadingNumber(*value);
}

bool CVexilXmlParser::BooleanAttr(const QString& aName) const
{
    const QString* value = FindAttr(aName);
    if (!value || value->isEmpty())
        return false;
    if (*value == QLatin1String("-1"))
        return true;
    if (*value != QLatin1String("0"))
        Mismatch("BooleanAttr", QStringLiteral("iStr ") + *value);
    return false;
}

void CVexilXmlParser::AddAttr(const QString& aName, const QString& aValue)
{
    if (iNumAttrs == iAttrs.size())
        iAttrs.emplace_back();
    TAttr& attr = iAttrs[iNumAttrs];
    CopyChars(aName, attr.Name);
    CopyChars(aValue, attr.Value);
    CVexilLib::XmlUnescape(attr.Value);
    for (size_t i = 0; i < iNumAttrs; ++i)
    {
        if (NameEqual(iAttrs[i].Name, attr.Name))
            Mismatch("ReadAttr", QStringLiteral("ReadAttr duplicate ") + aName);
    }
    ++iNumAttrs;
}

void CVexilXmlParser::ReadAttr(bool& aEmpty)
{
    iNumAttrs = 0;
    for (;;)
    {
        if (iSym == ESymGt)
        {
            aEmpty = false;
            return;
        }
        if (iSym == ESymSlash)
        {
            NextSym();
            Expect(iSym == ESymGt, "ReadAttr", QStringLiteral("ReadAttr sym"));
            aEmpty = true;
            --iDepth;
            return;
        }
        Expect(iSym == ESymIdent, "ReadAttr", QStringLiteral("ReadAttr sym"));
        CopyChars(iSymStr, iName);
        NextSym();
        GetTheSym(ESymEq, "ReadAttr");
        Expect(iSym == ESymString, "ReadAttr", QStringLiteral("GetTheSym sym"));
        AddAttr(iName, iSymStr);
        NextSym();
    }
}

void CVexilXmlParser::ReadAttrAndSym(bool& aEmpty)
{
    ReadAttr(aEmpty);
    NextSym();
}

void CVexilXmlParser::ReadAttrTerm()
{
    bool empty = false;
    ReadAttr(empty);
    Expect(empty, "ReadAttrTerm", QStringLiteral("ReadAttrTerm term"));  // reported on the tag's line
    NextSym();
}

void CVexilXmlParser::ReadHeader()
{
    Expect(iSym == ESymLt, "ReadHeader", QStringLiteral("ReadHeader lt"));
    NextSym();
    GetTheSym(ESymQuest, "ReadHeader");
    GetTheIdent(QStringLiteral("xml"), "ReadHeader");
    GetTheIdent(QStringLiteral("version"), "ReadHeader");
    GetTheSym(ESymEq, "ReadHeader");
    GetTheSym(ESymString, "ReadHeader");
    GetTheIdent(QStringLiteral("encoding"), "ReadHeader");
    GetTheSym(ESymEq, "ReadHeader");
    Expect(iSym == ESymString, "ReadHeader", QStringLiteral("GetTheSym sym"));
    // Set before the next line is read: the declaration itself is ASCII.
    if (iSymStr == QLatin1String("UTF-8"))
        SetCoding(EFilUtf8);
    else if (iSymStr == QLatin1String("ISO-8859-1"))
        SetCoding(EFilAnsi);
    else
        Mismatch("ReadHeader", QStringLiteral("encoding ") + iSymStr);
    NextSym();
    GetTheSym(ESymQuest, "ReadHeader");
    GetTheSym(ESymGt, "ReadHeader");
}

void CVexilXmlParser::ReadNext(QString& aName, bool& aEndTag)
{
    Expect(iSym == ESymLt, "ReadNext", QStringLiteral("ReadNext <"));
    NextSym();
    if (iSym == ESymSlash)
    {
        NextSym();
        Expect(iSym == ESymIdent, "ReadNext", QStringLiteral("GetTheSym sym"));
        CopyChars(iSymStr, aName);
        NextSym();
        GetTheSym(ESymGt, "ReadNext");
        aEndTag = true;
        --iDepth;
        return;
    }
    Expect(iSym == ESymIdent, "ReadNext", QStringLiteral("ReadNext sym"));
    if (iDepth >= kMaxDepth)
        Mismatch("ReadNext", QStringLiteral("depth ") + iSymStr);
    CopyChars(iSymStr, aName);
    aEndTag = false;
    ++iDepth;
    NextSym();
}

void CVexilXmlParser::ReadTheNext(const QString& aName, bool aEndTag)
{
    bool endTag = false;
    ReadNext(iName, endTag);
    if (iName != aName)
        Mismatch("ReadTheNext", QStringLiteral("ReadTheNext name wanted=") + aName + QStringLiteral(",got=") + iName);
    if (endTag != aEndTag)
        Mismatch("ReadTheNext", QStringLiteral("ReadTheNext ") + aName + QStringLiteral(" term"));
}

void CVexilXmlParser::ReadText(QString& aText, bool aShort, const char* aProc)
{
    bool eof = false;
    if (aShort)
        iScanner.GetAllUntil(QChar('<'), true, aText, eof);
    else
        iScanner.GetLongAllUntil(QChar('<'), false, aText, eof);
    if (eof)
        Mismatch(aProc, QLatin1String(aProc) + QStringLiteral(" eof"));
    if (iPendingEq)
    {
        aText.prepend(QChar('='));
        iPendingEq = false;
    }
    CVexilLib::XmlUnescape(aText);
    NextSym();
}

void CVexilXmlParser::ReadElemText(QString& aText, bool aShort)
{
    ReadText(aText, aShort, "ReadElemText");
}

void CVexilXmlParser::ReadLongElemText(QString& aText)
{
    ReadText(aText, false, "ReadLongElemText");
}
