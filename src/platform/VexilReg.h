#pragma once

#include <QList>
#include <QString>

#include <utility>

// The per-user store of the options and window placements: an INI file in which the group
// "1.x" holds the sections "Options" and "Windows". Every value is a text, and a text that
// was written reads back unchanged, whatever characters it holds.
class CVexilReg
{
public:
    static inline const QString KOptions = QStringLiteral("Options");
    static inline const QString KWindows = QStringLiteral("Windows");

    // The INI file used from now on; empty selects the user's own file
    // (<config folder>/Fennoware/Quorvans.ini), which is the start value.
    static void SetFileName(const QString& aFileName);

    // aFound is false when the value is missing or empty, and also when the file holds it as
    // something other than one text (a hand-edited list): then aText is empty too.
    static void GetVal(const QString& aSection, const QString& aName, QString& aText, bool& aFound);
    // Stores the text at once (the program may end right after); the key is created when
    // needed. A failed write is reported through an assertion naming the value.
    static void PutVal(const QString& aSection, const QString& aName, const QString& aText);
    // Names and texts: as PutVal for each, with one write of the file for all. When the file
    // cannot be written, the assertion is asked for each value in turn.
    static void PutVals(const QString& aSection, const QList<std::pair<QString, QString>>& aValues);
};
