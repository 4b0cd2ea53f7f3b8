#include "foundation/VexilScanner.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"

#include <algorithm>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");

bool IsLetter(int32_t aCh)
{
    return (aCh >= 'A' && aCh <= 'Z') || (aCh >= 'a' && aCh <= 'z');
}

bool IsDigit(int32_t aCh)
{
    return aCh >= '0' && aCh <= '9';
}

bool IsIdentChar(int32_t aCh)
{
    return IsLetter(aCh) || IsDigit(aCh) || aCh == '_';
}

// One-character token text, reusing the caller's buffer.
void SetText(char16_t aCh, QString& aText)
{
    aText.resize(1);
    aText[0] = QChar(aCh);
}
}  // namespace

CVexilScanner::CVexilScanner() = default;

void CVexilScanner::DefKeyword(const QString& aName, int16_t aId)
{
    if (iNumKeywords >= kMaxKeywords)
        CVexilError::RaiseRunError(ERunSubscript, QStringLiteral("CVexilScanner.DefKeyword"));
    iKeywords[iNumKeywords] = TKeyword{aName.toUpper(), aId};
    ++iNumKeywords;
}

QString CVexilScanner::KeywStr(int16_t aId) const
{
    const auto end = iKeywords.begin() + iNumKeywords;
    const auto found = std::find_if(iKeywords.begin(), end, [aId](const TKeyword& k) { return k.Id == aId; });
    CVexilError::CheckFailed(found != end, nullptr, QStringLiteral("KeywStr"), QStringLiteral("found"));
    return found != end ? found->Name : QString();
}

QString CVexilScanner::SymStr(int32_t aKind)
{
    switch (aKind)
    {
    case ESymIdent: return QStringLiteral("<ident>");
    case ESymNumber: return QStringLiteral("<number>");
    case ESymString: return QStringLiteral("<string>");
    case 3: return QStringLiteral("#");
    case ESymComma: return QStringLiteral(",");
    case ESymLParen: return QStringLiteral("(");
    case ESymRParen: return QStringLiteral(")");
    case ESymPeriod: return QStringLiteral(".");
    case ESymEq: return QStringLiteral("=");
    case ESymLt: return QStringLiteral("<");
    case ESymGt: return QStringLiteral(">");
    case ESymSlash: return QStringLiteral("/");
    case ESymQuest: return QStringLiteral("?");
    case ESymStar: return QStringLiteral("*");
    case ESymPlus: return QStringLiteral("+");
    case ESymMinus: return QStringLiteral("-");
    case ESymNe: return QStringLiteral("<>");
    case ESymLe: return QStringLiteral("<=");
    case ESymGe: return QStringLiteral(">=");
    case ESymHash: return QStringLiteral("#");
    case ESymAmp: return QStringLiteral("&");
    case ESymLink: return QStringLiteral("<link>");
    case ESymChar: return QStringLiteral("<char>");
    case ESymWikiBold: return QStringLiteral("**");
    case ESymWikiItalic: return QStringLiteral("//");
    case ESymWikiUnderline: return QStringLiteral("__");
    case ESymKeyword: return QStringLiteral("<keyword>");
    case ESymOther: return QStringLiteral("<other>");
    case ESymEol: return QStringLiteral("<eol>");
    case ESymEof: return QStringLiteral("<eof>");
    default: return {};
    }
}

void CVexilScanner::BeginFile()
{
    CVexilError::Assert(iFile != nullptr, QStringLiteral("Start file set"));
    if (!iFile)
        return;
    iLineMode = false;
    iEof = false;
    iLineNum = 0;
    ReadFileLine();
}

void CVexilScanner::SetLine(const QString& aLine)
{
    if (!iLineMode)
        ++iLineNum;
    // Copied into the scanner's own buffer, which keeps its capacity from line to line.
    iLine.resize(aLine.size() + 1);
    QChar* data = iLine.data();
    std::copy_n(aLine.constData(), aLine.size(), data);
    data[aLine.size()] = QChar(kEndMark);
    iLen = int32_t(iLine.size());
    iPos = 0;
    NextChar();
}

char16_t CVexilScanner::Peek() const
{
    return iPos < iLen ? iLine.at(iPos).unicode() : kEndMark;
}

void CVexilScanner::NextChar()
{
    if (iPos < iLen)
    {
        ++iPos;
        iCh = iLine.at(iPos - 1).unicode();
    }
    else
    {
        iCh = kNoChar;
    }
}

void CVexilScanner::SkipBlanks()
{
    while (iCh == ' ')
        NextChar();
}

void CVexilScanner::ReadFileLine()
{
    CVexilError::Assert(!iEof && iFile, QStringLiteral("ReadFileLine eof"));
    if (iEof || !iFile)
        return;
    iFile->ReadLine(iFileLine, iEof);
    if (!iEof)
        SetLine(iFileLine);
}

