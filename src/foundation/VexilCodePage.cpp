#include "foundation/VexilCodePage.h"

namespace
{
// Code points of the bytes 0x80 to 0x9F.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr uint8_t kUnmapped = '?';
}  // namespace

QChar CVexilCodePage::ByteToChar(uint8_t aByte)
{
    if (aByte >= 0x80 && aByte <= 0x9F)
        return QChar(kHighTable[aByte - 0x80]);
    return QChar(char16_t(aByte));
}

uint8_t CVexilCodePage::CharToByte(char32_t aCodePoint)
{
    if (aCodePoint < 0x80 || (aCodePoint >= 0xA0 && aCodePoint <= 0xFF))
        return uint8_t(aCodePoint);
    for (int i = 0; i < 32; ++i)
    {
        if (kHighTable[i] == aCodePoint)
            return uint8_t(0x80 + i);
    }
    return kUnmapped;
}

QString CVexilCodePage::ToStr(const QByteArray& aBytes)
{
    QString text;
    text.reserve(aBytes.size());
    for (char byte : aBytes)
        text.append(ByteToChar(uint8_t(byte)));
    return text;
}

QByteArray CVexilCodePage::FromStr(const QString& aText)
{
    QByteArray bytes;
    bytes.reserve(aText.size());
    for (qsizetype i = 0; i < aText.size(); ++i)
    {
        char32_t codePoint = aText[i].unicode();
        if (QChar::isHighSurrogate(codePoint) && i + 1 < aText.size() && aText[i + 1].isLowSurrogate())
        {
            codePoint = QChar::surrogateToUcs4(aText[i], aText[i + 1]);
            ++i;
        }
        bytes.append(char(CharToByte(codePoint)));
    }
    return bytes;
}
