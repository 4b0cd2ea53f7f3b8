#include "RaisedError.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace
{
QByteArray Bytes(std::initializer_list<int> aBytes)
{
    QByteArray bytes;
    for (int b : aBytes)
        bytes.append(static_cast<char>(b));
    return bytes;
}

// The number of the error the action raised (0 for none) and the error record after it.
struct TCaught
{
    int32_t Number = 0;
    TErrInfo Info;
};

TCaught Catch(const std::function<void()>& aDo)
{
    const int32_t number = CaughtError(aDo, QStringLiteral("FileTest"));
    return {number, CVexilError::GetErrInfo()};
}

class FileTest : public testing::Test
{
protected:
    QString Path(const QString& aName = QStringLiteral("f.bin")) const { return iDir.File(aName); }

    // The bytes a fresh file holds after the writer ran on it.
    QByteArray Written(const std::function<void(CVexilFile&)>& aWrite)
    {
        QFile::remove(Path());
        CVexilFile file;
        file.Construct(Path(), EFilWrite);
        file.OpenFile();
        aWrite(file);
        file.CloseFile();
        return FileContent(Path());
    }

    // A file of the given bytes opened with the given access.
    std::unique_ptr<CVexilFile> Opened(const QByteArray& aBytes, EFilAccess aAccess = EFilRead)
    {
        SetFileContent(Path(), aBytes);
        auto file = std::make_unique<CVexilFile>();
        file->Construct(Path(), aAccess);
        file->OpenFile();
        return file;
    }

    // Every line of a text file of the given bytes.
    QStringList Lines(const QByteArray& aBytes, EFilCoding aCoding, bool aLfEndsLine)
    {
        auto file = Opened(aBytes, EFilSeqRead);
        file->SetCoding(aCoding);
        file->SetLfEndsLine(aLfEndsLine);
        QStringList lines;
        QString line;
        bool eof = false;
        for (file->ReadLine(line, eof); !eof; file->ReadLine(line, eof))
            lines.append(line);
        file->CloseFile();
        return lines;
    }

    QString Descr(EFilAccess aAccess) const { return QStringLiteral("CVexilFile name=%1, access=%2").arg(Path()).arg(aAccess); }

    TempDir iDir;
};

struct TLayoutCase
{
    const char* What;
    std::function<void(CVexilFile&)> Write;
    QByteArray Bytes;
    std::function<bool(CVexilFile&)> ReadsBack;
};
}  // namespace

