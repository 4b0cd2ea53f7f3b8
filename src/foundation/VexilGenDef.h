#pragma once

#include <QString>

// The separator strings used everywhere.
class CVexilGenDef
{
public:
    static QString TabStr() { return QStringLiteral("\t"); }
    // The line end of every file and text the program writes.
    static QString EolStr() { return QStringLiteral("\r\n"); }
};
