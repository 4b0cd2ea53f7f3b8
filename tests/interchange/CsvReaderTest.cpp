// The reading step: CSV bytes to lines and items, the messages it shows, and the files it refuses.

#include "CsvFixture.h"

#include "RaisedError.h"

#include "foundation/VexilError.h"

struct TReadCase
{
    const char* Name;
    QByteArray Bytes;
    QStringList Lines;  // items joined by "|"
};

using CsvReaderTest = CsvFixture;

TEST_F(CsvReaderTest, LinesAndItemsOfCsvBytes)
{
    const TReadCase cases[] = {
        {"plain", "a,b,c\r\n1,2,3\r\n", {"a|b|c", "1|2|3"}},
        {"quoted delimiter", "\"a,b\",c\r\n", {"a,b|c"}},
        {"doubled quotes", "\"12\"\" disk\",x\r\n", {"12\" disk|x"}},
        {"CR LF inside quotes", "\"a\r\nb\",c\r\nd\r\n", {"a\r\nb|c", "d"}},
        {"CR inside quotes", "\"a\rb\",c\rd\r", {"a\r\nb|c", "d"}},
        {"LF inside quotes", "\"a\nb\",c\nd\n", {"a\r\nb|c", "d"}},
        {"mixed line ends", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"trailing delimiter", "a,b,\r\n", {"a|b"}},
        {"empty items", ",,x\r\n", {"||x"}},
        {"blanks", "  a , b  ,\" c \"\r\n", {"a |b  | c "}},
        {"text after a closing quote", "\"a\"b,c\r\n", {"a|b|c"}},
        {"quote inside a plain item", "a\"b,c\r\n", {"a\"b|c"}},
        {"empty line", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"header only", "Name,Phone", {"Name|Phone"}},
        {"eol text", "\"a&eol;b\"\r\n", {"a&eol;b"}},
        {"quote after a blank before the delimiter", "\"a\" ,b\r\n", {"a||b"}},
    };
    for (const TReadCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CVexilImports import;
        ASSERT_TRUE(import.ReadCsv(Options(CsvFile(c.Bytes), true, false)));
        EXPECT_EQ(Lines(import.CsvLines()), c.Lines);
    }
}

TEST_F(CsvReaderTest, DelimitersSemicolonAndTab)
{
    for (const QString& delim : {QStringLiteral(";"), QStringLiteral("\t")})
    {
        TCsvOptions options = Options(CsvFile(QStringLiteral("a%1\"b%1c\"%1,d\r\n").arg(delim).toUtf8()), true, false);
        options.Delim = delim;
        CVexilImports import;
        ASSERT_TRUE(import.ReadCsv(options));
        EXPECT_EQ(Lines(import.CsvLines()), QStringList{QStringLiteral("a|b%1c|,d").arg(delim)});
    }
}

TEST_F(CsvReaderTest, CodingsAndByteOrderMark)
{
    const QByteArray utf8 = QStringLiteral("Zoë,€").toUtf8();
    struct TCodingCase
    {
        const char* Name;
        QByteArray Bytes;
        EFilCoding Coding;
        QString Line;
    };
    const TCodingCase cases[] = {
        {"BOM switches to UTF-8", "\xEF\xBB\xBF" + utf8, EFilAnsi, QStringLiteral("Zoë|€")},
        {"UTF-8 without BOM, chosen", utf8, EFilUtf8, QStringLiteral("Zoë|€")},
        {"UTF-8 without BOM, read as the code page", utf8, EFilAnsi, QStringLiteral("ZoÃ«|â‚¬")},
        {"bytes 0x80 to 0x9F", "\x80,\x8A\x9F", EFilAnsi, QStringLiteral("€|ŠŸ")},
    };
    for (const TCodingCase& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TCsvOptions options = Options(CsvFile(c.Bytes), true, false);
        options.Coding = c.Coding;
        CVexilImports import;
        ASSERT_TRUE(import.ReadCsv(options));
        EXPECT_EQ(Lines(import.CsvLines()), QStringList{c.Line});
    }
}

