#include "QStringPrinter.h"
#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "foundation/VexilError.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>

namespace
{
// Writes a document through the writer and returns its bytes.
QByteArray Written(const std::function<void(CVexilXmlWriter&)>& aBody)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("out.xml"));
    CVexilXmlWriter writer(name);
    writer.OpenFile();
    aBody(writer);
    writer.CloseFile();
    return FileContent(name);
}

const QByteArray kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";

// A parser on the given bytes, opened and past the declaration.
class ParserOn
{
public:
    explicit ParserOn(const QByteArray& aBytes, bool aReadHeader = true)
        : iParser(SetFileContent(iDir.File(QStringLiteral("in.xml")), aBytes))
    {
        iParser.OpenFile();
        if (aReadHeader)
            iParser.ReadHeader();
    }
    ~ParserOn() { iParser.CloseFile(); }
    CVexilXmlParser* operator->() { return &iParser; }
    CVexilXmlParser& operator*() { return iParser; }
    QString FileName() const { return iDir.File(QStringLiteral("in.xml")); }

private:
    TempDir iDir;
    CVexilXmlParser iParser;
};

const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

TEST(XmlWriter, DeclarationIndentationAndElementShapes)
{
    const QByteArray bytes = Written([](CVexilXmlWriter& w) {
        w.BeginElem(QStringLiteral("VexilStack"));
        w.BeginStruct();
        w.BeginElem(QStringLiteral("Font"));
        w.AddAttr(QStringLiteral("gen"), QStringLiteral("0"));
        w.AddAttr(QStringLiteral("faceName"), QStringLiteral("Arial"));
        w.EndEmptyElem();
        w.BeginElem(QStringLiteral("Stack"));
        w.AddIntAttr(QStringLiteral("id"), 7);
        w.BeginStruct();
        w.BeginElem(QStringLiteral("Str"));
        w.AddElemText(QString());
        w.EndElem(QStringLiteral("Str"));
        w.BeginElem(QStringLiteral("Name"));
        w.AddElemText(QStringLiteral("Z\u00FCrich"));
        w.EndElem(QStringLiteral("Name"));
        w.EndElem(QStringLiteral("Stack"));
        w.EndElem(QStringLiteral("VexilStack"));
    });
    EXPECT_EQ(bytes, kDecl + "<VexilStack>\r\n"
                             "  <Font gen=\"0\" faceName=\"Arial\"/>\r\n"
                             "  <Stack id=\"7\">\r\n"
                             "    <Str></Str>\r\n"
                             "    <Name>Z\xC3\xBCrich</Name>\r\n"
                             "  </Stack>\r\n"
                             "</VexilStack>\r\n");
}

TEST(XmlWriter, ValueForms)
{
    LocaleScope comma(kCommaLocale);  // reals are written with "." whatever the locale
    const QByteArray bytes = Written([](CVexilXmlWriter& w) {
        w.BeginElem(QStringLiteral("V"));
        w.AddIntAttr(QStringLiteral("a"), UndefLong);
        w.AddIntAttr(QStringLiteral("b"), -2147483647 - 1);
        w.AddShortAttr(QStringLiteral("c"), -32768);
        w.AddBooleanAttr(QStringLiteral("d"), true);
        w.AddBooleanAttr(QStringLiteral("e"), false);
        w.AddRealAttr(QStringLiteral("f"), 1234.5);
        w.AddRealAttr(QStringLiteral("g"), 0.1);
        w.AddRealAttr(QStringLiteral("h"), 1e20);
        w.AddRealAttr(QStringLiteral("i"), -1.5e-7);
        w.AddRealAttr(QStringLiteral("j"), 1.0 / 3);
        w.AddSingleAttr(QStringLiteral("k"), 0.1f);
        w.AddSingleAttr(QStringLiteral("l"), 1.0f / 3);
        w.AddRealAttr(QStringLiteral("m"), 100000000000000.0);
        w.AddRealAttr(QStringLiteral("n"), 1e15);
        w.EndEmptyElem();
    });
    EXPECT_EQ(bytes, kDecl + "<V a=\"1999999999\" b=\"-2147483648\" c=\"-32768\" d=\"-1\" e=\"0\" f=\"1234.5\" "
                             "g=\"0.1\" h=\"1E+20\" i=\"-1.5E-07\" j=\"0.333333333333333\" k=\"0.1\" "
                             "l=\"0.3333333\" m=\"100000000000000\" n=\"1E+15\"/>\r\n");
}

