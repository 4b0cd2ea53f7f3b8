#include "foundation/VexilCodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, BytesMapToWindows1252)
{
    const struct
    {
        uint8_t Byte;
        char16_t Char;
    } cases[] = {
        {0x41, u'A'},    {0x7F, 0x007F},  {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F},  {0x90, 0x0090},  {0x92, 0x2019}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0},
        {0xE9, 0x00E9},  {0xFF, 0x00FF},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(CVexilCodePage::ByteToChar(c.Byte), QChar(c.Char)) << int(c.Byte);
        EXPECT_EQ(CVexilCodePage::CharToByte(c.Char), c.Byte) << int(c.Byte);
    }
}

TEST(CodePage, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = CVexilCodePage::ToStr(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(CVexilCodePage::FromStr(text), all);
}

TEST(CodePage, UnmappedCharactersBecomeQuestionMarks)
{
    // Greek omega, a character between the table's code points, an emoji (one code point in two
    // code units) and a lone surrogate.
    const QString text = QStringLiteral("a\u03A9b\u2015c") + QString::fromUcs4(U"\U0001F600") + QChar(0xD800) + u'd';
    EXPECT_EQ(CVexilCodePage::FromStr(text), QByteArray("a?b?c??d"));
}
