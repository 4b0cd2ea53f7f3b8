#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StoredForms.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilRect.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
CVexilFont MakeFont(const QString& aFace, int16_t aSize, int32_t aColor, int32_t aFlags = 0)
{
    CVexilFont font;
    font.Construct(aFace, aSize, aColor);
    if (aFlags != 0)
        font.SetFlags(aFlags);
    return font;
}

CVexilFont UnsetFont()
{
    return MakeFont(QString(), UndefInt, UndefLong);
}
}  // namespace

TEST(Font, BinaryRecordBytes)
{
    CVexilFont font = MakeFont(QStringLiteral("Arial"), 220, 255, EFontBold);
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { font.Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("0C 00 00 00  0A 00 41 00 72 00 69 00 61 00 6C 00  DC 00  FF 00 00 00  01 00 00 00"));
    EXPECT_EQ(font.ExtLen(), bytes.size());

    CVexilFont back;
    back.SetChanged(true);
    ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
    EXPECT_EQ(back.FaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(back.Size(), 220);
    EXPECT_EQ(back.ForeColor(), 255);
    EXPECT_EQ(back.Flags(), EFontBold);
    EXPECT_FALSE(back.Changed());
}

TEST(Font, UnsetFontRoundTripsInBothForms)
{
    CVexilFont font = UnsetFont();
    CVexilFont binary;
    ReadBinary(BinaryOf([&](CVexilFile& f) { font.Externalize(f); }), [&](CVexilFile& f) { binary.Internalize(f); });
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { font.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Font gen=\"0\" faceName=\"\" size=\"31999\" foreColor=\"1999999999\" flags=\"0\"/>\r\n"));
    CVexilFont fromXml;
    ReadXml(xml, fromXml);
    for (const CVexilFont* back : {&binary, &fromXml})
    {
        EXPECT_TRUE(back->FaceName().isEmpty());
        EXPECT_EQ(back->Size(), UndefInt);
        EXPECT_EQ(back->ForeColor(), UndefLong);
        EXPECT_EQ(back->Flags(), 0);
    }
}

TEST(Font, XmlGoldenAndRoundTrip)
{
    CVexilFont font = MakeFont(QStringLiteral("Times \"New\" & Co"), 210, 0x123456, EFontItalic | EFontUnderline);
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { font.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Font gen=\"0\" faceName=\"Times &quot;New&quot; &amp; Co\" size=\"210\" "
                              "foreColor=\"1193046\" flags=\"6\"/>\r\n"));
    CVexilFont back;
    back.SetChanged(true);
    ReadXml(xml, back);
    EXPECT_EQ(back.FaceName(), font.FaceName());
    EXPECT_EQ(back.Size(), 210);
    EXPECT_EQ(back.ForeColor(), 0x123456);
    EXPECT_EQ(back.Flags(), 6);
    EXPECT_FALSE(back.Changed());
}

TEST(Font, XmlWithOnlyGenIsUnsetAndHasNoFlags)
{
    CVexilFont back = MakeFont(QStringLiteral("Arial"), 220, 0, EFontBold);
    ReadXml("<Font gen=\"0\"/>\r\n", back);
    EXPECT_TRUE(back.FaceName().isEmpty());
    EXPECT_EQ(back.Size(), UndefInt);
    EXPECT_EQ(back.ForeColor(), UndefLong);
    EXPECT_EQ(back.Flags(), 0);  // not UndefLong: a missing "flags" is no style
    EXPECT_EQ(back.FaceNameWithFlags(), QString());
}