// Every Real keeps its text of 15 significant digits and reads back, except the largest ones,
// whose 15 digits would read back beyond the largest double: they get the shortest text that
// reads back as themselves.
TEST(XmlWriter, EveryNumberWrittenReadsBack)
{
    constexpr double kMax = std::numeric_limits<double>::max();
    struct TCase
    {
        double Value;
        const char* Text;
        double Back;  // what the parser reads
    };
    const TCase reals[] = {
        {kMax, "1.7976931348623157E+308", kMax},
        {-kMax, "-1.7976931348623157E+308", -kMax},
        {std::nextafter(kMax, 0.0), "1.7976931348623155E+308", std::nextafter(kMax, 0.0)},
        {1.79769313486231E+308, "1.79769313486231E+308", 1.79769313486231E+308},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324", std::numeric_limits<double>::denorm_min()},
        {-std::numeric_limits<double>::min(), "-2.2250738585072E-308", -2.2250738585072E-308},
        {1.0 / 3, "0.333333333333333", 0.333333333333333},
        {123456789012345678.0, "1.23456789012346E+17", 1.23456789012346E+17},
        {-1.5e-7, "-1.5E-07", -1.5e-7},
        {0.0, "0", 0.0},
    };
    const TCase singles[] = {
        {std::numeric_limits<float>::max(), "3.402823E+38", 3.402823E+38},
        {-std::numeric_limits<float>::max(), "-3.402823E+38", -3.402823E+38},
        {std::numeric_limits<float>::denorm_min(), "1.401298E-45", 1.401298E-45},
    };
    const QByteArray bytes = Written([&](CVexilXmlWriter& w) {
        w.BeginElem(QStringLiteral("V"));
        for (size_t i = 0; i < std::size(reals); ++i)
            w.AddRealAttr(QStringLiteral("r%1").arg(i), reals[i].Value);
        for (size_t i = 0; i < std::size(singles); ++i)
            w.AddSingleAttr(QStringLiteral("s%1").arg(i), float(singles[i].Value));
        w.EndEmptyElem();
    });
    ParserOn p(bytes);
    p->ReadTheNext(QStringLiteral("V"), false);
    p->ReadAttrTerm();
    const auto check = [&](const TCase* aCases, size_t aCount, const char* aPrefix) {
        for (size_t i = 0; i < aCount; ++i)
        {
            const QString name = QString::fromLatin1(aPrefix) + QString::number(i);
            EXPECT_TRUE(bytes.contains(" " + name.toLatin1() + "=\"" + aCases[i].Text + "\""))
                << aCases[i].Text << " in " << bytes.constData();
            EXPECT_EQ(p->RealAttr(name), aCases[i].Back) << aCases[i].Text;
        }
    };
    check(reals, std::size(reals), "r");
    check(singles, std::size(singles), "s");
    EXPECT_TRUE(std::isfinite(float(p->RealAttr(QStringLiteral("s0")))));
}

// A value that is no number has no text that reads back: it is refused, and nothing of it is
// written.
TEST(XmlWriter, NumbersThatAreNotFiniteAreRefused)
{
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    const QByteArray bytes = Written([&](CVexilXmlWriter& w) {
        w.BeginElem(QStringLiteral("V"));
        for (const double value : values)
        {
            EXPECT_EQ(CaughtError([&] { w.AddRealAttr(QStringLiteral("real"), value); }, QStringLiteral("Test")),
                      int32_t(ERunOverflow))
                << value;
            EXPECT_TRUE(CVexilError::GetErrInfo().RunDescription.contains(QStringLiteral("\"real\"")));
            EXPECT_EQ(RaisedError([&] { w.AddSingleAttr(QStringLiteral("single"), float(value)); }),
                      int32_t(ERunOverflow))
                << value;
        }
        w.AddIntAttr(QStringLiteral("int"), 1);
        w.EndEmptyElem();
    });
    EXPECT_EQ(bytes, kDecl + "<V int=\"1\"/>\r\n");
}

