#include "importexport/VexilCsvPreview.h"

TCsvPreview CVexilCsvPreview::Read(const QString& aFile)
{
    TCsvPreview preview;
    CVexilFile file;
    file.Construct(aFile, EFilSeqRead);
    file.SetLfEndsLine(true);
    file.OpenFile();
    QString line;
    bool endOfFile = false;
    for (int n = 0; n < KMaxLines; ++n)
    {
        file.ReadLine(line, endOfFile);
        if (endOfFile)
            break;
        if (n == 0)
            preview.FirstLine = line;
        // A list line shows no more than this; longer ones only slow the list down.
        line.truncate(KMaxLineChars);
        line.replace(u'\t', QStringLiteral("<tab>"));
        preview.Lines << line;
    }
    preview.Coding = file.Coding();
    file.CloseFile();
    return preview;
}

QChar CVexilCsvPreview::VoteDelimiter(const QString& aFirstLine)
{
    const qsizetype commas = aFirstLine.count(u',');
    const qsizetype semicolons = aFirstLine.count(u';');
    const qsizetype tabs = aFirstLine.count(u'\t');
    if (semicolons > commas && semicolons > tabs)
        return u';';
    if (tabs > commas && tabs > semicolons)
        return u'\t';
    return u',';
}
