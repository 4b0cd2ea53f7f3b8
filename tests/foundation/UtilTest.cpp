#include "AssertAnswers.h"
#include "RaisedError.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValueField.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <limits>

namespace
{
class KeyField : public IVexilKeyField
{
public:
    KeyField(int32_t aConType, int16_t aMaxChar, int16_t aVisChar)
        : iConType(aConType), iMaxChar(aMaxChar), iVisChar(aVisChar)
    {
    }
    int32_t ConType() const override { return iConType; }
    int16_t Digits() const override { return UndefInt; }
    int16_t MaxChar() const override { return iMaxChar; }
    int16_t VisChar() const override { return iVisChar; }

private:
    int32_t iConType;
    int16_t iMaxChar;
    int16_t iVisChar;
};

QStringList Split(const QString& aSeparator, const QString& aText, int aCapacity = 10)
{
    QStringList parts(aCapacity);
    int count = -1;
    CVexilLib::SplitStr(aSeparator, aText, parts, count);
    return parts.mid(0, count);
}

const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

TEST(Util, GenDefStrings)
{
    EXPECT_EQ(CVexilGenDef::TabStr(), QStringLiteral("\t"));
    EXPECT_EQ(CVexilGenDef::EolStr(), kCrLf);
}

TEST(Util, CountersRaiseOverflowAndKeepTheValue)
{
    int16_t small = 32766;
    CVexilLib::IncInt(small);
    EXPECT_EQ(small, 32767);
    EXPECT_EQ(RaisedError([&] { CVexilLib::IncInt(small); }), ERunOverflow);
    EXPECT_EQ(small, 32767);
    small = -32768;
    EXPECT_EQ(RaisedError([&] { CVexilLib::DecInt(small); }), ERunOverflow);
    EXPECT_EQ(small, -32768);

    int32_t wide = 32767;
    CVexilLib::IncLong(wide);
    EXPECT_EQ(wide, 32768);
    CVexilLib::DecLong(wide);
    CVexilLib::DecLong(wide);
    EXPECT_EQ(wide, 32766);
    wide = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(RaisedError([&] { CVexilLib::IncLong(wide); }), ERunOverflow);
    wide = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(RaisedError([&] { CVexilLib::DecLong(wide); }), ERunOverflow);
    EXPECT_EQ(wide, std::numeric_limits<int32_t>::min());
}

TEST(Util, StartsWithAndCompareStrAreExact)
{
    EXPECT_TRUE(CVexilLib::StartsWith(QStringLiteral("abc"), QString()));
    EXPECT_TRUE(CVexilLib::StartsWith(QStringLiteral("abc"), QStringLiteral("ab")));
    EXPECT_FALSE(CVexilLib::StartsWith(QStringLiteral("abc"), QStringLiteral("AB")));
    EXPECT_FALSE(CVexilLib::StartsWith(QStringLiteral("ab"), QStringLiteral("abc")));

    const struct
    {
        const char16_t* A;
        const char16_t* B;
        int16_t Result;
    } cases[] = {
        {u"a", u"a", 0},    {u"", u"a", -1},   {u"ab", u"a", 1},      {u"B", u"a", -1},  // code units: B < a
        {u"a", u"A", 1},    {u"\u00E4", u"z", 1}, {u"a b", u"ab", -1},
        {u"\uFF01", u"\U0001F600", 1},  // a surrogate code unit sorts below U+FF01
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilLib::CompareStr(QString::fromUtf16(c.A), QString::fromUtf16(c.B)), c.Result)
            << QString::fromUtf16(c.A).toStdString() << " " << QString::fromUtf16(c.B).toStdString();
}

TEST(Util, NumToPaddedStrAndPadOrCut)
{
    EXPECT_EQ(CVexilLib::NumToPaddedStr(42, 5), QStringLiteral("   42"));
    EXPECT_EQ(CVexilLib::NumToPaddedStr(123456, 4), QStringLiteral("3456"));
    EXPECT_EQ(CVexilLib::NumToPaddedStr(-5, 3), QStringLiteral(" -5"));
    EXPECT_EQ(CVexilLib::NumToPaddedStr(7, 0), QString());
    EXPECT_EQ(CVexilLib::NumToPaddedStr(100, 10), QStringLiteral("       100"));
    EXPECT_EQ(CVexilLib::NumToPaddedStr(INT32_MIN, 12), QStringLiteral(" -2147483648"));
    EXPECT_EQ(CVexilLib::NumToPaddedStr(INT32_MIN, 10), QStringLiteral("2147483648"));

    QString text = QStringLiteral("abc");
    CVexilLib::PadOrCut(text, 5);
    EXPECT_EQ(text, QStringLiteral("abc  "));
    CVexilLib::PadOrCut(text, 2);
    EXPECT_EQ(text, QStringLiteral("ab"));
    CVexilLib::PadOrCut(text, 0);
    EXPECT_EQ(text, QString());
}

TEST(Util, WidthsAndPositionsAreSixteenBit)
{
    QString text = QStringLiteral("abc");
    EXPECT_EQ(RaisedError([] { CVexilLib::NumToPaddedStr(1, 32768); }), ERunOverflow);
    EXPECT_EQ(RaisedError([&] { CVexilLib::PadOrCut(text, 40000); }), ERunOverflow);
    EXPECT_EQ(RaisedError([&] { CVexilLib::InsertStr(QStringLiteral("x"), 32768, text); }), ERunOverflow);
    EXPECT_EQ(RaisedError([&] { CVexilLib::PadOrCut(text, -1); }), ERunInvalidCall);
    EXPECT_EQ(text, QStringLiteral("abc"));
    // The largest 16-bit width still works.
    CVexilLib::PadOrCut(text, 32767);
    EXPECT_EQ(text.size(), 32767);
}

TEST(Util, ReplaceAllAndInsertStr)
{
    const struct
    {
        const char* Text;
        const char* Find;
        const char* Replacement;
        const char* Result;
    } cases[] = {
        {"aaa", "aa", "a", "aa"},      // replaced text is not scanned again
        {"a.b.c", ".", "..", "a..b..c"},
        {"abc", "", "x", "abc"},       // nothing to find
        {"abc", "B", "x", "abc"},      // exact
    };
    for (const auto& c : cases)
    {
        QString text = QString::fromLatin1(c.Text);
        CVexilLib::ReplaceAll(text, QString::fromLatin1(c.Find), QString::fromLatin1(c.Replacement));
        EXPECT_EQ(text, QString::fromLatin1(c.Result)) << c.Text;
    }

    const struct
    {
        int Position;
        const char* Result;
    } inserts[] = {{0, "XYabc"}, {2, "abXYc"}, {3, "abcXY"}, {9, "abcXY"}};
    for (const auto& c : inserts)
    {
        QString text = QStringLiteral("abc");
        CVexilLib::InsertStr(QStringLiteral("XY"), c.Position, text);
        EXPECT_EQ(text, QString::fromLatin1(c.Result)) << c.Position;
    }
}

TEST(Util, SplitAtFirstSeparator)
{
    const struct
    {
        const char* Text;
        const char* Separator;
        const char* Head;
        const char* Tail;
    } cases[] = {
        {"GET /a b", " ", "GET", "/a b"},
        {"width", ":", "width", ""},
        {"a::b", "::", "a", "b"},
        {":x", ":", "", "x"},
        {"aXb", "x", "aXb", ""},  // exact
    };
    for (const auto& c : cases)
    {
        QString head = QStringLiteral("old");
        QString tail = QStringLiteral("old");
        CVexilLib::SplitAt(QString::fromLatin1(c.Text), QString::fromLatin1(c.Separator), head, tail);
        EXPECT_EQ(head, QString::fromLatin1(c.Head)) << c.Text;
        EXPECT_EQ(tail, QString::fromLatin1(c.Tail)) << c.Text;
    }
    // The text may be one of the outputs.
    QString text = QStringLiteral("a=b");
    QString tail;
    CVexilLib::SplitAt(text, QStringLiteral("="), text, tail);
    EXPECT_EQ(text, QStringLiteral("a"));
    EXPECT_EQ(tail, QStringLiteral("b"));
}

TEST(Util, SplitStrParts)
{
    const struct
    {
        const char* Separator;
        const char* Text;
        QStringList Parts;
    } cases[] = {
        {",", "a,,b", {"a", "", "b"}},
        {",", "a,b,", {"a", "b"}},
        {",", "", {}},
        {",", ",a", {"", "a"}},
        {",", ",", {""}},
        {",", "abc", {"abc"}},
        {"\r\n", "a\r\nb\nc\r\n\r\nd", {"a", "b\nc", "", "d"}},
        {"", "abc", {"abc"}},  // an empty separator does not split
    };
    for (const auto& c : cases)
        EXPECT_EQ(Split(QString::fromLatin1(c.Separator), QString::fromLatin1(c.Text)), c.Parts) << c.Text;

    QStringList parts(4);
    int count = 0;
    CVexilLib::SplitComma(QStringLiteral("1,2"), parts, count);
    EXPECT_EQ(count, 2);
    CVexilLib::SplitLines(QStringLiteral("x\r\ny\r\nz"), parts, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(parts[2], QStringLiteral("z"));
}

TEST(Util, SplitStrBeyondTheCallersArrayRaisesSubscript)
{
    QStringList parts(3);
    int count = 0;
    CVexilLib::SplitComma(QStringLiteral("a,b,c"), parts, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(RaisedError([&] { CVexilLib::SplitComma(QStringLiteral("a,b,c,d"), parts, count); }), ERunSubscript);
}

TEST(Util, BlankTests)
{
    const struct
    {
        const char* Text;
        bool Blank;
    } cases[] = {{"", true}, {"   ", true}, {"\t", false}, {" a ", false}, {"\r\n", false}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(CVexilLib::IsBlank(QString::fromLatin1(c.Text)), c.Blank) << c.Text;
        EXPECT_EQ(CVexilLib::HasNonBlank(QString::fromLatin1(c.Text)), !c.Blank) << c.Text;
    }
    EXPECT_FALSE(CVexilLib::IsObj(TObjRef()));
    EXPECT_TRUE(CVexilLib::IsObj(std::make_shared<int>(1)));
}

TEST(Util, FlattenLineAndCrLfToEol)
{
    QString text = QStringLiteral("a\r\nb\tc\rd\ne");
    CVexilLib::FlattenLine(text);
    EXPECT_EQ(text, QStringLiteral("a b c\rd\ne"));

    text = QStringLiteral("a\r\nb\rc\r\n");
    CVexilLib::CrLfToEol(text);
    EXPECT_EQ(text, QStringLiteral("a&eol;b\rc&eol;"));
}

TEST(Util, XmlEscapeAndUnescape)
{
    const struct
    {
        const char* Plain;
        const char* Escaped;
    } cases[] = {
        {"a&lt;b", "a&amp;lt;b"},
        {"<a href=\"x\">'y'</a>", "&lt;a href=&quot;x&quot;&gt;&apos;y&apos;&lt;/a&gt;"},
        {"l1\r\nl2", "l1&eol;l2"},
        {"lf\nstays", "lf\nstays"},
        {"&&", "&amp;&amp;"},
        {"", ""},
    };
    for (const auto& c : cases)
    {
        QString text = QString::fromLatin1(c.Plain);
        CVexilLib::XmlEscape(text);
        EXPECT_EQ(text, QString::fromLatin1(c.Escaped)) << c.Plain;
        CVexilLib::XmlUnescape(text);
        EXPECT_EQ(text, QString::fromLatin1(c.Plain)) << c.Plain;
    }
}

TEST(Util, XmlEscapeKeepsALoneCrApartFromALineBreak)
{
    // A CR as it stands would end the reader's line: none is written, and each comes back
    // as it was, alone or before its LF.
    QString text = QStringLiteral("a\rb\r\nc\r\r\n\n\r");
    CVexilLib::XmlEscape(text);
    EXPECT_EQ(text, QStringLiteral("a&#13;b&eol;c&#13;&eol;\n&#13;"));
    EXPECT_FALSE(text.contains(u'\r'));
    CVexilLib::XmlUnescape(text);
    EXPECT_EQ(text, QStringLiteral("a\rb\r\nc\r\r\n\n\r"));
}

TEST(Util, XmlUnescapeLeavesOtherEntities)
{
    const struct
    {
        const char* Escaped;
        const char* Plain;
    } cases[] = {
        {"&#65;&nbsp;&amp", "&#65;&nbsp;&amp"},
        {"&amp;eol;", "&eol;"},  // "&amp;" goes last, so it never makes an entity
        {"&amp;#13;&#10;&#013;", "&#13;&#10;&#013;"},
        {"x\ny", "x\ny"},
        {"&lt&gt;", "&lt>"},
        {"&amp;amp;&&lt;&", "&amp;&<&"},
        {"&eol;&eol;&quot&apos;", "\r\n\r\n&quot'"},
    };
    for (const auto& c : cases)
    {
        QString text = QString::fromLatin1(c.Escaped);
        CVexilLib::XmlUnescape(text);
        EXPECT_EQ(text, QString::fromLatin1(c.Plain)) << c.Escaped;
    }
}

TEST(Util, StripSpecialChars)
{
    const struct
    {
        const char16_t* Text;
        const char16_t* Stripped;
    } cases[] = {
        {u"Smith, John ", u"SmithJohn"},
        {u"A-1 (b)", u"A1b"},
        {u"  lead", u"lead"},
        {u"\u00A7\u00A6\u00A8x\u00A0", u"x\u00A0"},  // the no-break space is no special character
        {u"\tM\u00FCller_1", u"\tM\u00FCller1"},
        {u"\u0100\u4E2D", u"\u0100\u4E2D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilLib::StripSpecialChars(QString::fromUtf16(c.Text)), QString::fromUtf16(c.Stripped))
            << QString::fromUtf16(c.Text).toStdString();

    const QString& special = CVexilLib::SpecialChars();
    EXPECT_EQ(special.size(), 35);
    EXPECT_EQ(CVexilLib::StripSpecialChars(special), QString());
}

TEST(Util, SortKeyLenByFieldType)
{
    const struct
    {
        int32_t ConType;
        int16_t MaxChar;
        int16_t VisChar;
        int16_t Width;
    } cases[] = {
        {EConTypeText, 100, 12, 30},        {EConTypeText, UndefInt, 12, 12}, {EConTypeText, 20, 40, 20},
        {EConTypeText, UndefInt, 50, 30},   {EConTypeInteger, 0, 0, 11},      {EConTypeReal, 0, 0, 15},
        {EConTypeDate, 0, 0, 8},            {EConTypeTime, 0, 0, 6},          {EConTypeBoolean, 0, 0, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilLib::SortKeyLen(KeyField(c.ConType, c.MaxChar, c.VisChar)), c.Width) << c.ConType;

    IgnoredAssert check(QStringLiteral("SortKeyLen type"));
    EXPECT_EQ(CVexilLib::SortKeyLen(KeyField(EConTypeList, 10, 10)), 0);
}

TEST(Util, StrToHexAndBack)
{
    EXPECT_EQ(CVexilLib::StrToHex(QStringLiteral("A\u20AC\u00FF")), QStringLiteral("4180FF"));
    EXPECT_EQ(CVexilLib::StrToHex(QStringLiteral("\u03A9")), QStringLiteral("3F"));
    EXPECT_EQ(CVexilLib::HexToStr(QStringLiteral("4180ff")), QStringLiteral("A\u20AC\u00FF"));

    // Every byte of a compiled handler survives.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString hex = CVexilLib::BytesToHex(all, false);
    EXPECT_EQ(CVexilLib::StrToHex(CVexilLib::HexToStr(hex)), hex);

    // A pair reads as far as it is hexadecimal; a last single digit is read alone.
    EXPECT_EQ(CVexilLib::HexToStr(QStringLiteral("zzAz0")), QString(QChar(0)) + QChar(0x0A) + QChar(0));
    EXPECT_EQ(CVexilLib::HexToStr(QStringLiteral(" A")), QString(QChar(0x0A)));
}

TEST(Util, BytesToHexAndBack)
{
    const QByteArray bytes("\x00\x0A\xFF", 3);
    EXPECT_EQ(CVexilLib::BytesToHex(bytes, false), QStringLiteral("000AFF"));
    EXPECT_EQ(CVexilLib::BytesToHex(bytes, true), QStringLiteral("00 0A FF"));
    EXPECT_EQ(CVexilLib::BytesToHex(QByteArray(), true), QString());
    EXPECT_EQ(CVexilLib::HexToBytes(QStringLiteral("000aFF")), bytes);
    EXPECT_EQ(CVexilLib::HexToBytes(QStringLiteral("ABC")), QByteArray("\xAB", 1));
    EXPECT_EQ(CVexilLib::HexToBytes(QString()), QByteArray());
}

TEST(Util, UrlDecode)
{
    const struct
    {
        const char16_t* Text;
        const char16_t* Decoded;
    } cases[] = {
        {u"a%20b+c", u"a b+c"},
        {u"%41%42", u"AB"},
        {u"%e9", u"\u00E9"},
        {u"%80", u"\u20AC"},
        {u"%C3%A9", u"\u00C3\u00A9"},  // UTF-8 bytes, one character each
        // Malformed escapes stay as they are.
        {u"%", u"%"},
        {u"%4", u"%4"},
        {u"%zz", u"%zz"},
        {u"100%", u"100%"},
        {u"%4%41", u"%4A"},
        {u"%%41", u"%A"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVexilLib::UrlDecode(QString::fromUtf16(c.Text)), QString::fromUtf16(c.Decoded))
            << QString::fromUtf16(c.Text).toStdString();
}

TEST(Util, FileExistsFindsNormalFilesOnly)
{
    TempDir dir;
    SetFileContent(dir.File(QStringLiteral("a.txt")), "x");
    SetFileContent(dir.File(QStringLiteral(".hidden")), "x");
    ASSERT_TRUE(QDir(dir.Path()).mkdir(QStringLiteral("sub")));

    EXPECT_TRUE(CVexilLib::FileExists(dir.File(QStringLiteral("a.txt"))));
    EXPECT_FALSE(CVexilLib::FileExists(dir.File(QStringLiteral("b.txt"))));
    EXPECT_FALSE(CVexilLib::FileExists(dir.File(QStringLiteral("sub"))));
    EXPECT_FALSE(CVexilLib::FileExists(dir.File(QStringLiteral(".hidden"))));
    EXPECT_FALSE(CVexilLib::FileExists(QString()));
    EXPECT_TRUE(CVexilLib::FileExists(dir.File(QStringLiteral("*.txt"))));
    EXPECT_TRUE(CVexilLib::FileExists(dir.File(QStringLiteral("?.txt"))));
    EXPECT_FALSE(CVexilLib::FileExists(dir.File(QStringLiteral("*.qvn"))));
    EXPECT_FALSE(CVexilLib::FileExists(dir.File(QStringLiteral("s*"))));
}

TEST(Util, DeleteFileIgnoresErrors)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("a.txt"));
    SetFileContent(name, "x");
    CVexilLib::DeleteFile(name);
    EXPECT_FALSE(QFile::exists(name));
    CVexilLib::DeleteFile(name);
    CVexilLib::DeleteFile(dir.Path());
    EXPECT_TRUE(QDir(dir.Path()).exists());
}

TEST(Util, SplitPathAcceptsBothSeparators)
{
    const struct
    {
        const char* Path;
        const char* Folder;
        const char* Name;
    } cases[] = {
        {"/home/u/Quorvans/a.qvn", "/home/u/Quorvans", "a.qvn"},
        {"C:\\Stacks\\a.qvn", "C:\\Stacks", "a.qvn"},
        {"a/b\\c.qvn", "a/b", "c.qvn"},
        {"a\\b/c.qvn", "a\\b", "c.qvn"},
        {"a.qvn", "", "a.qvn"},
        {"/a.qvn", "", "a.qvn"},
        {"dir/", "dir", ""},
        {"", "", ""},
    };
    for (const auto& c : cases)
    {
        QString folder = QStringLiteral("old");
        QString name = QStringLiteral("old");
        CVexilLib::SplitPath(QString::fromLatin1(c.Path), folder, name);
        EXPECT_EQ(folder, QString::fromLatin1(c.Folder)) << c.Path;
        EXPECT_EQ(name, QString::fromLatin1(c.Name)) << c.Path;
    }
    QString path = QStringLiteral("x/y");
    QString name;
    CVexilLib::SplitPath(path, path, name);
    EXPECT_EQ(path, QStringLiteral("x"));
    EXPECT_EQ(name, QStringLiteral("y"));
}

TEST(Util, TextFileNumbersOneToTen)
{
    std::vector<int16_t> numbers;
    for (int i = 0; i < 10; ++i)
    {
        int16_t number = 0;
        CVexilLib::GetFreeFileNum(number);
        numbers.push_back(number);
    }
    EXPECT_EQ(numbers, (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    int16_t eleventh = 0;
    EXPECT_EQ(RaisedError([&] { CVexilLib::GetFreeFileNum(eleventh); }), ERunSubscript);

    // The lowest free number is handed out again.
    CVexilLib::FreeFileNum(4);
    CVexilLib::FreeFileNum(2);
    int16_t again = 0;
    CVexilLib::GetFreeFileNum(again);
    EXPECT_EQ(again, 2);

    for (int16_t number : numbers)
    {
        if (number != 4)
            CVexilLib::FreeFileNum(number);
    }
    // Freeing a number not in use fails the assertion and frees it anyway.
    {
        IgnoredAssert check(QStringLiteral("FreeFileNum used"));
        CVexilLib::FreeFileNum(4);
    }
    EXPECT_EQ(RaisedError([] { CVexilLib::FreeFileNum(11); }), ERunSubscript);
    int16_t first = 0;
    CVexilLib::GetFreeFileNum(first);
    EXPECT_EQ(first, 1);
    CVexilLib::FreeFileNum(first);
}

TEST(FileDialogPromptTest, DefaultExtensionGoesOnlyToANameWithoutSuffix)
{
    TFileDialogPrompt dialog;
    dialog.DefaultExt = QStringLiteral("Quorvan");
    const struct
    {
        const char* Chosen;
        const char* Result;
    } cases[] = {
        {"/home/u/Birds", "/home/u/Birds.Quorvan"},
        {"/home/u/Birds.xml", "/home/u/Birds.xml"},
        {"/home/u/my.folder/Birds", "/home/u/my.folder/Birds.Quorvan"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialog.WithDefaultExt(QString::fromUtf8(c.Chosen)), QString::fromUtf8(c.Result)) << c.Chosen;
    dialog.DefaultExt.clear();
    EXPECT_EQ(dialog.WithDefaultExt(QStringLiteral("/home/u/Birds")), QStringLiteral("/home/u/Birds"));
}