TEST(XmlWriter, EscapesInValuesAndTexts)
{
    const QByteArray bytes = Written([](CVexilXmlWriter& w) {
        w.BeginElem(QStringLiteral("E"));
        w.AddAttr(QStringLiteral("v"), QStringLiteral("\"a&b\"\r\nc&lt;'<>'"));
        w.AddElemText(QStringLiteral("x\r\ny\nz&"));
        w.EndElem(QStringLiteral("E"));
    });
    EXPECT_EQ(bytes, kDecl + "<E v=\"&quot;a&amp;b&quot;&eol;c&amp;lt;&apos;&lt;&gt;&apos;\">"
                             "x&eol;y\nz&amp;</E>\r\n");
}

TEST(XmlWriter, TextIsCutInto80CharacterPieces)
{
    struct TCase
    {
        QString Text;
        QByteArray Expected;
    };
    const QByteArray a80(80, 'a');
    const QByteArray b80(80, 'b');
    const TCase cases[] = {
        {QString::fromLatin1(a80), "<T>" + a80 + "</T>\r\n"},
        {QString::fromLatin1(a80 + "c"), "<T>" + a80 + "\r\nc</T>\r\n"},
        {QString::fromLatin1(a80 + b80 + "0123456789"), "<T>" + a80 + "\r\n" + b80 + "\r\n0123456789</T>\r\n"},
        // The cut counts escaped characters and may fall inside an entity.
        {QString::fromLatin1(QByteArray(78, 'a') + "&x"), "<T>" + QByteArray(78, 'a') + "&a\r\nmp;x</T>\r\n"},
        // Never between the halves of a surrogate pair: that piece takes 81 code units.
        {QString(79, QChar('a')) + QStringLiteral("\U0001F600b"), "<T>" + QByteArray(79, 'a') + "\xF0\x9F\x98\x80\r\nb</T>\r\n"},
    };
    for (const TCase& c : cases)
    {
        const QByteArray bytes = Written([&](CVexilXmlWriter& w) {
            w.BeginElem(QStringLiteral("R"));
            w.BeginStruct();
            w.BeginElem(QStringLiteral("T"));
            w.AddLongElemText(c.Text);
            w.EndElem(QStringLiteral("T"));
            w.EndElem(QStringLiteral("R"));
        });
        // The continuation pieces start in column 1.
        EXPECT_EQ(bytes, kDecl + "<R>\r\n  " + c.Expected + "</R>\r\n") << c.Text.size();
    }
}

TEST(XmlWriter, ClosingWithAPendingLineIsAnInternalFault)
{
    TempDir dir;
    CVexilXmlWriter writer(dir.File(QStringLiteral("x.xml")));
    writer.OpenFile();
    writer.BeginElem(QStringLiteral("Open"));
    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_EQ(RaisedError([&] { writer.CloseFile(); }), int32_t(EErrAssertFailed));
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().at(0).Text.contains(QStringLiteral("CloseFile line")));
}

