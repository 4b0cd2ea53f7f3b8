#include "AssertAnswers.h"
#include "RaisedError.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilScanner.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
struct TToken
{
    ESymKind Kind;
    QString Text;
    bool operator==(const TToken&) const = default;
};

void PrintTo(const TToken& aToken, std::ostream* aOut)
{
    *aOut << int(aToken.Kind) << " \"" << aToken.Text.toStdString() << "\"";
}

using TReader = std::function<TToken(CVexilScanner&)>;

TToken Sym(CVexilScanner& aScanner)
{
    TToken token{ESymEof, {}};
    int16_t id = 0;
    aScanner.GetSym(token.Kind, token.Text, id);
    return token;
}

TToken Wiki(CVexilScanner& aScanner)
{
    TToken token{ESymEof, {}};
    aScanner.GetWikiSym(token.Kind, token.Text);
    return token;
}

// Reads as many tokens as expected from the line.
std::vector<TToken> Tokens(CVexilScanner& aScanner, const QString& aLine, size_t aCount, const TReader& aReader)
{
    aScanner.SetLine(aLine);
    std::vector<TToken> tokens;
    for (size_t i = 0; i < aCount; ++i)
        tokens.push_back(aReader(aScanner));
    return tokens;
}

// A file of lines in aDir holding aBytes.
QString LinesFile(const TempDir& aDir, const QByteArray& aBytes)
{
    return SetFileContent(aDir.File(QStringLiteral("lines.txt")), aBytes);
}

const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

TEST(Scanner, ScriptTokens)
{
    struct TCase
    {
        const char* Line;
        bool Strip;
        std::vector<TToken> Expected;
    };
    const TCase cases[] = {
        {"a<=b", false, {{ESymIdent, "a"}, {ESymLe, "<"}, {ESymIdent, "b"}, {ESymEol, ""}}},
        {"<> >= > < =", false, {{ESymNe, "<"}, {ESymGe, ">"}, {ESymGt, ">"}, {ESymLt, "<"}, {ESymEq, "="}}},
        {"(),./?*+-&",
         false,
         {{ESymLParen, "("},
          {ESymRParen, ")"},
          {ESymComma, ","},
          {ESymPeriod, "."},
          {ESymSlash, "/"},
          {ESymQuest, "?"},
          {ESymStar, "*"},
          {ESymPlus, "+"},
          {ESymMinus, "-"},
          {ESymAmp, "&"}}},
        {"\t1abc _x9 \xC3\xA9",
         false,
         {{ESymOther, "\t"}, {ESymNumber, "1"}, {ESymIdent, "abc"}, {ESymIdent, "_x9"}, {ESymOther, "\xC3\xA9"}}},
        {"x # more", true, {{ESymIdent, "x"}, {ESymEol, ""}, {ESymEol, ""}}},
        {"x # more", false, {{ESymIdent, "x"}, {ESymHash, "#"}, {ESymIdent, "more"}, {ESymEol, ""}}},
        // No escapes in strings: two quotes end one string and start the next.
        {"\"a b\"\"c\"", false, {{ESymString, "a b"}, {ESymString, "c"}, {ESymEol, ""}}},
        {"\"open to the end ", false, {{ESymString, "open to the end "}, {ESymEol, ""}}},
        {"\"\"", false, {{ESymString, ""}, {ESymEol, ""}}},
        // A U+0001 inside a line is an ordinary character, not the end of the line.
        {"ab\x01" "cd", false, {{ESymIdent, "ab"}, {ESymOther, "\x01"}, {ESymIdent, "cd"}, {ESymEol, ""}}},
        {"", false, {{ESymEol, ""}}},
    };
    for (const TCase& c : cases)
    {
        CVexilScanner scanner;
        scanner.SetStripComments(c.Strip);
        EXPECT_EQ(Tokens(scanner, QString::fromUtf8(c.Line), c.Expected.size(), Sym), c.Expected) << c.Line;
    }
}

