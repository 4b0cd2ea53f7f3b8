#include "QStringPrinter.h"
#include "StoredForms.h"
#include "model/VexilStackViewRec.h"

#include <gtest/gtest.h>

namespace
{
struct TRectValues
{
    float X, Y, Width, Height;
};

void ExpectRect(const CVexilRect& aRect, TRectValues aWant)
{
    EXPECT_EQ(aRect.X(), aWant.X);
    EXPECT_EQ(aRect.Y(), aWant.Y);
    EXPECT_EQ(aRect.Width(), aWant.Width);
    EXPECT_EQ(aRect.Height(), aWant.Height);
}

std::shared_ptr<CVexilRect> Rect(TRectValues aValues)
{
    auto rect = std::make_shared<CVexilRect>();
    rect->Construct(aValues.X, aValues.Y, aValues.Width, aValues.Height);
    return rect;
}

// A record with both windows placed and only the card window open.
CVexilStackViewRec Placed(const QString& aName)
{
    CVexilStackViewRec rec;
    rec.Contruct(aName);
    rec.SetCardViewOpen(true);
    rec.SetCardViewRect(Rect({100, 200, 3000, 4000.5F}));
    rec.SetCardListRect(Rect({-15, 0, 1, 2}));
    return rec;
}

const TRectValues kDefaultCardList{180, 160, 7056, 5472};

// The window measure of the platform, for the time of a test.
class SizerScope
{
public:
    explicit SizerScope(CVexilStackViewRec::TWindowSizer aSizer)
    {
        CVexilStackViewRec::SetWindowSizer(std::move(aSizer));
    }
    ~SizerScope() { CVexilStackViewRec::SetWindowSizer({}); }
};

TErrInfo ErrorOf(const std::function<void()>& aDo)
{
    CVexilError::ResetErrInfo();
    EXPECT_EQ(RaisedError(aDo), EErrBadStruct);
    return CVexilError::GetErrInfo();
}
}  // namespace

TEST(StackViewRec, BinaryBytesAndLength)
{
    CVexilStackViewRec rec = Placed(QStringLiteral("V"));
    const QByteArray bytes = BinaryOf([&](CVexilFile& f) { rec.Externalize(f); });
    EXPECT_EQ(bytes, HexBytes("04 00 00 00  02 00 56 00  FF FF"
                              "08 00 01 00  00 00 C8 42  00 00 48 43  00 80 3B 45  00 08 7A 45"
                              "00 00"
                              "08 00 01 00  00 00 70 C1  00 00 00 00  00 00 80 3F  00 00 00 40"));
    EXPECT_EQ(rec.ExtLen(), bytes.size());

    CVexilStackViewRec unnamed;
    unnamed.Contruct(QString());
    EXPECT_EQ(unnamed.ExtLen(), 50);
    EXPECT_EQ(BinaryOf([&](CVexilFile& f) { unnamed.Externalize(f); }).size(), 50);
}

TEST(StackViewRec, BothFormsRoundTrip)
{
    CVexilStackViewRec rec = Placed(QStringLiteral("Main <view> & \"more\""));
    rec.SetCardListOpen(false);
    CVexilStackViewRec binary;
    ReadBinary(BinaryOf([&](CVexilFile& f) { rec.Externalize(f); }), [&](CVexilFile& f) { binary.Internalize(f); });
    CVexilStackViewRec xml;
    ReadXml(XmlOf([&](CVexilXmlWriter& w) { rec.ExternalizeXml(w); }), xml);
    for (const CVexilStackViewRec* back : {&binary, &xml})
    {
        EXPECT_EQ(back->Name(), rec.Name());
        EXPECT_TRUE(back->CardViewOpen());
        EXPECT_FALSE(back->CardListOpen());
        ExpectRect(*back->CardViewRect(), {100, 200, 3000, 4000.5F});
        ExpectRect(*back->CardListRect(), {-15, 0, 1, 2});
    }
}