TEST(XmlParser, RoundTripOfTheWritersOutput)
{
    // Escaped, the first emoji straddles the cut at 400.
    const QString longText = QStringLiteral("Line one & <two>\r\nline \"three\"\n") + QString(345, QChar(0x00E9)) +
                             QStringLiteral("\U0001F600\U0001F600\U0001F600") +
                             QStringLiteral(" \u0001 end");
    const QString oddName = QStringLiteral("=starts with equals, \u20AC & 'quotes' \u0001 and more");
    TempDir dir;
    const QString name = dir.File(QStringLiteral("rt.xml"));
    {
        CVexilXmlWriter w(name);
        w.OpenFile();
        w.BeginElem(QStringLiteral("VexilStack"));
        w.BeginStruct();
        w.BeginElem(QStringLiteral("Stack"));
        w.AddAttr(QStringLiteral("name"), oddName);
        w.AddIntAttr(QStringLiteral("id"), -42);
        w.AddShortAttr(QStringLiteral("size"), 31999);
        w.AddRealAttr(QStringLiteral("real"), -1234.0625);
        w.AddSingleAttr(QStringLiteral("single"), 0.25f);
        w.AddBooleanAttr(QStringLiteral("yes"), true);
        w.AddBooleanAttr(QStringLiteral("no"), false);
        // Attribute values are never cut, so a line may be longer than 32,766 characters.
        w.AddAttr(QStringLiteral("big"), QString(40000, QChar('b')));
        w.BeginStruct();
        w.BeginElem(QStringLiteral("Script"));
        w.AddLongElemText(longText);
        w.EndElem(QStringLiteral("Script"));
        w.BeginElem(QStringLiteral("Eq"));
        w.AddElemText(QStringLiteral("=1"));
        w.EndElem(QStringLiteral("Eq"));
        w.BeginElem(QStringLiteral("Rect"));
        w.AddIntAttr(QStringLiteral("left"), 5);
        w.EndEmptyElem();
        w.EndElem(QStringLiteral("Stack"));
        w.EndElem(QStringLiteral("VexilStack"));
        w.CloseFile();
    }

    CVexilXmlParser p(name);
    p.OpenFile();
    p.ReadHeader();
    bool empty = true;
    p.ReadTheNext(QStringLiteral("VexilStack"), false);
    p.ReadAttrAndSym(empty);
    EXPECT_FALSE(empty);
    p.ReadTheNext(QStringLiteral("Stack"), false);
    p.ReadAttrAndSym(empty);
    EXPECT_EQ(p.Attr(QStringLiteral("name")), oddName);
    EXPECT_EQ(p.IntAttr(QStringLiteral("id")), -42);
    EXPECT_EQ(p.ShortAttr(QStringLiteral("size")), 31999);
    EXPECT_EQ(p.RealAttr(QStringLiteral("real")), -1234.0625);
    EXPECT_EQ(p.RealAttr(QStringLiteral("single")), 0.25);
    EXPECT_TRUE(p.BooleanAttr(QStringLiteral("yes")));
    EXPECT_FALSE(p.BooleanAttr(QStringLiteral("no")));
    EXPECT_EQ(p.Attr(QStringLiteral("big")), QString(40000, QChar('b')));

    QString text;
    p.ReadTheNext(QStringLiteral("Script"), false);
    p.ReadAttr(empty);
    p.ReadLongElemText(text);
    EXPECT_EQ(text, longText);
    p.ReadTheNext(QStringLiteral("Script"), true);

    p.ReadTheNext(QStringLiteral("Eq"), false);
    p.ReadAttr(empty);
    p.ReadElemText(text, false);
    EXPECT_EQ(text, QStringLiteral("=1"));
    p.ReadTheNext(QStringLiteral("Eq"), true);

    QString next;
    bool endTag = true;
    p.ReadNext(next, endTag);
    EXPECT_EQ(next, QStringLiteral("Rect"));
    EXPECT_FALSE(endTag);
    p.ReadAttrTerm();
    EXPECT_EQ(p.IntAttr(QStringLiteral("left")), 5);
    p.ReadTheNext(QStringLiteral("Stack"), true);
    p.ReadTheNext(QStringLiteral("VexilStack"), true);
    p.CloseFile();
}

TEST(XmlParser, ShortTextKeepsTheLineEndsOfTheCuts)
{
    ParserOn p(kDecl + "<T>" + QByteArray(80, 'a') + "\r\nb&amp;lt;\r\n</T>\r\n");
    bool empty = true;
    p->ReadTheNext(QStringLiteral("T"), false);
    p->ReadAttr(empty);
    QString text;
    p->ReadElemText(text, true);
    // "&amp;" is resolved last, so it does not make a "<" with the letters behind it.
    EXPECT_EQ(text, QString(80, QChar('a')) + kCrLf + QStringLiteral("b&lt;") + kCrLf);
    p->ReadTheNext(QStringLiteral("T"), true);
}

