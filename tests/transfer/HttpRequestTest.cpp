// Request handling without a socket: gathering heads, reading requests, names, replies, uploads.
#include "TestEnv.h"
#include "TransferFiles.h"
#include "foundation/VexilLowLevel.h"
#include "transfer/VexilHttpReply.h"
#include "transfer/VexilHttpRequest.h"
#include "transfer/VexilServedFolder.h"
#include "transfer/VexilUpload.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace TransferFiles;

namespace
{
// The example date as the program's day count in GMT.
double ExampleGmt()
{
    return QDate(1899, 12, 30).daysTo(kExampleGmt.date()) + kExampleGmt.time().msecsSinceStartOfDay() / 86400000.0;
}

QByteArray AllBody(CVexilReplyBody& aBody)
{
    QByteArray bytes;
    while (!aBody.AtEnd())
        bytes += aBody.NextChunk();
    return bytes;
}

// ---- gathering a head ----

TEST(HeadReaderTest, HeadSplitAnywhereIsGatheredAndTheBodyStaysBytes)
{
    const QByteArray request =
        QByteArrayLiteral("PUT /a HTTP/1.0\r\nContent-Length: 4\r\n\r\n") + QByteArray("\0\xff\r\n", 4);
    for (qsizetype cut = 1; cut < request.size(); ++cut)
    {
        CVexilHeadReader reader;
        reader.Add(request.left(cut));
        ASSERT_EQ(reader.Add(request.mid(cut)), CVexilHeadReader::EHeadComplete) << cut;
        EXPECT_EQ(reader.Head(), "PUT /a HTTP/1.0\r\nContent-Length: 4") << cut;
        EXPECT_EQ(reader.TakeRest(), QByteArray("\0\xff\r\n", 4)) << cut;
    }
}

TEST(HeadReaderTest, WaitsForTheEmptyLine)
{
    CVexilHeadReader reader;
    EXPECT_EQ(reader.Add("GET / HTTP/1.0\r\n"), CVexilHeadReader::EHeadIncomplete);
    EXPECT_EQ(reader.Add("Host: x\r"), CVexilHeadReader::EHeadIncomplete);
    EXPECT_EQ(reader.Add("\n\r\n"), CVexilHeadReader::EHeadComplete);
    EXPECT_EQ(reader.Head(), "GET / HTTP/1.0\r\nHost: x");
    EXPECT_TRUE(reader.TakeRest().isEmpty());
}

QByteArray HeadOfLines(int aLines)
{
    QByteArray head = "GET / HTTP/1.0\r\n";
    for (int i = 1; i < aLines; ++i)
        head += "X: y\r\n";
    return head + "\r\n";
}

TEST(HeadReaderTest, LimitsLinesAndBytes)
{
    struct TCase
    {
        const char* Name;
        QByteArray Data;
        CVexilHeadReader::EHeadState Expected;
    };
    const QByteArray line8k = "GET /" + QByteArray(8192 - 5 - 4 - 9, 'a') + " HTTP/1.0";  // 8192 with CR LF CR LF
    const TCase cases[] = {
        {"100 lines", HeadOfLines(100), CVexilHeadReader::EHeadComplete},
        {"101 lines", HeadOfLines(101), CVexilHeadReader::EHeadTooLong},
        {"200 lines, no end yet", HeadOfLines(200).left(200 * 5), CVexilHeadReader::EHeadTooLong},
        {"8192 bytes", line8k + "\r\n\r\n", CVexilHeadReader::EHeadComplete},
        {"8193 bytes", line8k + "b\r\n\r\n", CVexilHeadReader::EHeadTooLong},
        {"8192 bytes without end", QByteArray(8192, 'a'), CVexilHeadReader::EHeadTooLong},
    };
    for (const TCase& c : cases)
    {
        CVexilHeadReader whole;
        EXPECT_EQ(whole.Add(c.Data), c.Expected) << c.Name;
        // Byte by byte the verdict is the same and comes no later than the limit.
        CVexilHeadReader piecewise;
        CVexilHeadReader::EHeadState state = CVexilHeadReader::EHeadIncomplete;
        for (qsizetype i = 0; i < c.Data.size() && state == CVexilHeadReader::EHeadIncomplete; ++i)
            state = piecewise.Add(c.Data.mid(i, 1));
        EXPECT_EQ(state, c.Expected) << c.Name;
    }
}

// ---- reading a request ----

TEST(HttpRequestTest, MethodAndDecodedPath)
{
    struct TCase
    {
        const char* Line;
        EHttpMethod Method;
        std::optional<QString> Path;
    };
    const TCase cases[] = {
        {"GET / HTTP/1.0", EHttpGet, QStringLiteral("/")},
        {"GET /%41bc HTTP/1.0", EHttpGet, QStringLiteral("/Abc")},
        {"GET /a+b%20c", EHttpGet, QStringLiteral("/a+b c")},  // no version: served the same
        {"GET /%C3%A4%E2%82%AC.Quorvan HTTP/1.0", EHttpGet, QStringLiteral("/\u00e4\u20ac.Quorvan")},
        {"GET /%FF.Quorvan HTTP/1.0", EHttpGet, std::nullopt},  // not UTF-8
        {"HEAD /a.Quorvan HTTP/1.0", EHttpHead, QStringLiteral("/a.Quorvan")},
        {"PUT /a.Quorvan HTTP/1.0", EHttpPut, QStringLiteral("/a.Quorvan")},
        {"get / HTTP/1.0", EHttpOther, std::nullopt},
        {"GET", EHttpOther, std::nullopt},
        {"DELETE /a.Quorvan HTTP/1.0", EHttpOther, std::nullopt},
    };
    for (const TCase& c : cases)
    {
        const CVexilHttpRequest request(QByteArray(c.Line) + "\r\nHost: x");
        EXPECT_EQ(request.RequestLine(), QString::fromLatin1(c.Line));
        EXPECT_EQ(request.Method(), c.Method) << c.Line;
        EXPECT_EQ(request.Path(), c.Path) << c.Line;
    }
}

TEST(HttpRequestTest, HeaderLookupIgnoresCaseAndTakesTheFirst)
{
    const CVexilHttpRequest request("PUT /Content-Length: 1 HTTP/1.0\r\ncontent-length:12\r\n"
                                    "Content-Length: 13\r\nLast-Modified: \t Sun");
    EXPECT_EQ(request.GetHeader(QStringLiteral("Content-Length:")), QStringLiteral("12"));
    EXPECT_EQ(request.GetHeader(QStringLiteral("Last-Modified:")), QStringLiteral("Sun"));
    EXPECT_EQ(request.GetHeader(QStringLiteral("Host:")), std::nullopt);
}

TEST(HttpRequestTest, ContentLengthIsADecimalNumberUpTo2GiB)
{
    struct TCase
    {
        const char* Value;  // nullptr: no header
        std::optional<int64_t> Length;
    };
    const TCase cases[] = {
        {"10", 10},
        {"0", 0},
        {" 7 ", 7},
        {"000000000000000000000000042", 42},
        {"2147483648", int64_t{2147483648}},
        {"2147483649", std::nullopt},
        {"99999999999", std::nullopt},
        {"18446744073709551616", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"", std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const TCase& c : cases)
    {
        QByteArray head = "PUT /a HTTP/1.0";
        if (c.Value)
            head += QByteArray("\r\nContent-Length: ") + c.Value;
        EXPECT_EQ(CVexilHttpRequest(head).ContentLength(), c.Length) << (c.Value ? c.Value : "(none)");
    }
}

// ---- names ----

TEST(ServedFolderTest, OnlyPlainFileNamesAreValid)
{
    for (const QString& name : {QStringLiteral("a.Quorvan"), QStringLiteral("\u00e4 b+c.Quorvan"),
                                QStringLiteral("a..b"), QStringLiteral("a."), QStringLiteral("$TransTemp$x")})
        EXPECT_TRUE(CVexilServedFolder::IsValidName(name)) << name.toStdString();
    // A name with a leading dot is hidden: it could be stored but never fetched.
    for (const QString& name :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("..a"), QStringLiteral(".x"),
          QStringLiteral(".hidden.Quorvan"), QStringLiteral("a/b"), QStringLiteral("a\\b"),
          QStringLiteral("c:x"), QStringLiteral("a*"), QStringLiteral("a?"), QString::fromLatin1("a\0b", 3),
          QStringLiteral("a\tb"), QStringLiteral("a\x7f"), QStringLiteral("a\u0085"), QStringLiteral("$TransTemp$")})
        EXPECT_FALSE(CVexilServedFolder::IsValidName(name)) << name.toStdString();
}

class ServedFolderFilesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QDir(iRoot.Path()).mkdir(QStringLiteral("stacks"));
        QDir(iFolder).mkdir(QStringLiteral("sub"));
        Write(iFolder + "/a.Quorvan", "a");
        Write(iFolder + "/.hidden.Quorvan", "h");
        Write(iRoot.File("secret.txt"), "secret");
        QFile::link(iRoot.File("secret.txt"), iFolder + "/out.Quorvan");
        QFile::link(iFolder + "/a.Quorvan", iFolder + "/in.Quorvan");
    }

    TempDir iRoot;
    QString iFolder = iRoot.File("stacks");
};

