#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// A line of the source box as a selection: its first character and its length.
struct TScriptLineSel
{
    int Start = 0;
    int Length = 0;

    bool operator==(const TScriptLineSel&) const = default;
};

// The lines of a script source as the script editor marks them. The source box holds "\n"
// line ends where the stored source has CR LF, so lines are found by their index, never by
// the offsets of the stored text. Only the blank counts as indentation, as the compiler trims
// nothing else.
class CVexilScriptLines
{
public:
    // The line of that 0-based index in the box's text; none when the text has no such line.
    static std::optional<TScriptLineSel> LineSel(const QString& aBoxText, int32_t aLineIndex);
    // The number of blanks the line starts with.
    static int LeadingBlanks(const QString& aLine);
    // The failing line up to the error, so that its end marks the position: the compiler
    // counts aLinePos (from 1) in the line without its leading blanks.
    static QString ErrorPosText(const QString& aLine, int32_t aLinePos);
    // What Enter inserts on the line holding the caret: the line break and the blanks the
    // line starts with.
    static QString NewLineFor(const QString& aCaretLine);
};
