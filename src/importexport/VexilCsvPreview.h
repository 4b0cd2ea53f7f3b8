#pragma once

#include "foundation/VexilFile.h"

#include <QChar>
#include <QString>
#include <QStringList>

// The first raw lines of a CSV file as the import options show them, and what they propose:
// the coding the reader ended up with (UTF-8 after a byte-order mark) and the delimiter that
// the first line holds most often.
struct TCsvPreview
{
    QStringList Lines;  // at most KMaxLines, each cut to KMaxLineChars, a Tab shown as "<tab>"
    QString FirstLine;  // whole, for the vote
    EFilCoding Coding = EFilAnsi;
};

class CVexilCsvPreview
{
public:
    static constexpr int KMaxLines = 10;
    static constexpr int KMaxLineChars = 1000;

    // Errors of opening and reading the file are raised.
    static TCsvPreview Read(const QString& aFile);
    // ";" or a Tab when it outnumbers both others in the line, else "," (ties and none included).
    static QChar VoteDelimiter(const QString& aFirstLine);
};