TEST(Scanner, KeywordsInAnyCaseAndTheNumberSplitAtThePoint)
{
    CVexilScanner scanner;
    scanner.DefKeyword(QStringLiteral("On"), 7);
    scanner.DefKeyword(QStringLiteral("END"), 9);
    scanner.SetLine(QStringLiteral("on Foo_1 12.5 eNd"));
    struct TExpected
    {
        ESymKind Kind;
        const char* Text;
        int16_t Id;
        int32_t PosAfter;
    };
    const TExpected expected[] = {
        {ESymKeyword, "on", 7, 3},  {ESymIdent, "Foo_1", 0, 9}, {ESymNumber, "12", 0, 12}, {ESymPeriod, ".", 0, 13},
        {ESymNumber, "5", 0, 14},   {ESymKeyword, "eNd", 9, 18}, {ESymEol, "", 0, 18},      {ESymEol, "", 0, 18},
    };
    for (const TExpected& e : expected)
    {
        ESymKind kind = ESymEof;
        QString text = QStringLiteral("junk");
        int16_t id = -1;
        scanner.GetSym(kind, text, id);
        EXPECT_EQ(kind, e.Kind) << e.Text;
        EXPECT_EQ(text, QString::fromUtf8(e.Text));
        EXPECT_EQ(id, e.Id) << e.Text;
        EXPECT_EQ(scanner.LinePos(), e.PosAfter) << e.Text;
    }
    EXPECT_EQ(scanner.KeywStr(9), QStringLiteral("END"));
    EXPECT_EQ(scanner.LineNum(), 0);  // lines are counted in file mode only
}

TEST(Scanner, KeywordTableHolds101Entries)
{
    CVexilScanner scanner;
    for (int16_t i = 0; i < CVexilScanner::kMaxKeywords; ++i)
        scanner.DefKeyword(QStringLiteral("K%1").arg(i), i);
    EXPECT_EQ(RaisedError([&] { scanner.DefKeyword(QStringLiteral("Extra"), 200); }), int32_t(ERunSubscript));
    EXPECT_EQ(scanner.KeywStr(100), QStringLiteral("K100"));

    // An unknown id is an internal fault: the assertion question.
    IgnoredAssert check(QStringLiteral("found"));
    EXPECT_EQ(scanner.KeywStr(555), QString());
}

TEST(Scanner, SymStrTexts)
{
    const std::pair<int32_t, const char*> cases[] = {
        {ESymIdent, "<ident>"}, {ESymNumber, "<number>"}, {ESymString, "<string>"}, {3, "#"},
        {ESymNe, "<>"},         {ESymLe, "<="},           {ESymHash, "#"},         {ESymLink, "<link>"},
        {ESymChar, "<char>"},   {ESymWikiBold, "**"},     {ESymWikiPara, ""},      {ESymWikiNewLine, ""},
        {ESymKeyword, "<keyword>"}, {ESymOther, "<other>"}, {ESymEol, "<eol>"},    {ESymEof, "<eof>"},
        {21, ""},               {-1, ""},
    };
    for (const auto& [kind, text] : cases)
        EXPECT_EQ(CVexilScanner::SymStr(kind), QString::fromUtf8(text)) << kind;
}

TEST(Scanner, CsvFieldsOfOneLine)
{
    struct TCase
    {
        const char* Delim;
        const char* Line;
        std::vector<const char*> Fields;  // then ESymEol
    };
    const TCase cases[] = {
        // The blank after the closing quote leads to an extra empty field.
        {";", "a; \"b\"\"c\" ;;d", {"a", "b\"c", "", "", "d"}},
        // A trailing delimiter gives no empty last field; blanks after unquoted text stay.
        {",", "1,  x  ,", {"1", "x  "}},
        {",", ",x", {"", "x"}},
        // Text between a closing quote and the delimiter is a field of its own.
        {",", "\"q\"z,w", {"q", "z", "w"}},
        {",", "\"q\",   w", {"q", "w"}},
        {"\t", "a\tb c\t\"\"", {"a", "b c", ""}},
        // A delimiter of more than one character never matches.
        {";;", "a;;b", {"a;;b"}},
        {",", "   ", {}},
    };
    for (const TCase& c : cases)
    {
        CVexilScanner scanner;
        scanner.SetCsvDelim(QString::fromUtf8(c.Delim));
        scanner.SetLine(QString::fromUtf8(c.Line));
        CVexilFile unused;
        std::vector<TToken> expected;
        for (const char* field : c.Fields)
            expected.push_back({ESymString, QString::fromUtf8(field)});
        expected.push_back({ESymEol, ""});
        expected.push_back({ESymEol, ""});
        std::vector<TToken> got;
        for (size_t i = 0; i < expected.size(); ++i)
        {
            TToken token{ESymEof, {}};
            scanner.GetCsvSym(unused, token.Kind, token.Text);
            got.push_back(token);
        }
        EXPECT_EQ(got, expected) << c.Line;
    }
}

