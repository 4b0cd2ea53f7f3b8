#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The system code page: Windows-1252 on every machine, so that files match those made on Windows.
// The five bytes that Windows-1252 leaves undefined map to the C1 controls of the same number,
// so every byte survives a round trip through a string.
class CVexilCodePage
{
public:
    static QChar ByteToChar(uint8_t aByte);
    // The byte of a character; '?' for a character the code page cannot represent.
    static uint8_t CharToByte(char32_t aCodePoint);
    static QString ToStr(const QByteArray& aBytes);
    // One byte per code point; a surrogate pair counts as one code point.
    static QByteArray FromStr(const QString& aText);
};
