#include "editors/VexilScriptLines.h"

#include <algorithm>

std::optional<TScriptLineSel> CVexilScriptLines::LineSel(const QString& aBoxText, int32_t aLineIndex)
{
    if (aLineIndex < 0)
        return std::nullopt;
    qsizetype start = 0;
    for (int32_t index = 0; index < aLineIndex; ++index)
    {
        const qsizetype end = aBoxText.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            return std::nullopt;
        start = end + 1;
    }
    qsizetype end = aBoxText.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = aBoxText.size();
    return TScriptLineSel{int(start), int(end - start)};
}

int CVexilScriptLines::LeadingBlanks(const QString& aLine)
{
    int count = 0;
    while (count < aLine.size() && aLine[count] == QLatin1Char(' '))
        ++count;
    return count;
}

QString CVexilScriptLines::ErrorPosText(const QString& aLine, int32_t aLinePos)
{
    return aLine.left(LeadingBlanks(aLine) + std::max(aLinePos, 0));
}

QString CVexilScriptLines::NewLineFor(const QString& aCaretLine)
{
    return QLatin1Char('\n') + QString(LeadingBlanks(aCaretLine), QLatin1Char(' '));
}