TEST(Scanner, CsvQuotedFieldContinuesOnTheNextLines)
{
    TempDir dir;
    CVexilFile file;
    file.Construct(LinesFile(dir, "\"x\r\n\r\ny\";z\r\n\"never closed\r\nlast"), EFilSeqRead);
    file.OpenFile();
    CVexilScanner scanner;
    scanner.SetCsvDelim(QStringLiteral(";"));
    QString line;
    bool eof = false;
    file.ReadLine(line, eof);
    scanner.SetLine(line);

    std::vector<TToken> got;
    for (int i = 0; i < 3; ++i)
    {
        TToken token{ESymEof, {}};
        scanner.GetCsvSym(file, token.Kind, token.Text);
        got.push_back(token);
    }
    const std::vector<TToken> expected = {
        {ESymString, "x" + kCrLf + kCrLf + "y"}, {ESymString, "z"}, {ESymEol, ""}};
    EXPECT_EQ(got, expected);

    // A quote left open until the end of the file gives the end of file.
    file.ReadLine(line, eof);
    scanner.SetLine(line);
    TToken token{ESymString, {}};
    scanner.GetCsvSym(file, token.Kind, token.Text);
    EXPECT_EQ(token.Kind, ESymEof);
    file.CloseFile();
}

TEST(Scanner, WikiTokens)
{
    struct TCase
    {
        const char* Text;
        std::vector<TToken> Expected;
    };
    const TCase cases[] = {
        {"**a*", {{ESymWikiBold, "**"}, {ESymChar, "a"}, {ESymChar, "*"}, {ESymEol, ""}}},
        {"//__\\\\/", {{ESymWikiItalic, "//"}, {ESymWikiUnderline, "__"}, {ESymWikiBreak, "\\\\"}, {ESymChar, "/"}}},
        {"[[Card 1|See it]]x", {{ESymLink, "Card 1|See it"}, {ESymChar, "x"}, {ESymEol, ""}}},
        {"[[a]b]]]", {{ESymLink, "a]b"}, {ESymChar, "]"}, {ESymEol, ""}}},
        {"[[open", {{ESymLink, "open"}, {ESymEol, ""}}},
        {"[x", {{ESymChar, "["}, {ESymChar, "x"}}},
        {"a\r\n\r\nb", {{ESymChar, "a"}, {ESymWikiPara, "\r\n\r\n"}, {ESymChar, "b"}, {ESymEol, ""}}},
        // A further CR without its LF still makes a paragraph and is consumed.
        {"\r\n\rb", {{ESymWikiPara, "\r\n\r\n"}, {ESymChar, "b"}}},
        {"\r\nb\rc", {{ESymWikiNewLine, "\r\n"}, {ESymChar, "b"}, {ESymChar, "\r"}, {ESymChar, "c"}}},
        {" \xC3\xA4", {{ESymChar, " "}, {ESymChar, "\xC3\xA4"}, {ESymEol, ""}}},
    };
    for (const TCase& c : cases)
    {
        CVexilScanner scanner;
        EXPECT_EQ(Tokens(scanner, QString::fromUtf8(c.Text), c.Expected.size(), Wiki), c.Expected) << c.Text;
    }
}