TEST_F(ServedFolderFilesTest, ExistingFileStaysInsideTheFolder)
{
    const CVexilServedFolder folder(iFolder);
    EXPECT_EQ(folder.ExistingFile("/a.Quorvan"), iFolder + "/a.Quorvan");
    EXPECT_EQ(folder.ExistingFile("/in.Quorvan"), iFolder + "/in.Quorvan");
    for (const char* path : {"/out.Quorvan", "/missing.Quorvan", "/sub", "/.hidden.Quorvan", "/", "a.Quorvan",
                             "/../secret.txt", "/stacks/../secret.txt"})
        EXPECT_EQ(folder.ExistingFile(QString::fromLatin1(path)), std::nullopt) << path;
}

TEST_F(ServedFolderFilesTest, AMissingOrEmptyFolderServesNothing)
{
    for (const QString& name : {QString(), iRoot.File("none")})
    {
        const CVexilServedFolder folder(name);
        EXPECT_FALSE(folder.Exists());
        EXPECT_EQ(folder.TargetPath("/a.Quorvan"), std::nullopt);
        EXPECT_EQ(folder.ExistingFile("/a.Quorvan"), std::nullopt);
        EXPECT_TRUE(folder.StackList().isEmpty());
    }
    // A file is no folder.
    EXPECT_FALSE(CVexilServedFolder(iRoot.File("secret.txt")).Exists());
}