TEST(StackViewRec, XmlGoldenLines)
{
    CVexilStackViewRec rec = Placed(QStringLiteral("V&1"));
    rec.SetCardListOpen(true);
    rec.SetCardViewOpen(false);
    EXPECT_EQ(XmlOf([&](CVexilXmlWriter& w) { rec.ExternalizeXml(w); }),
              QByteArray("<StackView gen=\"0\" name=\"V&amp;1\" cardViewOpen=\"0\" cardListOpen=\"-1\">\r\n"
                         "  <Rect gen=\"1\" x=\"100\" y=\"200\" width=\"3000\" height=\"4000.5\"/>\r\n"
                         "  <Rect gen=\"1\" x=\"-15\" y=\"0\" width=\"1\" height=\"2\"/>\r\n"
                         "</StackView>\r\n"));
}

TEST(StackViewRec, DefaultRectanglesFollowTheWindowMeasure)
{
    CVexilStackViewRec rec;
    rec.Contruct(QStringLiteral("V"));
    ExpectRect(*rec.CardViewRect(), {7248, 160, 208 * 20, 255 * 20});
    ExpectRect(*rec.CardListRect(), kDefaultCardList);

    const SizerScope sizer([](int16_t aWidth, int16_t aHeight, float& aOuterWidth, float& aOuterHeight) {
        aOuterWidth = aWidth * 20.0F + 120;
        aOuterHeight = aHeight * 20.0F + 450;
    });
    rec.InitRects();
    ExpectRect(*rec.CardViewRect(), {7248, 160, 4280, 5550});
}

// A record stored before any window was placed gets both default places, whatever card list
// rectangle it held; one with a placed card window keeps a null card list rectangle.
TEST(StackViewRec, NullCardWindowRectGetsTheDefaults)
{
    struct TCase
    {
        TRectValues CardView;
        TRectValues CardListRead;
    };
    const TRectValues zero{0, 0, 0, 0};
    const TCase cases[] = {
        {zero, kDefaultCardList},
        {{0, 0, 0, 1}, zero},
    };
    for (const TCase& c : cases)
    {
        CVexilStackViewRec rec = Placed(QStringLiteral("V"));
        rec.SetCardViewRect(Rect(c.CardView));
        rec.SetCardListRect(Rect(zero));
        CVexilStackViewRec binary;
        ReadBinary(BinaryOf([&](CVexilFile& f) { rec.Externalize(f); }), [&](CVexilFile& f) { binary.Internalize(f); });
        CVexilStackViewRec xml;
        ReadXml(XmlOf([&](CVexilXmlWriter& w) { rec.ExternalizeXml(w); }), xml);
        for (const CVexilStackViewRec* back : {&binary, &xml})
        {
            const bool defaults = c.CardView.Height == 0;
            ExpectRect(*back->CardViewRect(), defaults ? TRectValues{7248, 160, 4160, 5100} : c.CardView);
            ExpectRect(*back->CardListRect(), c.CardListRead);
        }
    }
}

// A rectangle with a part that is no finite number is no place on any screen and has no text in
// the XML form: it gets its own default place, and the other rectangle stays where it was.
TEST(StackViewRec, ARectangleThatIsNoPlaceGetsItsDefault)
{
    CVexilStackViewRec placed = Placed(QStringLiteral("V"));
    const QByteArray good = BinaryOf([&](CVexilFile& f) { placed.Externalize(f); });
    const TRectValues cardView{100, 200, 3000, 4000.5F};
    const TRectValues cardList{-15, 0, 1, 2};
    const TRectValues defaultCardView{7248, 160, 4160, 5100};
    struct TCase
    {
        const char* What;
        qsizetype At;  // of the Single in the binary record
        const char* Single;
        bool InCardView;
    };
    const TCase cases[] = {
        {"card window x NaN", 14, "00 00 C0 7F", true},
        {"card window height infinity", 26, "00 00 80 7F", true},
        {"card list y negative infinity", 40, "00 00 80 FF", false},
        {"card list width negative NaN", 44, "00 00 C0 FF", false},
    };
    for (const TCase& c : cases)
    {
        QByteArray bytes = good;
        bytes.replace(c.At, 4, HexBytes(c.Single));
        CVexilStackViewRec back;
        ReadBinary(bytes, [&](CVexilFile& f) { back.Internalize(f); });
        SCOPED_TRACE(c.What);
        ExpectRect(*back.CardViewRect(), c.InCardView ? defaultCardView : cardView);
        ExpectRect(*back.CardListRect(), c.InCardView ? cardList : kDefaultCardList);
        EXPECT_EQ(RaisedError([&] { XmlOf([&](CVexilXmlWriter& w) { back.ExternalizeXml(w); }); }), 0);
    }

    CVexilStackViewRec xml;
    ReadXml("<StackView gen=\"0\">\r\n"
            "  <Rect gen=\"1\" x=\"1\" y=\"2\" width=\"1E+39\" height=\"4\"/>\r\n"
            "  <Rect gen=\"1\" x=\"5\" y=\"6\" width=\"7\" height=\"-1E+39\"/>\r\n"
            "</StackView>\r\n",
            xml);
    ExpectRect(*xml.CardViewRect(), defaultCardView);
    ExpectRect(*xml.CardListRect(), kDefaultCardList);
}