TEST(FontRect, BadXmlIsAStructuralErrorWithoutAQuestion)
{
    const QByteArray fonts[] = {
        "<Font gen=\"1\" faceName=\"Arial\"/>\r\n",
        "<Font faceName=\"Arial\"/>\r\n",
        "<Font gen=\"0\"></Font>\r\n",
    };
    for (const QByteArray& xml : fonts)
    {
        SCOPED_TRACE(xml.toStdString());
        CVexilFont font;
        EXPECT_EQ(RaisedError([&] { ReadXml(xml, font); }), EErrBadStruct);
    }
    CVexilRect rect;
    EXPECT_EQ(RaisedError([&] { ReadXml("<Rect gen=\"0\" x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>\r\n", rect); }),
              EErrBadStruct);
    EXPECT_TRUE(CVexilError::GetErrInfo().Param2.endsWith(QStringLiteral(": gen")));
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST(FontRect, BinaryHeadersAreChecked)
{
    struct TCase
    {
        const char* Bytes;
        bool Font;
        int32_t Error;
    };
    const TCase cases[] = {
        {"0C 00 01 00  00 00  DC 00  00 00 00 00  00 00 00 00", true, EErrGenTooHigh},
        {"08 00 01 00  00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00", true, EErrBadStruct},
        {"08 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00", false, EErrGenTooLow},
        {"08 00 02 00  00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00", false, EErrGenTooHigh},
        {"08 00 01 00  00 00 70 41  00 00", false, EErrBadStruct},  // truncated
        {"0C 00 00 00  0A 00 41 00", true, EErrBadStruct},            // face name beyond the end
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Bytes);
        ReadBinary(HexBytes(c.Bytes), [&](CVexilFile& f) {
            CVexilFont font;
            CVexilRect rect;
            CVexilStoredObj& obj = c.Font ? static_cast<CVexilStoredObj&>(font) : rect;
            EXPECT_EQ(RaisedError([&] { obj.Internalize(f); }), c.Error);
        });
    }
}