TEST_F(ServedFolderFilesTest, StackListHasTheStackFilesAsUtf8Lines)
{
    Write(iFolder + "/b.Quorvan", "b");
    Write(iFolder + "/c.txt", "c");
    Write(iFolder + "/\u00e4.Quorvan", "d");
    QFile::remove(iFolder + "/out.Quorvan");
    QFile::remove(iFolder + "/in.Quorvan");
    EXPECT_EQ(CVexilServedFolder(iFolder).StackList(), "a.Quorvan\r\nb.Quorvan\r\n\xc3\xa4.Quorvan\r\n");
}

// ---- replies ----

TEST(ReplyHeadTest, HeaderBytes)
{
    const TReplyHead list{CVexilHttpStatus::Ok, QStringLiteral("text/plain; charset=utf-8"), 22, ExampleGmt()};
    EXPECT_EQ(list.Text(), QStringLiteral("HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\n"
                                          "Content-Type: text/plain; charset=utf-8\r\nContent-Length:  22\r\n"
                                          "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n"));
    EXPECT_EQ(CVexilRequestHandler::HeaderOnly(CVexilHttpStatus::InternalError).Head.Text(),
              QStringLiteral("HTTP/1.0 500 Internal Server Error\r\nServer: Quorvans 0.9\r\n\r\n"));
}