TEST(StackViewRec, MarkClosedDropsTheStoredOpenFlags)
{
    CVexilStackViewRec rec = Placed(QStringLiteral("V"));
    rec.SetCardListOpen(true);
    rec.MarkClosed();
    EXPECT_FALSE(rec.CardViewOpen());
    EXPECT_FALSE(rec.CardListOpen());
}

TEST(StackViewRec, XmlReaderAcceptsAnyGenAndMissingAttributes)
{
    CVexilStackViewRec rec;
    ReadXml("<StackView gen=\"7\">\r\n"
            "  <Rect gen=\"1\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>\r\n"
            "  <Rect gen=\"1\" x=\"5\" y=\"6\" width=\"7\" height=\"8\"/>\r\n"
            "</StackView>\r\n",
            rec);
    EXPECT_TRUE(rec.Name().isEmpty());
    EXPECT_FALSE(rec.CardViewOpen());
    EXPECT_FALSE(rec.CardListOpen());
    ExpectRect(*rec.CardListRect(), {5, 6, 7, 8});
}

TEST(StackViewRec, BadXmlIsAStructuralErrorNamingTheFile)
{
    struct TCase
    {
        const char* Xml;
        const char* Detail;  // the start of the error's detail
    };
    const TCase cases[] = {
        {"<StackView gen=\"0\" name=\"V\"/>\r\n", "CVexilStackView.InternalizeXml: term"},
        {"<StackView gen=\"0\">\r\n  <Font gen=\"0\"/>\r\n</StackView>\r\n",
         "CVexilStackView.InternalizeXml: iCardViewRect Font"},
        {"<StackView gen=\"0\">\r\n  <Rect gen=\"1\"/>\r\n</StackView>\r\n",
         "CVexilStackView.InternalizeXml: iCardListRect"},
        {"<StackView gen=\"0\">\r\n  <Rect gen=\"1\"/>\r\n  <Rect gen=\"1\"/>\r\n  <Rect gen=\"1\"/>\r\n"
         "</StackView>\r\n",
         ""},
        {"<StackView gen=\"0\" cardViewOpen=\"yes\">\r\n</StackView>\r\n", ""},
    };
    for (const TCase& c : cases)
    {
        CVexilStackViewRec rec;
        QString name;
        const TErrInfo info = ErrorOf([&] { ReadXml(c.Xml, rec, &name); });
        EXPECT_TRUE(info.Param2.startsWith(QString::fromLatin1(c.Detail))) << info.Param2.toStdString();
        EXPECT_TRUE(info.Param1.contains(name)) << info.Param1.toStdString();
    }
}

TEST(StackViewRec, BadBinaryHeadersAndTruncation)
{
    CVexilStackViewRec rec = Placed(QStringLiteral("V"));
    const QByteArray good = BinaryOf([&](CVexilFile& f) { rec.Externalize(f); });
    QByteArray otherType = good;
    otherType[0] = 5;
    QByteArray newer = good;
    newer[2] = 1;
    QByteArray badRect = good;
    badRect[12] = 2;  // the card window's rectangle claims generation 2
    struct TCase
    {
        QByteArray Bytes;
        int32_t Error;
    };
    const TCase cases[] = {
        {otherType, EErrBadStruct},
        {newer, EErrGenTooHigh},
        {badRect, EErrGenTooHigh},
        {good.left(good.size() - 1), EErrBadStruct},
        {good.left(7), EErrBadStruct},
    };
    for (const TCase& c : cases)
    {
        CVexilStackViewRec back;
        EXPECT_EQ(RaisedError([&] { ReadBinary(c.Bytes, [&](CVexilFile& f) { back.Internalize(f); }); }), c.Error);
    }
}
