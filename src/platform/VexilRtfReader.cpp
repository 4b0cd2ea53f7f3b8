#include "platform/VexilRtfReader.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace
{
constexpr int KMaxFonts = 1000;

enum class EDest
{
    Body,
    FontTable,
    ColorTable,
    Ignored,
};

// What a group sets; a group's end restores the state of its start.
struct TState
{
    EDest Dest = EDest::Body;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int Color = 0;
    // Half-points.
    int Size = 24;
    int Font = 0;
    // Characters that stand in for a \u character.
    int UnicodeSkip = 1;
};

class CReader
{
public:
    CReader(const QString& aRtf, QTextDocument& aDoc) : iRtf(aRtf), iCursor(&aDoc) {}

    void Run();

private:
    QChar Peek() const { return iPos < iRtf.size() ? iRtf.at(iPos) : QChar(); }
    void ControlWord();
    void Word(const QString& aWord, bool aHasParam, int aParam);
    void Char(QChar aChar);
    void Flush();
    void Para();
    // The first content of the body: the first paragraph takes its format; a paragraph whose
    // end was read opens the next one.
    void StartContent();
    QTextCharFormat Format() const;

    const QString& iRtf;
    qsizetype iPos = 0;
    QTextCursor iCursor;
    std::vector<TState> iStates{TState{}};
    std::vector<QString> iFaces;
    QString iFaceName;
    int iFontNumber = 0;
    std::vector<QColor> iColors;
    int iRgb[3] = {};
    QString iRun;
    int iSkip = 0;
    bool iStarted = false;
    // A paragraph end was read; the last one of the document opens nothing.
    bool iParaPending = false;
};

void CReader::Run()
{
    while (iPos < iRtf.size())
    {
        const QChar ch = iRtf.at(iPos++);
        switch (ch.unicode())
        {
        case '{':
            Flush();
            iStates.push_back(iStates.back());
            break;
        case '}':
            Flush();
            if (iStates.size() > 1)
                iStates.pop_back();
            iSkip = 0;
            break;
        case '\\': ControlWord(); break;
        // Line ends of the rich text itself are no text.
        case '\r':
        case '\n': break;
        default: Char(ch); break;
        }
    }
    Flush();
}

void CReader::ControlWord()
{
    const QChar next = Peek();
    if (next.isNull())
        return;
    if (next == QLatin1Char('\\') || next == QLatin1Char('{') || next == QLatin1Char('}'))
    {
        ++iPos;
        Char(next);
        return;
    }
    if (next == QLatin1Char('\''))
    {
        bool ok = false;
        const int code = iRtf.mid(iPos + 1, 2).toInt(&ok, 16);
        iPos += 3;
        // The writer escapes the UTF-16 codes 128 to 255 as they are.
        if (ok)
            Char(QChar(char16_t(code)));
        return;
    }
    if (next == QLatin1Char('*'))
    {
        ++iPos;
        iStates.back().Dest = EDest::Ignored;
        return;
    }
    if (!next.isLetter() || next.unicode() > 127)
    {
        ++iPos;
        return;
    }
    const qsizetype wordStart = iPos;
    while (iPos < iRtf.size() && iRtf.at(iPos).unicode() < 128 && iRtf.at(iPos).isLetter())
        ++iPos;
    const QString word = iRtf.mid(wordStart, iPos - wordStart);
    const qsizetype paramStart = iPos;
    if (Peek() == QLatin1Char('-'))
        ++iPos;
    while (iPos < iRtf.size() && iRtf.at(iPos).unicode() < 128 && iRtf.at(iPos).isDigit())
        ++iPos;
    bool hasParam = false;
    const int param = iRtf.mid(paramStart, iPos - paramStart).toInt(&hasParam);
    // One blank ends a control word and belongs to it.
    if (Peek() == QLatin1Char(' '))
        ++iPos;
    Word(word, hasParam, param);
}

void CReader::Word(const QString& aWord, bool aHasParam, int aParam)
{
    TState& state = iStates.back();
    if (aWord == QLatin1String("fonttbl"))
        state.Dest = EDest::FontTable;
    else if (aWord == QLatin1String("colortbl"))
        state.Dest = EDest::ColorTable;
    else if (state.Dest == EDest::FontTable)
    {
        if (aWord == QLatin1String("f"))
            iFontNumber = aParam;
    }
    else if (state.Dest == EDest::ColorTable)
    {
        static const QLatin1String KParts[] = {QLatin1String("red"), QLatin1String("green"), QLatin1String("blue")};
        for (int part = 0; part < 3; ++part)
            if (aWord == KParts[part])
                iRgb[part] = aParam;
    }
    else if (state.Dest == EDest::Body)
    {
        // A switch without its number turns the style on.
        const bool on = !aHasParam || aParam != 0;
        if (aWord == QLatin1String("par"))
            Para();
        else if (aWord == QLatin1String("u"))
        {
            Char(QChar(char16_t(aParam < 0 ? aParam + 65536 : aParam)));
            iSkip = state.UnicodeSkip;
            return;
        }
        else
        {
            Flush();
            if (aWord == QLatin1String("b"))
                state.Bold = on;
            else if (aWord == QLatin1String("i"))
                state.Italic = on;
            else if (aWord == QLatin1String("ul"))
                state.Underline = on;
            else if (aWord == QLatin1String("ulnone"))
                state.Underline = false;
            else if (aWord == QLatin1String("cf"))
                state.Color = aParam;
            else if (aWord == QLatin1String("fs") && aParam > 0)
                state.Size = aParam;
            else if (aWord == QLatin1String("f"))
                state.Font = aParam;
            else if (aWord == QLatin1String("uc"))
                state.UnicodeSkip = aParam;
        }
    }
}

void CReader::Char(QChar aChar)
{
    TState& state = iStates.back();
    switch (state.Dest)
    {
    case EDest::Body:
        if (iSkip > 0)
        {
            --iSkip;
            return;
        }
        if (iParaPending || !iStarted)
        {
            Flush();
            StartContent();
        }
        iRun.append(aChar);
        break;
    case EDest::FontTable:
        if (aChar == QLatin1Char(';'))
        {
            // The writer numbers one font; a number far beyond is passed over.
            if (iFontNumber >= 0 && iFontNumber < KMaxFonts)
            {
                if (size_t(iFontNumber) >= iFaces.size())
                    iFaces.resize(size_t(iFontNumber) + 1);
                iFaces[size_t(iFontNumber)] = iFaceName.trimmed();
            }
            iFaceName.clear();
        }
        else
            iFaceName.append(aChar);
        break;
    case EDest::ColorTable:
        if (aChar == QLatin1Char(';'))
        {
            iColors.emplace_back(iRgb[0], iRgb[1], iRgb[2]);
            iRgb[0] = iRgb[1] = iRgb[2] = 0;
        }
        break;
    case EDest::Ignored: break;
    }
}

void CReader::StartContent()
{
    if (!iStarted)
        iCursor.setBlockCharFormat(Format());
    else if (iParaPending)
        iCursor.insertBlock(QTextBlockFormat(), Format());
    iStarted = true;
    iParaPending = false;
}

void CReader::Para()
{
    Flush();
    if (iParaPending || !iStarted)
        StartContent();
    iParaPending = true;
}

void CReader::Flush()
{
    if (iRun.isEmpty())
        return;
    iCursor.insertText(iRun, Format());
    iRun.clear();
}

QTextCharFormat CReader::Format() const
{
    const TState& state = iStates.back();
    QTextCharFormat format;
    if (state.Font >= 0 && size_t(state.Font) < iFaces.size() && !iFaces[size_t(state.Font)].isEmpty())
        format.setFontFamilies({iFaces[size_t(state.Font)]});
    format.setFontPointSize(state.Size / 2.0);
    format.setFontWeight(state.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.Italic);
    format.setFontUnderline(state.Underline);
    // Colour 0 is the automatic one: the widget's text colour.
    if (state.Color > 0 && size_t(state.Color) < iColors.size())
        format.setForeground(iColors[size_t(state.Color)]);
    return format;
}
}  // namespace

void CVexilRtfReader::Read(const QString& aRtf, QTextDocument& aDoc)
{
    const bool undo = aDoc.isUndoRedoEnabled();
    aDoc.setUndoRedoEnabled(false);
    aDoc.clear();
    {
        CReader reader(aRtf, aDoc);
        reader.Run();
    }
    aDoc.setUndoRedoEnabled(undo);
}

int CVexilRtfReader::RtfPosition(const QTextDocument& aDoc, int aPosition)
{
    return aPosition + aDoc.findBlock(aPosition).blockNumber();
}