TEST(XmlParser, AttributeGettersAndTheirDefaults)
{
    ParserOn p(kDecl + "<A i1=\"12abc\" i2=\"2.5\" i3=\"3.5\" i4=\"-7\" i5=\"\" s1=\"40000\" s2=\"-32768\" r1=\"1,5\" "
                       "r2=\"1.5\" r3=\"x\" b1=\"-1\" b2=\"0\" face_Name=\"Arial\" h=\"&amp;H1F\"/>\r\n");
    p->ReadTheNext(QStringLiteral("A"), false);
    p->ReadAttrTerm();

    const std::pair<const char*, int32_t> ints[] = {
        {"i1", 12}, {"i2", 2}, {"i3", 4}, {"i4", -7}, {"i5", UndefLong}, {"missing", UndefLong}, {"h", 31}};
    for (const auto& [name, expected] : ints)
        EXPECT_EQ(p->IntAttr(QString::fromLatin1(name)), expected) << name;

    EXPECT_EQ(p->ShortAttr(QStringLiteral("s2")), -32768);
    EXPECT_EQ(p->ShortAttr(QStringLiteral("missing")), UndefInt);
    EXPECT_EQ(RaisedError([&] { p->ShortAttr(QStringLiteral("s1")); }), int32_t(ERunOverflow));

    const std::pair<const char*, double> reals[] = {{"r1", 1}, {"r2", 1.5}, {"r3", 0}, {"missing", 0}};
    for (const auto& [name, expected] : reals)
        EXPECT_EQ(p->RealAttr(QString::fromLatin1(name)), expected) << name;

    EXPECT_TRUE(p->BooleanAttr(QStringLiteral("b1")));
    EXPECT_FALSE(p->BooleanAttr(QStringLiteral("b2")));
    EXPECT_FALSE(p->BooleanAttr(QStringLiteral("missing")));

    // Names match without regard to case and special characters.
    EXPECT_EQ(p->Attr(QStringLiteral("FACENAME")), QStringLiteral("Arial"));
    EXPECT_EQ(p->Attr(QStringLiteral("missing")), QString());
}

TEST(XmlParser, DeclarationChoosesTheCoding)
{
    {
        // A byte order mark is dropped and the lines are read as UTF-8.
        ParserOn p("\xEF\xBB\xBF" + kDecl + "<N v=\"\xC3\xA4\"/>\r\n");
        p->ReadTheNext(QStringLiteral("N"), false);
        p->ReadAttrTerm();
        EXPECT_EQ(p->Attr(QStringLiteral("v")), QStringLiteral("\u00E4"));
    }
    {
        ParserOn p("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<N v=\"\xE4\x80\"/>\r\n");
        p->ReadTheNext(QStringLiteral("N"), false);
        p->ReadAttrTerm();
        EXPECT_EQ(p->Attr(QStringLiteral("v")), QStringLiteral("\u00E4\u20AC"));
    }
}