class RequestHandlerTest : public ServedFolderFilesTest
{
protected:
    std::variant<TReply, TUploadRequest> Handle(const QByteArray& aHead)
    {
        const CVexilServedFolder folder(iFolder);
        return CVexilRequestHandler(folder).Handle(CVexilHttpRequest(aHead));
    }
    TReply Reply(const QByteArray& aHead)
    {
        auto action = Handle(aHead);
        EXPECT_TRUE(std::holds_alternative<TReply>(action)) << aHead.toStdString();
        return std::holds_alternative<TReply>(action) ? std::move(std::get<TReply>(action)) : TReply{};
    }
};

TEST_F(RequestHandlerTest, GetSendsTheFileInChunks)
{
    QByteArray big(3 * CVexilReplyBody::kChunkSize + 17, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char& c : big)
        c = static_cast<char>(rng.bounded(256));
    Write(iFolder + "/big.Quorvan", big);
    SetModTime(iFolder + "/big.Quorvan", kExampleGmt);
    TReply reply = Reply("GET /big.Quorvan HTTP/1.0");
    EXPECT_EQ(reply.Head.Status, CVexilHttpStatus::Ok);
    EXPECT_EQ(reply.Head.ContentType, QStringLiteral("application/octet-stream"));
    EXPECT_EQ(reply.Head.Length, big.size());
    EXPECT_EQ(CVexilLowLevel::HttpDateStrGmt(reply.Head.Date), kExampleHttpDate);
    EXPECT_EQ(reply.Body.NextChunk().size(), CVexilReplyBody::kChunkSize);
    EXPECT_EQ(AllBody(reply.Body), big.mid(CVexilReplyBody::kChunkSize));
}

TEST_F(RequestHandlerTest, AnEmptyFileIsOkWithLengthZero)
{
    Write(iFolder + "/empty.Quorvan", "");
    TReply reply = Reply("GET /empty.Quorvan HTTP/1.0");
    EXPECT_EQ(reply.Head.Status, CVexilHttpStatus::Ok);
    EXPECT_EQ(reply.Head.Length, 0);
    EXPECT_TRUE(reply.Body.AtEnd());
}

TEST_F(RequestHandlerTest, HeadAndRefusals)
{
    SetModTime(iFolder + "/a.Quorvan", kExampleGmt);
    TReply head = Reply("HEAD /a.Quorvan HTTP/1.0");
    EXPECT_EQ(head.Head.Text(), QStringLiteral("HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: text/html\r\n"
                                               "Content-Length:  0\r\nLast-Modified: ") +
                                    kExampleHttpDate + QStringLiteral("\r\n\r\n"));
    EXPECT_TRUE(head.Body.AtEnd());

    struct TCase
    {
        const char* Head;
        const QString& Status;
    };
    const TCase cases[] = {
        {"HEAD / HTTP/1.0", CVexilHttpStatus::NotFound},
        {"GET /missing.Quorvan HTTP/1.0", CVexilHttpStatus::NotFound},
        {"GET /%FF HTTP/1.0", CVexilHttpStatus::NotFound},
        {"GET /out.Quorvan HTTP/1.0", CVexilHttpStatus::NotFound},
        {"PUT /a%2fb HTTP/1.0\r\nContent-Length: 1", CVexilHttpStatus::NotFound},
        {"PUT /a.Quorvan HTTP/1.0", CVexilHttpStatus::BadRequest},
        {"PUT /a.Quorvan HTTP/1.0\r\nContent-Length: -1", CVexilHttpStatus::BadRequest},
        {"POST /a.Quorvan HTTP/1.0", CVexilHttpStatus::NotImplemented},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Reply(c.Head).Head.Text(), CVexilRequestHandler::HeaderOnly(c.Status).Head.Text()) << c.Head;
}