TEST(Font, SetDefaultsFillsOnlyUnsetParts)
{
    CVexilFont font = UnsetFont();
    font.SetChanged(false);
    font.SetDefaults();
    EXPECT_EQ(font.FaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(font.Size(), 220);
    EXPECT_EQ(font.ForeColor(), 0);
    EXPECT_TRUE(font.Changed());

    CVexilFont colourOnly = MakeFont(QStringLiteral("Tahoma"), 200, UndefLong);
    colourOnly.SetChanged(false);
    colourOnly.SetDefaults();
    EXPECT_EQ(colourOnly.FaceName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(colourOnly.Size(), 200);
    EXPECT_EQ(colourOnly.ForeColor(), 0);
    EXPECT_FALSE(colourOnly.Changed());  // black fills in without a change
}

TEST(Font, AddFontLaysOnlySetPartsOver)
{
    CVexilFont base = MakeFont(QStringLiteral("Arial"), 220, 255, EFontBold);
    CVexilFont italic = UnsetFont();
    italic.SetFlags(EFontItalic);
    base.SetChanged(false);
    base.AddFont(&italic);
    EXPECT_EQ(base.Flags(), EFontItalic);  // replaced as a whole, not combined
    EXPECT_EQ(base.FaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(base.Size(), 220);
    EXPECT_EQ(base.ForeColor(), 255);
    EXPECT_TRUE(base.Changed());

    CVexilFont over = MakeFont(QStringLiteral("Courier"), 180, 0);
    base.AddFont(&over);
    EXPECT_EQ(base.FaceName(), QStringLiteral("Courier"));
    EXPECT_EQ(base.Size(), 180);
    EXPECT_EQ(base.ForeColor(), 0);
    EXPECT_EQ(base.Flags(), EFontItalic);

    base.SetChanged(false);
    CVexilFont unset = UnsetFont();
    base.AddFont(&unset);
    base.AddFont(nullptr);
    EXPECT_FALSE(base.Changed());
}

TEST(Font, PointSizes)
{
    struct TCase
    {
        int16_t Size;
        float Display;
        float TrueDisplay;
        const char* Dot;
        const char* Comma;
    };
    const TCase cases[] = {
        {220, 8, 11, "11", "11"},
        {200, 10, 10, "10", "10"},
        {210, 10.5f, 10.5f, "10.5", "10,5"},
        {201, 10.05f, 10.05f, "10.05", "10,05"},
        {32000, 1600, 1600, "1600", "1600"},
        {UndefInt, float(UndefInt), float(UndefInt), "", ""},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.Size);
        const CVexilFont font = MakeFont(QStringLiteral("Arial"), c.Size, 0);
        EXPECT_FLOAT_EQ(font.DisplayPointSize(false), c.Display);
        EXPECT_FLOAT_EQ(font.DisplayPointSize(true), c.TrueDisplay);
        EXPECT_EQ(font.PointSizeStr(), QString::fromLatin1(c.Dot));
        LocaleScope comma(kCommaLocale);
        EXPECT_EQ(font.PointSizeStr(), QString::fromLatin1(c.Comma));
    }
    EXPECT_FLOAT_EQ(MakeFont(QString(), UndefInt, 0).PointSize(), UndefInt / 20.0f);
}

TEST(Font, NamesAndDescription)
{
    const CVexilFont font = MakeFont(QStringLiteral("Arial"), 220, 0, EFontBold | EFontUnderline);
    EXPECT_EQ(font.FaceNameWithFlags(), QStringLiteral("Arial Bold Underline"));
    EXPECT_EQ(MakeFont(QStringLiteral("A"), 1, 0, 7).FaceNameWithFlags(), QStringLiteral("A Bold Italic Underline"));
    EXPECT_EQ(font.ObjDescr(), QStringLiteral("CVexilFont Arial"));
    EXPECT_TRUE(font.IsInXml(QStringLiteral("Font")));
    EXPECT_FALSE(font.IsInXml(QStringLiteral("font")));
}

TEST(Rect, BinaryRecordBytes)
{
    CVexilRect rect;
    rect.Construct(15, 30.5f, 4500, 3000);
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { rect.Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("08 00 01 00  00 00 70 41  00 00 F4 41  00 A0 8C 45  00 80 3B 45"));
    EXPECT_EQ(rect.ExtLen(), 20);

    CVexilRect back;
    ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
    EXPECT_EQ(back.X(), 15);
    EXPECT_EQ(back.Y(), 30.5f);
    EXPECT_EQ(back.Width(), 4500);
    EXPECT_EQ(back.Height(), 3000);
    EXPECT_FALSE(back.Changed());
}

TEST(Rect, XmlGoldenAndRoundTrip)
{
    CVexilRect rect;
    rect.Construct(-15, 0.1f, 4500, 1e20f);
    const QByteArray xml = XmlOf([&](CVexilXmlWriter& w) { rect.ExternalizeXml(w); });
    EXPECT_EQ(xml, QByteArray("<Rect gen=\"1\" x=\"-15\" y=\"0.1\" width=\"4500\" height=\"1E+20\"/>\r\n"));
    CVexilRect back;
    back.SetChanged(true);
    {
        LocaleScope comma(kCommaLocale);  // XML numbers never follow the locale
        ReadXml(xml, back);
    }
    EXPECT_EQ(back.X(), -15);
    EXPECT_EQ(back.Y(), 0.1f);
    EXPECT_EQ(back.Width(), 4500);
    EXPECT_EQ(back.Height(), 1e20f);
    EXPECT_FALSE(back.Changed());
}

// A part beyond the range of a Single reads as an infinity of its sign, which the rectangle
// reports as not finite; the largest Single is finite.
TEST(Rect, XmlNumbersBeyondTheRangeOfASingle)
{
    struct TCase
    {
        const char* Xml;
        float X;
        bool Finite;
    };
    const TCase cases[] = {
        {"<Rect gen=\"1\" x=\"1E+39\" y=\"0\" width=\"1\" height=\"1\"/>\r\n", std::numeric_limits<float>::infinity(),
         false},
        {"<Rect gen=\"1\" x=\"-1E+300\" y=\"0\" width=\"1\" height=\"1\"/>\r\n",
         -std::numeric_limits<float>::infinity(), false},
        {"<Rect gen=\"1\" x=\"3.402823E+38\" y=\"0\" width=\"1\" height=\"1\"/>\r\n", 3.402823E+38f, true},
    };
    for (const TCase& c : cases)
    {
        CVexilRect rect;
        ReadXml(c.Xml, rect);
        EXPECT_EQ(rect.X(), c.X) << c.Xml;
        EXPECT_EQ(rect.IsFinite(), c.Finite) << c.Xml;
    }
    CVexilRect rect;
    rect.Construct(0, 0, 1, 1);
    EXPECT_TRUE(rect.IsFinite());
    rect.SetHeight(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FALSE(rect.IsFinite());
}

TEST(Rect, NullAndChanged)
{
    CVexilRect rect;
    EXPECT_TRUE(rect.IsNull());
    rect.Construct(0, 0, 0, 0);
    EXPECT_TRUE(rect.IsNull());
    EXPECT_TRUE(rect.Changed());
    rect.SetChanged(false);
    rect.SetWidth(100);
    EXPECT_FALSE(rect.IsNull());
    EXPECT_TRUE(rect.Changed());
    EXPECT_EQ(rect.ObjDescr(), QStringLiteral("CVexilRect"));
}