// Whatever the file holds, a mismatch is error 1006 naming the file and the line, never a question.
TEST(XmlParser, MismatchesAreStructuralErrorsWithFileAndLine)
{
    using TRead = std::function<void(CVexilXmlParser&)>;
    const TRead readFont = [](CVexilXmlParser& p) {
        p.ReadTheNext(QStringLiteral("R"), false);
        bool empty = false;
        p.ReadAttrAndSym(empty);
        p.ReadTheNext(QStringLiteral("Font"), false);
        p.ReadAttrTerm();
        p.ReadTheNext(QStringLiteral("R"), true);
    };
    const TRead readText = [](CVexilXmlParser& p) {
        p.ReadTheNext(QStringLiteral("T"), false);
        bool empty = false;
        p.ReadAttr(empty);
        QString text;
        p.ReadLongElemText(text);
    };
    const TRead readBool = [](CVexilXmlParser& p) {
        p.ReadTheNext(QStringLiteral("Font"), false);
        p.ReadAttrTerm();
        p.BooleanAttr(QStringLiteral("bold"));
    };
    struct TCase
    {
        QByteArray Bytes;
        bool Header;
        TRead Read;
        const char* Detail;
        int Line;
    };
    const TCase cases[] = {
        {"", true, {}, "ReadHeader: ReadHeader lt", 0},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n", true, {}, "ReadHeader: encoding utf-8", 1},
        {"<?xml encoding=\"UTF-8\" ?>\r\n", true, {}, "ReadHeader: GetTheIdent ident", 1},
        {"<?xml version=\"1.0\" encoding=UTF-8 ?>\r\n", true, {}, "ReadHeader: GetTheSym sym", 1},
        {kDecl + "<R>\r\n  <Rect/>\r\n</R>\r\n", true, readFont, "ReadTheNext: ReadTheNext name wanted=Font,got=Rect", 3},
        {kDecl + "<R>\r\n\t<Font/>\r\n</R>\r\n", true, readFont, "ReadNext: ReadNext <", 3},
        {kDecl + "<R>\r\n  <Font>\r\n  </Font>\r\n</R>\r\n", true, readFont, "ReadAttrTerm: ReadAttrTerm term", 3},
        {kDecl + "<R>\r\n  <Font a=\"1\" A=\"2\"/>\r\n</R>\r\n", true, readFont, "ReadAttr: ReadAttr duplicate A", 3},
        {kDecl + "<R>\r\n  <Font a=1/>\r\n</R>\r\n", true, readFont, "ReadAttr: GetTheSym sym", 3},
        {kDecl + "<R>\r\n  <Font a=\"1\" ?/>\r\n</R>\r\n", true, readFont, "ReadAttr: ReadAttr sym", 3},
        {kDecl + "<R>\r\n  <Font/>\r\n<R>\r\n", true, readFont, "ReadTheNext: ReadTheNext R term", 4},
        {kDecl + "<R>\r\n  <Font/>\r\n</R/>\r\n", true, readFont, "ReadNext: GetTheSym sym", 4},
        {kDecl + "<R>\r\n  <Font/>\r\n", true, readFont, "ReadNext: ReadNext <", 3},
        {kDecl + "<R>\r\n  <1/>\r\n", true, readFont, "ReadNext: ReadNext sym", 3},
        {kDecl + "<T>text that never\r\nends", true, readText, "ReadLongElemText: ReadLongElemText eof", 3},
        {kDecl + "<Font bold=\"1\"/>\r\n", true, readBool, "BooleanAttr: iStr 1", 2},
    };
    for (const TCase& c : cases)
    {
        TempDir dir;
        const QString name = SetFileContent(dir.File(QStringLiteral("in.xml")), c.Bytes);
        CVexilXmlParser parser(name);
        parser.OpenFile();
        EXPECT_EQ(RaisedError([&] {
                      if (c.Header)
                          parser.ReadHeader();
                      if (c.Read)
                          c.Read(parser);
                  }),
                  int32_t(EErrBadStruct))
            << c.Detail;
        parser.CloseFile();
        const TErrInfo info = CVexilError::GetErrInfo();
        EXPECT_EQ(info.Param1, QStringLiteral("CVexilXmlParser name=%1, line=%2").arg(name).arg(c.Line)) << c.Detail;
        EXPECT_EQ(info.Param2, QStringLiteral("CVexilXmlParser.") + QString::fromLatin1(c.Detail));
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST(XmlParser, NestingDepthIsBounded)
{
    const auto nested = [](int aDepth) {
        QByteArray bytes = kDecl;
        for (int i = 0; i < aDepth; ++i)
            bytes += "<a>\r\n";
        for (int i = 0; i < aDepth; ++i)
            bytes += "</a>\r\n";
        return bytes;
    };
    // Reads the elements recursively, as nested objects read themselves.
    const std::function<void(CVexilXmlParser&)> readA = [&](CVexilXmlParser& p) {
        bool empty = false;
        p.ReadAttrAndSym(empty);
        QString name;
        bool endTag = false;
        p.ReadNext(name, endTag);
        if (!endTag)
        {
            readA(p);
            p.ReadTheNext(QStringLiteral("a"), true);
        }
    };
    const auto readAll = [&](CVexilXmlParser& p) {
        p.ReadTheNext(QStringLiteral("a"), false);
        readA(p);
    };

    ParserOn deepest(nested(CVexilXmlParser::kMaxDepth));
    readAll(*deepest);

    ParserOn tooDeep(nested(CVexilXmlParser::kMaxDepth + 1));
    EXPECT_EQ(RaisedError([&] { readAll(*tooDeep); }), int32_t(EErrBadStruct));
    EXPECT_TRUE(CVexilError::GetErrInfo().Param1.endsWith(
        QStringLiteral(", line=%1").arg(CVexilXmlParser::kMaxDepth + 2)));
}