void CVexilScanner::TakeText(qsizetype aFrom, QString& aText) const
{
    const qsizetype count = iPos - 1 - aFrom;
    aText.resize(count);
    std::copy_n(iLine.constData() + aFrom, count, aText.data());
}

void CVexilScanner::AppendText(qsizetype aFrom, QString& aText) const
{
    aText.append(QStringView(iLine).mid(aFrom, iPos - 1 - aFrom));
}

void CVexilScanner::GetIdent(ESymKind& aKind, QString& aText, int16_t& aKeywId)
{
    const qsizetype from = iPos - 1;
    while (IsIdentChar(iCh))
        NextChar();
    TakeText(from, aText);
    aKind = ESymIdent;
    if (iNumKeywords == 0)
        return;
    const QString upper = aText.toUpper();
    for (int i = 0; i < iNumKeywords; ++i)
    {
        if (iKeywords[i].Name == upper)
        {
            aKind = ESymKeyword;
            aKeywId = iKeywords[i].Id;
            return;
        }
    }
}

void CVexilScanner::GetString(QString& aText)
{
    NextChar();  // the opening quote
    const qsizetype from = iPos - 1;
    while (iCh != '"' && !AtEnd())
        NextChar();
    TakeText(from, aText);
    if (iCh == '"')
        NextChar();
}

void CVexilScanner::GetSym(ESymKind& aKind, QString& aText, int16_t& aKeywId)
{
    aText.resize(0);
    aKeywId = 0;
    for (;;)
    {
        if (iEof)
        {
            aKind = ESymEof;
            return;
        }
        if (IsLetter(iCh) || iCh == '_')
        {
            GetIdent(aKind, aText, aKeywId);
            return;
        }
        if (IsDigit(iCh))
        {
            const qsizetype from = iPos - 1;
            while (IsDigit(iCh))
                NextChar();
            TakeText(from, aText);
            aKind = ESymNumber;
            return;
        }
        if (iCh == ' ')
        {
            NextChar();
            continue;
        }
        if (AtEnd())
        {
            if (iLineMode)
            {
                aKind = ESymEol;
                return;
            }
            ReadFileLine();
            continue;
        }
        if (iCh == '"')
        {
            GetString(aText);
            aKind = ESymString;
            return;
        }
        if (iCh == '#' && iStripComments)
        {
            iPos = iLen;
            iCh = kEndMark;
            continue;
        }

        const char16_t ch = char16_t(iCh);
        SetText(ch, aText);
        NextChar();
        switch (ch)
        {
        case '(': aKind = ESymLParen; return;
        case ')': aKind = ESymRParen; return;
        case '.': aKind = ESymPeriod; return;
        case ',': aKind = ESymComma; return;
        case '/': aKind = ESymSlash; return;
        case '?': aKind = ESymQuest; return;
        case '=': aKind = ESymEq; return;
        case '*': aKind = ESymStar; return;
        case '+': aKind = ESymPlus; return;
        case '-': aKind = ESymMinus; return;
        case '&': aKind = ESymAmp; return;
        case '#': aKind = ESymHash; return;
        case '<':
            aKind = ESymLt;
            if (iCh == '=' || iCh == '>')
            {
                aKind = iCh == '=' ? ESymLe : ESymNe;
                NextChar();
            }
            return;
        case '>':
            aKind = ESymGt;
            if (iCh == '=')
            {
                aKind = ESymGe;
                NextChar();
            }
            return;
        default: aKind = ESymOther; return;
        }
    }
}

void CVexilScanner::GetCsvSym(CVexilFile& aFile, ESymKind& aKind, QString& aText)
{
    aText.resize(0);
    aKind = ESymString;
    SkipBlanks();
    if (AtEnd())
    {
        aKind = ESymEol;
        return;
    }
    const int32_t delim = iCsvDelim.size() == 1 ? iCsvDelim.at(0).unicode() : kNoChar;
    if (iCh == delim)
    {
        NextChar();
        return;
    }
    if (iCh == '"')
    {
        GetCsvQuoted(aFile, aKind, aText);
        return;
    }
    const qsizetype from = iPos - 1;
    while (iCh != delim && !AtEnd())
        NextChar();
    TakeText(from, aText);
    if (iCh == delim)
        NextChar();
}