TEST_F(FileTest, ValuesHaveTheirLittleEndianLayoutAndReadBack)
{
    const QByteArray block = Bytes({1, 2, 3});
    const QString accents = QStringLiteral("\u00E9\u20AC");
    const TLayoutCase cases[] = {
        {"string AB", [](CVexilFile& f) { f.WriteStr(QStringLiteral("AB")); }, Bytes({4, 0, 0x41, 0, 0x42, 0}),
         [](CVexilFile& f) { return f.ReadStr() == QStringLiteral("AB"); }},
        {"empty string is the count alone", [](CVexilFile& f) { f.WriteStr(QString()); }, Bytes({0, 0}),
         [](CVexilFile& f) { return f.ReadStr().isEmpty(); }},
        {"string as UTF-16LE", [&](CVexilFile& f) { f.WriteStr(accents); }, Bytes({4, 0, 0xE9, 0, 0xAC, 0x20}),
         [&](CVexilFile& f) { return f.ReadStr() == accents; }},
        {"true", [](CVexilFile& f) { f.WriteBoolean(true); }, Bytes({0xFF, 0xFF}),
         [](CVexilFile& f) { return f.ReadBoolean(); }},
        {"false", [](CVexilFile& f) { f.WriteBoolean(false); }, Bytes({0, 0}),
         [](CVexilFile& f) { return !f.ReadBoolean(); }},
        {"UndefLong", [](CVexilFile& f) { f.WriteInt(UndefLong); }, Bytes({0xFF, 0x93, 0x35, 0x77}),
         [](CVexilFile& f) { return f.ReadInt() == UndefLong; }},
        {"negative int", [](CVexilFile& f) { f.WriteInt(-2); }, Bytes({0xFE, 0xFF, 0xFF, 0xFF}),
         [](CVexilFile& f) { return f.ReadInt() == -2; }},
        {"UndefInt", [](CVexilFile& f) { f.WriteShort(UndefInt); }, Bytes({0xFF, 0x7C}),
         [](CVexilFile& f) { return f.ReadShort() == UndefInt; }},
        {"single", [](CVexilFile& f) { f.WriteSingle(1.5f); }, Bytes({0, 0, 0xC0, 0x3F}),
         [](CVexilFile& f) { return f.ReadSingle() == 1.5f; }},
        {"real", [](CVexilFile& f) { f.WriteReal(-2.5); }, Bytes({0, 0, 0, 0, 0, 0, 0x04, 0xC0}),
         [](CVexilFile& f) { return f.ReadReal() == -2.5; }},
        {"byte", [](CVexilFile& f) { f.WriteByte(0xAB); }, Bytes({0xAB}),
         [](CVexilFile& f) { return f.ReadByte() == 0xAB; }},
        {"block with its count", [&](CVexilFile& f) { f.WriteBytes(block); }, Bytes({3, 0, 0, 0, 1, 2, 3}),
         [&](CVexilFile& f) { return f.ReadBytes() == block; }},
        {"raw bytes alone", [&](CVexilFile& f) { f.WriteRawBytes(block); }, block,
         [&](CVexilFile& f) { return f.ReadRawBytes(3) == block; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(Written(c.Write).toHex(' '), c.Bytes.toHex(' '));
        auto file = Opened(c.Bytes);
        EXPECT_TRUE(c.ReadsBack(*file));
        EXPECT_EQ(file->RemainingBytes(), 0);
    }
}

TEST_F(FileTest, StoredLengths)
{
    EXPECT_EQ(CVexilFile::ExtStrLen(QStringLiteral("AB")), 6);
    EXPECT_EQ(CVexilFile::ExtStrLen(QString()), 2);
    EXPECT_EQ(CVexilFile::ExtBytesLen(QByteArray(10, 'x')), 14);
}

TEST_F(FileTest, AnyNonZeroBooleanReadsAsTrue)
{
    auto file = Opened(Bytes({1, 0, 0, 0}));
    EXPECT_TRUE(file->ReadBoolean());
    EXPECT_FALSE(file->ReadBoolean());
}

TEST_F(FileTest, TheLongestWritableStringReadsBack)
{
    const QString longest(16383, QChar(u'\u00FF'));
    const QByteArray bytes = Written([&](CVexilFile& f) { f.WriteStr(longest); });
    ASSERT_EQ(bytes.size(), 32768);
    EXPECT_EQ(bytes.left(2), Bytes({0xFE, 0x7F}));  // 32,766
    EXPECT_EQ(Opened(bytes)->ReadStr(), longest);
}

TEST_F(FileTest, ALongerStringIsAnOverflowAndWritesNothing)
{
    const TCaught caught = Catch([&] { Written([](CVexilFile& f) { f.WriteStr(QString(16384, u'a')); }); });
    EXPECT_EQ(caught.Number, ERunOverflow);
    EXPECT_TRUE(FileContent(Path()).isEmpty());
}

TEST_F(FileTest, AnEmptyBlockCannotBeWritten)
{
    EXPECT_EQ(Catch([&] { Written([](CVexilFile& f) { f.WriteBytes({}); }); }).Number, ERunSubscript);
}

TEST_F(FileTest, TruncatedFilesAndHostileCountsAreStructuralErrors)
{
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        std::function<void(CVexilFile&)> Read;
        const char* Context;
    };
    const TCase cases[] = {
        {"int past the end", Bytes({1, 2, 3}), [](CVexilFile& f) { f.ReadInt(); }, "CVexilFile.ReadInt"},
        {"empty file", {}, [](CVexilFile& f) { f.ReadBoolean(); }, "CVexilFile.ReadBoolean"},
        {"real past the end", Bytes({0, 0, 0, 0}), [](CVexilFile& f) { f.ReadReal(); }, "CVexilFile.ReadReal"},
        {"string shorter than its count", Bytes({6, 0, 0x41, 0, 0x42, 0}), [](CVexilFile& f) { f.ReadStr(); },
         "CVexilFile.ReadStr"},
        {"odd string count", Bytes({3, 0, 0x41, 0, 0x42, 0}), [](CVexilFile& f) { f.ReadStr(); }, "CVexilFile.ReadStr"},
        {"negative string count", Bytes({0xFE, 0xFF, 0x41, 0}), [](CVexilFile& f) { f.ReadStr(); },
         "CVexilFile.ReadStr"},
        {"string count cut off", Bytes({4}), [](CVexilFile& f) { f.ReadStr(); }, "CVexilFile.ReadStr"},
        {"block count 0", Bytes({0, 0, 0, 0, 1}), [](CVexilFile& f) { f.ReadBytes(); }, "CVexilFile.ReadBytes"},
        {"negative block count", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1}), [](CVexilFile& f) { f.ReadBytes(); },
         "CVexilFile.ReadBytes"},
        {"block count above 10,000,000", Bytes({0x81, 0x96, 0x98, 0, 1}), [](CVexilFile& f) { f.ReadBytes(); },
         "CVexilFile.ReadBytes"},
        {"block count beyond the file", Bytes({0x80, 0x96, 0x98, 0, 1, 2}), [](CVexilFile& f) { f.ReadBytes(); },
         "CVexilFile.ReadBytes"},
        {"raw bytes beyond the file", Bytes({1, 2, 3}), [](CVexilFile& f) { f.ReadRawBytes(4); },
         "CVexilFile.ReadRawBytes"},
        {"negative raw count", Bytes({1}), [](CVexilFile& f) { f.ReadRawBytes(-1); }, "CVexilFile.ReadRawBytes"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        auto file = Opened(c.Bytes);
        const TCaught caught = Catch([&] { c.Read(*file); });
        EXPECT_EQ(caught.Number, EErrBadStruct);
        EXPECT_EQ(caught.Info.Context, QString::fromLatin1(c.Context));
        EXPECT_EQ(caught.Info.Param1, Descr(EFilRead));
        EXPECT_TRUE(caught.Info.Param2.startsWith(QString::fromLatin1(c.Context) + QStringLiteral(": ")));
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());  // data never reaches the assertion question
}

