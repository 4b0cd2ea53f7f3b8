#pragma once

#include <QString>

#include <ostream>

// Readable failure output of GoogleTest for texts.
inline void PrintTo(const QString& aText, std::ostream* aOut)
{
    *aOut << '"' << aText.toStdString() << '"';
}