void CVexilScanner::GetCsvQuoted(CVexilFile& aFile, ESymKind& aKind, QString& aText)
{
    const int32_t delim = iCsvDelim.size() == 1 ? iCsvDelim.at(0).unicode() : kNoChar;
    NextChar();  // the opening quote
    qsizetype from = iPos - 1;
    for (;;)
    {
        if (iCh == '"')
        {
            AppendText(from, aText);
            NextChar();
            if (iCh != '"')
            {
                if (iCh == delim)
                {
                    NextChar();
                    SkipBlanks();
                }
                return;
            }
            aText.append(QChar('"'));
            NextChar();
            from = iPos - 1;
        }
        else if (AtEnd())
        {
            AppendText(from, aText);
            QString line;
            bool eof = false;
            aFile.ReadLine(line, eof);
            if (eof)
            {
                aKind = ESymEof;
                return;
            }
            SetLine(line);
            aText.append(kCrLf);
            from = iPos - 1;
        }
        else
        {
            NextChar();
        }
    }
}

void CVexilScanner::GetWikiSym(ESymKind& aKind, QString& aText)
{
    aText.resize(0);
    if (iEof)
    {
        aKind = ESymEof;
        return;
    }
    if (AtEnd())
    {
        aKind = ESymEol;
        return;
    }
    const char16_t ch = char16_t(iCh);
    SetText(ch, aText);
    aKind = ESymChar;
    NextChar();
    switch (ch)
    {
    case '*':
    case '/':
    case '_':
    case '\\':
        if (iCh == ch)
        {
            aText.append(QChar(ch));
            NextChar();
            aKind = ch == '*' ? ESymWikiBold : ch == '/' ? ESymWikiItalic : ch == '_' ? ESymWikiUnderline : ESymWikiBreak;
        }
        return;
    case '[':
        if (iCh == '[')
        {
            NextChar();
            GetWikiLink(aText);
            aKind = ESymLink;
        }
        return;
    case '\r':
        if (iCh != '\n')
            return;
        NextChar();
        aText = kCrLf;
        aKind = ESymWikiNewLine;
        if (iCh == '\r')
        {
            NextChar();
            if (iCh == '\n')
                NextChar();
            aText.append(kCrLf);
            aKind = ESymWikiPara;
        }
        return;
    default: return;
    }
}

void CVexilScanner::GetWikiLink(QString& aText)
{
    const qsizetype from = iPos - 1;
    while (!AtEnd() && !(iCh == ']' && Peek() == ']'))
        NextChar();
    TakeText(from, aText);
    if (iCh == ']')
    {
        NextChar();
        NextChar();
    }
}

void CVexilScanner::TakeUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof)
{
    aText.resize(0);
    aEof = iEof;
    if (iEof)
        return;
    const char16_t term = aTerm.unicode();
    for (;;)
    {
        if (!AtEnd())
        {
            const QChar* data = iLine.constData();
            const qsizetype from = iPos - 1;
            const qsizetype mark = iLen - 1;
            qsizetype i = from;
            while (i < mark && data[i].unicode() != term)
                ++i;
            aText.append(QStringView(iLine).mid(from, i - from));
            iPos = int32_t(i) + 1;
            iCh = data[i].unicode();
            if (i < mark)
                return;  // at the terminator
        }
        if (aWithEol)
            aText.append(kCrLf);
        if (iLineMode || !iFile)
        {
            aEof = true;  // a single line has nothing behind it
            return;
        }
        ReadFileLine();
        if (iEof)
        {
            aEof = true;
            return;
        }
    }
}

void CVexilScanner::GetAllUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof)
{
    TakeUntil(aTerm, aWithEol, aText, aEof);
}

void CVexilScanner::GetLongAllUntil(QChar aTerm, bool aWithEol, QString& aText, bool& aEof)
{
    TakeUntil(aTerm, aWithEol, aText, aEof);
}

void CVexilScanner::FilterNumberStr(const QString& aText, const QString& aDecSep, QString& aResult)
{
    SetLine(aText);
    aResult.resize(0);
    while (!AtEnd())
    {
        const QChar ch{char16_t(iCh)};
        if (IsDigit(iCh) || iCh == '+' || iCh == '-' || (aDecSep.size() == 1 && aDecSep.at(0) == ch))
            aResult.append(ch);
        NextChar();
    }
}

void CVexilScanner::IsShortNumberStr(const QString& aText, bool& aResult)
{
    SetLine(aText);
    // The value is read from the left as far as it forms a number: one sign, then digits.
    int64_t value = 0;
    bool negative = false;
    bool inNumber = true;
    for (qsizetype i = 0; !AtEnd(); ++i, NextChar())
    {
        if (!IsDigit(iCh) && iCh != '+' && iCh != '-')
        {
            aResult = false;
            return;
        }
        if (!inNumber)
            continue;
        if (IsDigit(iCh))
            value = std::min<int64_t>(value * 10 + (iCh - '0'), 100000);
        else if (i == 0)
            negative = iCh == '-';
        else
            inNumber = false;
    }
    if (negative)
        value = -value;
    aResult = value >= -32768 && value <= 32767;
}