TEST_F(FileTest, StringCountsUpTo32766ReadWithoutQuestion)
{
    QByteArray bytes = Bytes({0x32, 0x75});  // 30002, above the old limit of 30000
    bytes.append(QByteArray(30002, 'a'));
    EXPECT_EQ(Opened(bytes)->ReadStr().size(), 15001);
}

TEST_F(FileTest, LargeBlocksAndSmallValuesInterleave)
{
    QByteArray big(200000, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    const QByteArray bytes = Written([&](CVexilFile& f) {
        f.WriteInt(1);
        f.WriteBytes(big);
        f.WriteStr(QStringLiteral("end"));
    });
    ASSERT_EQ(bytes.size(), 4 + 4 + big.size() + 8);
    auto file = Opened(bytes);
    EXPECT_EQ(file->ReadInt(), 1);
    EXPECT_EQ(file->ReadBytes(), big);
    EXPECT_EQ(file->ReadStr(), QStringLiteral("end"));
}

TEST_F(FileTest, ReadWriteSeeksAndSeesItsOwnWrites)
{
    auto file = Opened(Bytes({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}), EFilReadWrite);
    EXPECT_EQ(file->ReadInt(), 1);
    file->WriteInt(20);
    EXPECT_EQ(file->CurrentPos(), 8);
    EXPECT_EQ(file->ReadInt(), 3);
    file->WriteShort(4);  // appends
    EXPECT_EQ(file->Size(), 14);
    EXPECT_EQ(file->RemainingBytes(), 0);
    file->SeekPos(4);
    EXPECT_EQ(file->ReadInt(), 20);
    EXPECT_EQ(file->RemainingBytes(), 6);
    file->SeekPos(20);  // a write beyond the end leaves a gap of zeros
    file->WriteByte(9);
    file->CloseFile();
    EXPECT_EQ(FileContent(Path()).toHex(' '),
              Bytes({1, 0, 0, 0, 20, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 9}).toHex(' '));
}

TEST_F(FileTest, WriteKeepsTheRestOfAnExistingFile)
{
    auto file = Opened(QByteArray(10, 'x'), EFilWrite);
    file->WriteRawBytes(QByteArrayLiteral("abc"));
    file->CloseFile();
    EXPECT_EQ(FileContent(Path()), QByteArrayLiteral("abcxxxxxxx"));
}

TEST_F(FileTest, OpeningForReadingNeverCreates)
{
    for (EFilAccess access : {EFilRead, EFilSeqRead})
    {
        SCOPED_TRACE(access);
        CVexilFile file;
        file.Construct(Path(QStringLiteral("missing.txt")), access);
        const TCaught caught = Catch([&] { file.OpenFile(); });
        EXPECT_EQ(caught.Number, EErrFileNotFound);
        EXPECT_EQ(caught.Info.Context, QStringLiteral("CVexilFile.OpenFile"));
        EXPECT_EQ(caught.Info.Param1, Path(QStringLiteral("missing.txt")));
        EXPECT_EQ(caught.Info.Param2, QString::number(access));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(QFile::exists(Path(QStringLiteral("missing.txt"))));
    }
}

TEST_F(FileTest, OpeningForWritingCreates)
{
    for (EFilAccess access : {EFilWrite, EFilReadWrite, EFilSeqWrite})
    {
        SCOPED_TRACE(access);
        const QString path = Path(QStringLiteral("new%1").arg(access));
        CVexilFile file;
        file.Construct(path, access);
        file.OpenFile();
        EXPECT_TRUE(file.IsOpen());
        file.CloseFile();
        EXPECT_TRUE(QFile::exists(path));
    }
}

TEST_F(FileTest, OpenErrors)
{
    struct TCase
    {
        const char* What;
        QString Path;
        EFilAccess Access;
        int32_t Error;
    };
    const TCase cases[] = {
        {"a folder", iDir.Path(), EFilRead, EErrFileNotFound},
        {"a folder for writing", iDir.Path(), EFilWrite, EErrFileNotFound},
        {"in a missing folder", Path(QStringLiteral("no/f.bin")), EFilWrite, EErrFileNotFound},
        {"an empty name", QString(), EFilSeqRead, EErrFileNotFound},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        CVexilFile file;
        file.Construct(c.Path, c.Access);
        EXPECT_EQ(Catch([&] { file.OpenFile(); }).Number, c.Error);
    }
}

TEST_F(FileTest, AFileThatMayNotBeReadIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    SetFileContent(Path(), QByteArrayLiteral("secret"));
    ASSERT_TRUE(QFile::setPermissions(Path(), {}));
    for (EFilAccess access : {EFilRead, EFilSeqRead, EFilReadWrite, EFilWrite})
    {
        SCOPED_TRACE(access);
        CVexilFile file;
        file.Construct(Path(), access);
        EXPECT_EQ(Catch([&] { file.OpenFile(); }).Number, EErrNoFileAccess);
    }
}

TEST_F(FileTest, AFailedWriteStopsWithAnError)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    // Small values fail when the buffer goes out, at the latest on closing; a large block at once.
    for (int size : {4, 100000})
    {
        SCOPED_TRACE(size);
        CVexilFile file;
        file.Construct(QStringLiteral("/dev/full"), EFilWrite);
        file.OpenFile();
        const TCaught caught = Catch([&] {
            file.WriteRawBytes(QByteArray(size, 'x'));
            file.CloseFile();
        });
        EXPECT_EQ(caught.Number, 61);
        EXPECT_EQ(caught.Info.RunSource, QStringLiteral("CVexilFile name=/dev/full, access=2"));
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(FileTest, TextLines)
{
    const QByteArray longLine(70000, 'x');
    const QByteArray bufferLine(65535, 'y');  // its CR is the last byte of the first buffer
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        EFilCoding Coding;
        bool LfEndsLine;
        QStringList Lines;
    };
    const TCase cases[] = {
        {"CR LF", "a\r\nb\r\n", EFilAnsi, false, {"a", "b"}},
        {"last line without break", "a\r\nb", EFilAnsi, false, {"a", "b"}},
        {"lone CR", "a\rb", EFilAnsi, false, {"a", "b"}},
        {"empty lines", "\r\n\r\n", EFilAnsi, false, {"", ""}},
        {"empty file", "", EFilAnsi, false, {}},
        {"lone LF stays in a stack file line", "a\nb\n", EFilAnsi, false, {"a\nb\n"}},
        {"lone LF ends an imported line", "a\nb\n", EFilAnsi, true, {"a", "b"}},
        {"mixed ends imported", "a\r\nb\nc\rd", EFilAnsi, true, {"a", "b", "c", "d"}},
        {"Windows-1252", "\x80\xE9\x9F", EFilAnsi, false, {QStringLiteral("\u20AC\u00E9\u0178")}},
        {"UTF-8", "h\xC3\xA9", EFilUtf8, false, {QStringLiteral("h\u00E9")}},
        {"byte order mark switches to UTF-8", "\xEF\xBB\xBFh\xC3\xA9\r\n\xC3\xA9", EFilAnsi, false,
         {QStringLiteral("h\u00E9"), QStringLiteral("\u00E9")}},
        {"byte order mark on the second line stays", "a\r\n\xEF\xBB\xBF" "b", EFilAnsi, false,
         {"a", QStringLiteral("\u00EF\u00BB\u00BF" "b")}},
        {"byte order mark on a later UTF-8 line is a character", "\xEF\xBB\xBF" "a\r\n\xEF\xBB\xBF" "b", EFilAnsi,
         false, {"a", QStringLiteral("\uFEFF" "b")}},
        {"UTF-8 cut inside a character", "h\xC3\r\n\xC3", EFilUtf8, false,
         {QStringLiteral("h\uFFFD"), QStringLiteral("\uFFFD")}},
        {"a line longer than the buffer", longLine + "\r\nz", EFilAnsi, false, {QString::fromLatin1(longLine), "z"}},
        {"CR LF across the buffer end", bufferLine + "\r\nz", EFilAnsi, false, {QString::fromLatin1(bufferLine), "z"}},
        {"lone CR at the buffer end", bufferLine + "\rz\r", EFilAnsi, false, {QString::fromLatin1(bufferLine), "z"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(Lines(c.Bytes, c.Coding, c.LfEndsLine), c.Lines);
    }
}

TEST_F(FileTest, TheEndOfATextFileLeavesTheLineAsItWas)
{
    auto file = Opened("only", EFilSeqRead);
    QString line;
    bool eof = true;
    file->ReadLine(line, eof);
    EXPECT_FALSE(eof);
    file->ReadLine(line, eof);
    EXPECT_TRUE(eof);
    EXPECT_EQ(line, QStringLiteral("only"));
}

TEST_F(FileTest, WriteLineEndsWithCrLfAndNeverWritesAByteOrderMark)
{
    auto file = Opened("old contents", EFilSeqWrite);
    EXPECT_EQ(file->Coding(), EFilAnsi);
    file->WriteLine(QStringLiteral("\u20AC\u00E9\u4E00"));
    file->CloseFile();
    EXPECT_EQ(FileContent(Path()), QByteArray("\x80\xE9?\r\n"));

    file = Opened({}, EFilSeqWrite);
    file->SetCoding(EFilUtf8);
    file->WriteLine(QStringLiteral("\u00E9"));
    file->WriteLine(QString());
    file->CloseFile();
    EXPECT_EQ(FileContent(Path()), QByteArray("\xC3\xA9\r\n\r\n"));
}

TEST_F(FileTest, TenTextFilesAtOnceAndNumbersComeBack)
{
    SetFileContent(Path(), "x");
    // Failed opens and files dropped without CloseFile give their numbers back.
    for (int i = 0; i < 12; ++i)
    {
        CVexilFile missing;
        missing.Construct(Path(QStringLiteral("missing")), EFilSeqRead);
        EXPECT_EQ(Catch([&] { missing.OpenFile(); }).Number, EErrFileNotFound);
        CVexilFile dropped;
        dropped.Construct(Path(), EFilSeqRead);
        dropped.OpenFile();
    }
    std::vector<std::unique_ptr<CVexilFile>> open;
    for (int i = 0; i < 10; ++i)
        open.push_back(Opened("x", EFilSeqRead));
    CVexilFile eleventh;
    eleventh.Construct(Path(), EFilSeqRead);
    EXPECT_EQ(Catch([&] { eleventh.OpenFile(); }).Number, ERunSubscript);
    open[3]->CloseFile();
    open[3]->CloseFile();  // a second close does nothing
    eleventh.OpenFile();
    eleventh.CloseFile();
    for (auto& file : open)
        file->CloseFile();
}

TEST_F(FileTest, ADroppedWriterStillWritesItsBytes)
{
    {
        CVexilFile file;
        file.Construct(Path(), EFilWrite);
        file.OpenFile();
        file.WriteInt(7);
    }
    EXPECT_EQ(FileContent(Path()), Bytes({7, 0, 0, 0}));
}

TEST_F(FileTest, WrongAccessAsksTheAssertionQuestion)
{
    auto& prompts = ScriptedPrompts::Instance();
    auto writer = Opened({}, EFilWrite);
    prompts.ExpectMessage(false);
    const TCaught caught = Catch([&] { writer->ReadStr(); });
    EXPECT_EQ(caught.Number, EErrAssertFailed);
    EXPECT_EQ(caught.Info.Context, QStringLiteral("ReadStr"));
    EXPECT_EQ(caught.Info.Param2, QStringLiteral("Access EFilRead2") + Descr(EFilWrite) + QStringLiteral("\r\n"));

    auto text = Opened({}, EFilSeqRead);
    prompts.ExpectMessage(false);
    EXPECT_EQ(Catch([&] { text->WriteStr(QStringLiteral("a")); }).Info.Param2,
              QStringLiteral("Access EFilWrite 1") + Descr(EFilSeqRead) + QStringLiteral("\r\n"));
    prompts.ExpectMessage(false);
    EXPECT_EQ(Catch([&] { text->SeekPos(0); }).Info.Context, QStringLiteral("SeekPos"));
    prompts.ExpectMessage(false);
    EXPECT_EQ(Catch([&] { writer->WriteLine(QStringLiteral("a")); }).Info.Context, QStringLiteral("WriteLine"));
}

TEST_F(FileTest, ObjDescrNamesFileAndAccess)
{
    CVexilFile file;
    file.Construct(QStringLiteral("a.qvn"), EFilReadWrite);
    EXPECT_EQ(file.ObjDescr(), QStringLiteral("CVexilFile name=a.qvn, access=4"));
    EXPECT_EQ(file.Coding(), EFilAnsi);
    EXPECT_FALSE(file.IsOpen());
}