TEST_F(RequestHandlerTest, PutNamesTheTargetWithLengthAndTime)
{
    auto action = Handle("PUT /new.Quorvan HTTP/1.0\r\nLast-Modified: " + kExampleHttpDate.toLatin1() +
                         "\r\nContent-Length: 5");
    ASSERT_TRUE(std::holds_alternative<TUploadRequest>(action));
    const TUploadRequest& upload = std::get<TUploadRequest>(action);
    EXPECT_EQ(upload.Target, iFolder + "/new.Quorvan");
    EXPECT_EQ(upload.Length, 5);
    ASSERT_TRUE(upload.Time.has_value());
    EXPECT_EQ(CVexilLowLevel::HttpDateStrGmt(*upload.Time), kExampleHttpDate);

    // An unreadable date keeps the time of storing, and asks nothing.
    for (const char* date : {"Sun, 06 NOV 1994 08:49:37 GMT", "yesterday", ""})
    {
        auto other = Handle(QByteArray("PUT /new.Quorvan HTTP/1.0\r\nContent-Length: 5\r\nLast-Modified: ") + date);
        ASSERT_TRUE(std::holds_alternative<TUploadRequest>(other));
        EXPECT_FALSE(std::get<TUploadRequest>(other).Time.has_value()) << date;
    }
}

// ---- storing ----

class UploadTest : public ServedFolderFilesTest
{
protected:
    TUploadRequest Request(const QString& aName, int64_t aLength, std::optional<double> aTime = {})
    {
        return {iFolder + "/" + aName, aLength, aTime};
    }
    QString iTemp = iFolder + "/$TransTemp$";
};

TEST_F(UploadTest, FinishReplacesTheTargetWithItsTime)
{
    {
        CVexilUpload upload(iTemp, Request("a.Quorvan", 10, ExampleGmt()));
        upload.Write("01234");
        upload.Write("56789");
        EXPECT_EQ(upload.Remaining(), 0);
        EXPECT_EQ(Read(iFolder + "/a.Quorvan"), "a");  // untouched until finished
        EXPECT_TRUE(upload.Finish());
    }
    EXPECT_EQ(Read(iFolder + "/a.Quorvan"), "0123456789");
    EXPECT_EQ(ModTimeGmt(iFolder + "/a.Quorvan"), kExampleGmt);
    EXPECT_FALSE(QFile::exists(iTemp));
}

TEST_F(UploadTest, EmptyBodyAndStaleTemporaryFile)
{
    Write(iTemp, "left over from a broken upload");
    {
        CVexilUpload upload(iTemp, Request("e.Quorvan", 0));
        EXPECT_TRUE(upload.Finish());
    }
    EXPECT_TRUE(QFile::exists(iFolder + "/e.Quorvan"));
    EXPECT_EQ(Read(iFolder + "/e.Quorvan"), "");
    EXPECT_GT(ModTimeGmt(iFolder + "/e.Quorvan"), kExampleGmt);
    EXPECT_FALSE(QFile::exists(iTemp));
}

TEST_F(UploadTest, AbandonedOrFailedUploadKeepsTheTarget)
{
    {
        CVexilUpload upload(iTemp, Request("a.Quorvan", 10));
        upload.Write("01234");
    }
    EXPECT_EQ(Read(iFolder + "/a.Quorvan"), "a");
    EXPECT_FALSE(QFile::exists(iTemp));

    // A folder cannot be replaced by a file.
    {
        CVexilUpload upload(iTemp, Request("sub", 3));
        upload.Write("xyz");
        EXPECT_FALSE(upload.Finish());
    }
    EXPECT_TRUE(QFileInfo(iFolder + "/sub").isDir());
    EXPECT_FALSE(QFile::exists(iTemp));
}
}  // namespace