TEST_F(CsvReaderTest, TwentyItemsAreKeptAndMessage26ComesOnce)
{
    QByteArray line25;
    for (int k = 1; k <= 25; ++k)
        line25 += QByteArray::number(k) + (k < 25 ? "," : "\r\n");
    // A 21st item opens a quote over two lines: it is read to its end and dropped.
    const QByteArray bytes = line25 + line25 + "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,\"x\r\ny\",22\r\nlast\r\n";
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilImports import;
    ASSERT_TRUE(import.ReadCsv(Options(CsvFile(bytes), false, false)));
    EXPECT_EQ(MessageIds(), std::vector<int32_t>{EMsgTooManyItems});
    const QStringList lines = Lines(import.CsvLines());
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18|19|20"));
    EXPECT_EQ(lines[2], lines[0]);
    EXPECT_EQ(lines[3], QStringLiteral("last"));
}

TEST_F(CsvReaderTest, EmptyFileShowsMessage27AndReadsNothing)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\xEF\xBB\xBF")})
    {
        ScriptedPrompts::Instance().Reset();
        ScriptedPrompts::Instance().ExpectMessage();
        CVexilImports import;
        EXPECT_FALSE(import.ImportCsv1(Options(CsvFile(bytes))));
        EXPECT_EQ(MessageIds(), std::vector<int32_t>{EMsgEmptyFile});
    }
}

// The file is named in the message; the reason goes with it.
TEST_F(CsvReaderTest, RefusedFilesRaise1007NamingTheFile)
{
    const QByteArray tooLong = "a,\"" + QByteArray(CVexilImports::KMaxValueLen + 1, 'x') + "\"\r\n";
    struct TRefusal
    {
        const char* Name;
        QByteArray Bytes;
    };
    const TRefusal cases[] = {
        {"stray quote", "a,b\r\n\"c,d\r\ne,f\r\n"},
        {"stray quote at the end", "a,\"b\r\n"},
        {"item too long", tooLong},
        {"item too long over lines", "\"" + QByteArray(9000, 'x') + "\r\n" + QByteArray(9000, 'y') + "\"\r\n"},
    };
    for (const TRefusal& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const QString file = CsvFile(c.Bytes);
        CVexilImports import;
        EXPECT_EQ(RaisedError([&] { import.ImportCsv1(Options(file)); }), EErrWrongFormat);
        EXPECT_EQ(CVexilError::GetErrInfo().Param1, file);
        EXPECT_EQ(CVexilError::GetErrInfo().Context, QStringLiteral("CVexilImports.ImportCsv1"));
    }
    // Exactly the longest text a stack holds is taken.
    CVexilImports import;
    const QByteArray longest = "\"" + QByteArray(CVexilImports::KMaxValueLen, 'x') + "\"";
    ASSERT_TRUE(import.ReadCsv(Options(CsvFile(longest), false, false)));
    EXPECT_EQ(import.CsvLines().Item(0, 0).size(), CVexilImports::KMaxValueLen);
}

TEST_F(CsvReaderTest, MissingFileRaises1005)
{
    CVexilImports import;
    EXPECT_EQ(RaisedError([&] { import.ReadCsv(Options(iDir.File(QStringLiteral("none.csv")))); }), EErrFileNotFound);
}

// Hostile files of 50 MB: the quoted item is given up as soon as it is too long; the line of
// short items keeps its first 20 and reads the rest to its end.
TEST_F(CsvReaderTest, FiftyMegabyteItemsAndLines)
{
    constexpr int kSize = 50 * 1000 * 1000;
    CVexilImports import;
    const QString item = CsvFile("\"" + QByteArray(kSize, 'x') + "\"\r\n", QStringLiteral("item.csv"));
    EXPECT_EQ(RaisedError([&] { import.ReadCsv(Options(item)); }), EErrWrongFormat);

    QByteArray line;
    line.reserve(kSize + 10);
    while (line.size() < kSize)
        line += "ab,";
    line += "\r\nlast\r\n";
    ScriptedPrompts::Instance().ExpectMessage();
    ASSERT_TRUE(import.ReadCsv(Options(CsvFile(line, QStringLiteral("line.csv")), false, false)));
    EXPECT_EQ(MessageIds(), std::vector<int32_t>{EMsgTooManyItems});
    ASSERT_EQ(import.CsvLines().Count(), 2);
    EXPECT_EQ(import.CsvLines().NumItems(0), 20);
    EXPECT_EQ(import.CsvLines().Item(1, 0), QStringLiteral("last"));
}