TEST(Scanner, FileModeReadsLineAfterLine)
{
    TempDir dir;
    CVexilFile file;
    file.Construct(LinesFile(dir, "first 1\r\n\r\n  \"s\" last\r\n"), EFilSeqRead);
    file.OpenFile();
    CVexilScanner scanner;
    scanner.SetFile(&file);
    scanner.BeginFile();
    EXPECT_EQ(scanner.LineNum(), 1);

    const std::vector<TToken> expected = {{ESymIdent, "first"}, {ESymNumber, "1"}, {ESymString, "s"},
                                          {ESymIdent, "last"},  {ESymEof, ""},     {ESymEof, ""}};
    std::vector<TToken> got;
    for (size_t i = 0; i < expected.size(); ++i)
    {
        got.push_back(Sym(scanner));
        if (i == 2)
        {
            EXPECT_EQ(scanner.LineNum(), 3);
        }
    }
    EXPECT_EQ(got, expected);
    file.CloseFile();
}

TEST(Scanner, RawTextUpToTheTerminator)
{
    TempDir dir;
    CVexilFile file;
    file.Construct(LinesFile(dir, "ab=c\r\nde\nf<g\r\nh\r\ni"), EFilSeqRead);
    file.OpenFile();
    CVexilScanner scanner;
    scanner.SetFile(&file);
    scanner.BeginFile();

    QString text;
    bool eof = true;
    scanner.GetAllUntil(QChar('<'), true, text, eof);
    EXPECT_EQ(text, "ab=c" + kCrLf + "de\nf");  // the lone LF stays inside the line
    EXPECT_FALSE(eof);
    ESymKind kind = ESymEof;
    QString sym;
    int16_t id = 0;
    scanner.GetSym(kind, sym, id);  // the terminator was not consumed
    EXPECT_EQ(kind, ESymLt);

    scanner.GetLongAllUntil(QChar('<'), false, text, eof);
    EXPECT_EQ(text, QStringLiteral("ghi"));
    EXPECT_TRUE(eof);
    scanner.GetAllUntil(QChar('<'), true, text, eof);
    EXPECT_EQ(text, QString());
    EXPECT_TRUE(eof);
    file.CloseFile();
}

TEST(Scanner, LongRawTextIsGatheredWhole)
{
    TempDir dir;
    QByteArray bytes;
    QString expected;
    for (int i = 0; i < 500; ++i)
    {
        const QByteArray piece = QByteArray::number(i).rightJustified(80, 'x');
        bytes += piece + "\r\n";
        expected += QString::fromLatin1(piece);
    }
    CVexilFile file;
    file.Construct(LinesFile(dir, ">" + bytes + "<"), EFilSeqRead);
    file.OpenFile();
    CVexilScanner scanner;
    scanner.SetFile(&file);
    scanner.BeginFile();
    ESymKind kind = ESymEof;
    QString sym;
    int16_t id = 0;
    scanner.GetSym(kind, sym, id);
    QString text;
    bool eof = true;
    scanner.GetLongAllUntil(QChar('<'), false, text, eof);
    EXPECT_FALSE(eof);
    EXPECT_EQ(text, expected);
    file.CloseFile();
}

TEST(Scanner, NumberChecks)
{
    CVexilScanner scanner;
    const std::tuple<const char*, const char*, const char*> filters[] = {
        {"EUR 1.234,56", ",", "1234,56"},
        {"EUR 1.234,56", ".", "1.23456"},
        {"-12 + x3", ",", "-12+3"},
        {"", ".", ""},
    };
    for (const auto& [text, sep, expected] : filters)
    {
        QString result = QStringLiteral("junk");
        scanner.FilterNumberStr(QString::fromUtf8(text), QString::fromUtf8(sep), result);
        EXPECT_EQ(result, QString::fromUtf8(expected)) << text;
    }

    const std::pair<const char*, bool> shorts[] = {
        {"32767", true},  {"-5", true},    {"", true},      {"-32768", true}, {"+12", true},
        {"32768", false}, {"-32769", false}, {"1.5", false}, {"12a", false},  {"1 2", false},
        {"99999999999999999999", false}, {"5-40000", true},
    };
    for (const auto& [text, expected] : shorts)
    {
        bool result = !expected;
        scanner.IsShortNumberStr(QString::fromUtf8(text), result);
        EXPECT_EQ(result, expected) << text;
    }
}
