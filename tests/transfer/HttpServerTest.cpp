// The transfer server against a real client on loopback, serving a temporary stack folder.
#include "TestEnv.h"
#include "TransferFiles.h"
#include "ZoneScope.h"
#include "foundation/VexilStackFolder.h"
#include "transfer/VexilHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace TransferFiles;
using namespace std::chrono_literals;

namespace
{
// Records the panels instead of a status bar.
class RecordingPanels : public IVexilStatusPanels
{
public:
    void SetStatusPanel1(const QString& aText) override { Panel1.append(aText); }
    void SetStatusPanel2(const QString& aText) override { Panel2.append(aText); }
    void SetStatusPanel3(const QString& aText) override { Panel3.append(aText); }

    QStringList Panel1;
    QStringList Panel2;
    QStringList Panel3;
};

// Runs the event loop until the condition holds; false when it still fails after the limit
// (a safety net against a hanging server, not a measure of speed).
bool RunUntil(const std::function<bool()>& aDone, std::chrono::milliseconds aLimit = 10s)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!aDone())
    {
        if (elapsed.elapsed() > aLimit.count())
            return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A real client connection to the server.
class Client
{
public:
    explicit Client(uint16_t aPort)
    {
        QObject::connect(&iSocket, &QTcpSocket::readyRead, [this] { iReceived += iSocket.readAll(); });
        QObject::connect(&iSocket, &QTcpSocket::disconnected, [this] { iClosed = true; });
        QObject::connect(&iSocket, &QTcpSocket::errorOccurred, [this] { iClosed = true; });
        iSocket.connectToHost(QHostAddress::LocalHost, aPort);
        RunUntil([this] { return iClosed || iSocket.state() == QAbstractSocket::ConnectedState; });
    }

    bool Connected() const { return iSocket.state() == QAbstractSocket::ConnectedState; }
    void Send(const QByteArray& aBytes) { iSocket.write(aBytes); }
    // Everything the server sent until it closed the connection.
    QByteArray Reply()
    {
        EXPECT_TRUE(RunUntil([this] { return iClosed; })) << "the server kept the connection open";
        return iReceived;
    }
    bool Closed() const { return iClosed; }

private:
    QTcpSocket iSocket;
    QByteArray iReceived;
    bool iClosed = false;
};

const QByteArray k404 = "HTTP/1.0 404 Not Found\r\nServer: Quorvans 0.9\r\n\r\n";
const QByteArray k400 = "HTTP/1.0 400 Bad Request\r\nServer: Quorvans 0.9\r\n\r\n";
const QByteArray k501 = "HTTP/1.0 501 Not Implemented\r\nServer: Quorvans 0.9\r\n\r\n";
const QByteArray k200Stored = "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\n\r\n";

class HttpServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QDir(iRoot.Path()).mkdir(QStringLiteral("stacks"));
        Write(File("a.Quorvan"), "stack a");
        Write(File("b.Quorvan"), "stack b");
        Write(File("c.txt"), "text c");
        for (const char* name : {"a.Quorvan", "b.Quorvan", "c.txt"})
            SetModTime(File(name), kExampleGmt);
        Write(iRoot.File("secret.txt"), "secret");
        gStackFolder = iFolder;
        iServer = std::make_unique<CVexilHttpServer>(iPanels, 0, QHostAddress::LocalHost);
        ASSERT_NE(iServer->Port(), 0);
    }
    void TearDown() override
    {
        iServer.reset();
        gStackFolder.clear();
    }

    QString File(const QString& aName) const { return iFolder + "/" + aName; }
    // One request on its own connection.
    QByteArray Exchange(const QByteArray& aRequest)
    {
        Client client(iServer->Port());
        client.Send(aRequest);
        return client.Reply();
    }
    static QByteArray Get(const QByteArray& aPath) { return "GET " + aPath + " HTTP/1.0\r\n\r\n"; }
    static QByteArray FileReply(const QByteArray& aBody)
    {
        return "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: application/octet-stream\r\n"
               "Content-Length:  " +
               QByteArray::number(aBody.size()) + "\r\nLast-Modified: " + kExampleHttpDate.toLatin1() +
               "\r\n\r\n" + aBody;
    }

    TempDir iRoot;
    QString iFolder = iRoot.File("stacks");
    RecordingPanels iPanels;
    std::unique_ptr<CVexilHttpServer> iServer;
};

// The reply to a GET of "/" with its date line replaced by a fixed text.
QByteArray WithoutDate(QByteArray aReply)
{
    static const QRegularExpression kDate(
        QStringLiteral("Last-Modified: [A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d GMT\r\n"));
    return QString::fromLatin1(aReply).replace(kDate, QStringLiteral("Last-Modified: <now>\r\n")).toLatin1();
}

TEST_F(HttpServerTest, ListsTheStackFiles)
{
    EXPECT_EQ(iPanels.Panel3, QStringList{QStringLiteral("Stack transfer server waiting")});
    EXPECT_EQ(WithoutDate(Exchange(Get("/"))),
              "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length:  22\r\nLast-Modified: <now>\r\n\r\na.Quorvan\r\nb.Quorvan\r\n");
    EXPECT_EQ(iPanels.Panel1, QStringList{QStringLiteral("GET / HTTP/1.0")});
    ASSERT_EQ(iPanels.Panel2.size(), 1);
    EXPECT_TRUE(iPanels.Panel2[0].startsWith(
        QStringLiteral("HTTP/1.0 200 OK, Server: Quorvans 0.9, Content-Type: text/plain; charset=utf-8, ")));
    EXPECT_TRUE(iPanels.Panel2[0].endsWith(QStringLiteral(" GMT, , ")));
    EXPECT_EQ(iPanels.Panel3.mid(1), (QStringList{QStringLiteral("Connection opened"), QStringLiteral("Sending 22 bytes"),
                                                  QStringLiteral("Connection closed")}));

    // An empty folder: length 0 with its blank, and no body.
    for (const char* name : {"a.Quorvan", "b.Quorvan", "c.txt"})
        QFile::remove(File(name));
    EXPECT_EQ(WithoutDate(Exchange(Get("/"))),
              "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length:  0\r\nLast-Modified: <now>\r\n\r\n");
}

TEST_F(HttpServerTest, GetHeadAndRefusedRequests)
{
    Write(File("Abc"), "abc");
    SetModTime(File("Abc"), kExampleGmt);
    struct TCase
    {
        QByteArray Request;
        QByteArray Reply;
    };
    const TCase cases[] = {
        {Get("/a.Quorvan"), FileReply("stack a")},
        {"GET /%41bc\r\n\r\n", FileReply("abc")},
        {"HEAD /b.Quorvan HTTP/1.0\r\n\r\n",
         "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: text/html\r\nContent-Length:  0\r\n"
         "Last-Modified: " + kExampleHttpDate.toLatin1() + "\r\n\r\n"},
        {Get("/missing.Quorvan"), k404},
        {"HEAD / HTTP/1.0\r\n\r\n", k404},
        {"get / HTTP/1.0\r\n\r\n", k501},
        {"DELETE /a.Quorvan HTTP/1.0\r\n\r\n", k501},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Exchange(c.Request), c.Reply) << c.Request.toStdString();
}

TEST_F(HttpServerTest, LargeAndEmptyFiles)
{
    QByteArray big(1'500'000, Qt::Uninitialized);
    QRandomGenerator rng(11);
    for (char& c : big)
        c = static_cast<char>(rng.bounded(256));
    Write(File("big.Quorvan"), big);
    Write(File("empty.Quorvan"), "");
    SetModTime(File("big.Quorvan"), kExampleGmt);
    SetModTime(File("empty.Quorvan"), kExampleGmt);
    EXPECT_EQ(Exchange(Get("/big.Quorvan")), FileReply(big));
    EXPECT_EQ(Exchange(Get("/empty.Quorvan")), FileReply(""));
}

TEST_F(HttpServerTest, PutInDelayedPiecesStoresExactlyTheAnnouncedBytes)
{
    Client client(iServer->Port());
    const QByteArray head = "PUT /new.Quorvan HTTP/1.0\r\nConte|nt-length:10\r\nLast-Modified: " +
                            kExampleHttpDate.toLatin1() + "\r\n|\r\n0123";
    for (const QByteArray& piece : head.split('|'))
    {
        client.Send(piece);
        RunUntil([] { return false; }, 20ms);  // lets the server take the piece alone
    }
    // Each body piece is taken before the next goes out.
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("4 bytes received")); }));
    client.Send("456");
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("7 bytes received")); }));
    EXPECT_FALSE(QFile::exists(File("new.Quorvan")));
    client.Send("789 and bytes beyond the length");
    EXPECT_EQ(client.Reply(), k200Stored);

    EXPECT_EQ(Read(File("new.Quorvan")), "0123456789");
    EXPECT_EQ(ModTimeGmt(File("new.Quorvan")), kExampleGmt);
    EXPECT_FALSE(QFile::exists(File("$TransTemp$")));
    EXPECT_TRUE(iPanels.Panel3.contains(QStringLiteral("Receiving of all 10 bytes completed")));
    EXPECT_EQ(iPanels.Panel1.last(), QStringLiteral("PUT /new.Quorvan HTTP/1.0"));
}

TEST_F(HttpServerTest, PutReplacesAndStoresEmptyFiles)
{
    EXPECT_EQ(Exchange("PUT /a.Quorvan HTTP/1.0\r\nContent-Length: 3\r\nLast-Modified: yesterday\r\n\r\nnew"),
              k200Stored);
    EXPECT_EQ(Read(File("a.Quorvan")), "new");
    EXPECT_GT(ModTimeGmt(File("a.Quorvan")), kExampleGmt);  // the time of storing

    EXPECT_EQ(Exchange("PUT /b.Quorvan HTTP/1.0\r\nContent-Length: 0\r\n\r\n"), k200Stored);
    EXPECT_TRUE(QFile::exists(File("b.Quorvan")));
    EXPECT_EQ(Read(File("b.Quorvan")), "");
}

// When daylight saving ends, 02:30 comes twice in Central Europe: each stays its own moment.
TEST_F(HttpServerTest, TimesInTheHourTheClockRepeatsAreStoredAndSentAsGiven)
{
    ZoneScope zone(kCentralEurope);
    const struct
    {
        QByteArray Http;
        QDateTime Gmt;
    } cases[] = {
        {"Sun, 27 Oct 2024 00:30:00 GMT", QDateTime(QDate(2024, 10, 27), QTime(0, 30), Qt::UTC)},
        {"Sun, 27 Oct 2024 01:30:00 GMT", QDateTime(QDate(2024, 10, 27), QTime(1, 30), Qt::UTC)},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Exchange("PUT /turn.Quorvan HTTP/1.0\r\nContent-Length: 4\r\nLast-Modified: " + c.Http +
                           "\r\n\r\nturn"),
                  k200Stored);
        EXPECT_EQ(ModTimeGmt(File("turn.Quorvan")), c.Gmt) << c.Http.toStdString();
        EXPECT_EQ(Exchange(Get("/turn.Quorvan")),
                  "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: application/octet-stream\r\n"
                  "Content-Length:  4\r\nLast-Modified: " + c.Http + "\r\n\r\nturn");
        EXPECT_EQ(Exchange("HEAD /turn.Quorvan HTTP/1.0\r\n\r\n"),
                  "HTTP/1.0 200 OK\r\nServer: Quorvans 0.9\r\nContent-Type: text/html\r\nContent-Length:  0\r\n"
                  "Last-Modified: " + c.Http + "\r\n\r\n");
    }
}

TEST_F(HttpServerTest, AFailedStoreIsAnErrorAndKeepsWhatWasThere)
{
    QDir(iFolder).mkdir(QStringLiteral("sub"));
    Write(File("sub/inner.Quorvan"), "inner");
    EXPECT_EQ(Exchange("PUT /sub HTTP/1.0\r\nContent-Length: 3\r\n\r\nxyz"),
              "HTTP/1.0 500 Internal Server Error\r\nServer: Quorvans 0.9\r\n\r\n");
    EXPECT_EQ(Read(File("sub/inner.Quorvan")), "inner");
    EXPECT_FALSE(QFile::exists(File("$TransTemp$")));
}

TEST_F(HttpServerTest, TheTemporaryFileIsNeverServed)
{
    Write(File("$TransTemp$"), "half an upload");
    EXPECT_EQ(Exchange(Get("/$TransTemp$")), k404);
    EXPECT_EQ(Exchange("PUT /$TransTemp$ HTTP/1.0\r\nContent-Length: 1\r\n\r\nx"), k404);
    EXPECT_EQ(Read(File("$TransTemp$")), "half an upload");
}

TEST_F(HttpServerTest, ASecondClientIsRefusedWhileOneIsServed)
{
    Client first(iServer->Port());
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("Connection opened")); }));
    Client second(iServer->Port());
    EXPECT_EQ(second.Reply(), "");
    EXPECT_FALSE(second.Connected());
    first.Send(Get("/a.Quorvan"));
    EXPECT_EQ(first.Reply(), FileReply("stack a"));
    EXPECT_EQ(Exchange(Get("/b.Quorvan")), FileReply("stack b"));
}

// Hostile requests: none reads, writes or creates a file outside the folder or changes one in
// it, and the server answers the next ordinary request.
TEST_F(HttpServerTest, HostileRequestsAreRefused)
{
    QFile::link(iRoot.File("secret.txt"), File("link.Quorvan"));
    SetModTime(File("link.Quorvan"), kExampleGmt);
    iServer->SetLimits({.Head = 300ms, .Idle = 300ms});
    const auto before = Snapshot(iRoot.Path());

    QByteArray longHead = "GET / HTTP/1.0\r\n";
    for (int i = 0; i < 200; ++i)
        longHead += "X-Filler: " + QByteArray::number(i) + "\r\n";
    longHead += "\r\n";
    const QByteArray putA = "PUT /a.Quorvan HTTP/1.0\r\n";

    struct TCase
    {
        const char* Name;
        QByteArray Request;  // sent at once; then the client waits for the server to close
        QByteArray Reply;
    };
    const TCase cases[] = {
        {"dot dot", Get("/../secret.txt"), k404},
        {"escaped dot dot", Get("/%2e%2e/secret.txt"), k404},
        {"escaped backslash", Get("/%2e%2e%5csecret.txt"), k404},
        {"absolute", Get("//etc/passwd"), k404},
        {"NUL", Get("/a%00b"), k404},
        {"temporary name", Get("/$TransTemp$"), k404},
        {"link out of the folder", Get("/link.Quorvan"), k404},
        {"bad escape", Get("/%zz%"), k404},
        {"head out", "HEAD /../secret.txt HTTP/1.0\r\n\r\n", k404},
        {"put out", "PUT /../secret.txt HTTP/1.0\r\nContent-Length: 5\r\n\r\nHACKS", k404},
        {"put escaped out", "PUT /..%2fsecret.txt HTTP/1.0\r\nContent-Length: 5\r\n\r\nHACKS", k404},
        {"put through a link", "PUT /link.Quorvan/x HTTP/1.0\r\nContent-Length: 5\r\n\r\nHACKS", k404},
        // A hidden file could be stored but never listed or fetched.
        {"put a hidden name", "PUT /.x HTTP/1.0\r\nContent-Length: 5\r\n\r\nHACKS", k404},
        {"put an escaped hidden name", "PUT /%2ex.Quorvan HTTP/1.0\r\nContent-Length: 5\r\n\r\nHACKS", k404},
        {"get a hidden name", Get("/.x"), k404},
        {"negative length", putA + "Content-Length: -5\r\n\r\nHACKS", k400},
        {"huge length", putA + "Content-Length: 99999999999\r\n\r\nHACKS", k400},
        {"length not a number", putA + "Content-Length: abc\r\n\r\nHACKS", k400},
        {"no length", putA + "\r\nHACKS", k400},
        {"200-line head", longHead, ""},
        {"9000-byte request line", Get("/" + QByteArray(9000, 'a')), ""},
        {"idle client", "", ""},
        {"idle in the head", "GET /a.Quorvan HT", ""},
        {"idle in the body", putA + "Content-Length: 100\r\n\r\nonly part", ""},
    };
    for (const TCase& c : cases)
    {
        EXPECT_EQ(Exchange(c.Request), c.Reply) << c.Name;
        EXPECT_EQ(Exchange(Get("/b.Quorvan")), FileReply("stack b")) << c.Name;
        EXPECT_EQ(Snapshot(iRoot.Path()), before) << c.Name;
    }
}

// A byte now and then keeps a connection from being idle, but not the head from being late.
TEST_F(HttpServerTest, AHeadMustBeCompleteInTimeHoweverItTrickles)
{
    iServer->SetLimits({.Head = 300ms, .Idle = 60s});
    Client slow(iServer->Port());
    slow.Send("GET /a.Quorvan HTTP/1.0\r\nX-Slow: ");
    QElapsedTimer elapsed;
    elapsed.start();
    while (!slow.Closed() && elapsed.elapsed() < 10000)
    {
        slow.Send("a");
        RunUntil([&] { return slow.Closed(); }, 20ms);
    }
    EXPECT_TRUE(slow.Closed()) << "a trickling head held the server";
    EXPECT_EQ(slow.Reply(), "");
    EXPECT_EQ(Exchange(Get("/b.Quorvan")), FileReply("stack b"));

    // Once the head is in, the body may take longer than the head's time, a piece at a time.
    Client upload(iServer->Port());
    upload.Send("PUT /slow.Quorvan HTTP/1.0\r\nContent-Length: 10\r\n\r\n");
    for (char c : QByteArray("0123456789"))
    {
        RunUntil([] { return false; }, 50ms);
        upload.Send(QByteArray(1, c));
    }
    EXPECT_EQ(upload.Reply(), k200Stored);
    EXPECT_EQ(Read(File("slow.Quorvan")), "0123456789");
}

// While a phone is served another program may take the port; the server listens again as
// soon as the port is free, however long that takes.
TEST_F(HttpServerTest, ListensAgainOnceThePortIsFreeAgain)
{
    iServer->SetLimits({.ListenRetry = 50ms});
    const uint16_t port = iServer->Port();
    const auto errors = [&] {
        return iPanels.Panel3.filter(QRegularExpression(QStringLiteral("^Socket error: .+"))).size();
    };
    EXPECT_TRUE(iServer->Listening());
    Client first(port);
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("Connection opened")); }));
    EXPECT_FALSE(iServer->Listening());
    {
        QTcpServer other;
        ASSERT_TRUE(other.listen(QHostAddress::LocalHost, port)) << other.errorString().toStdString();
        first.Send(Get("/a.Quorvan"));
        EXPECT_EQ(first.Reply(), FileReply("stack a"));
        // Tried again and again, the error shown each time.
        ASSERT_TRUE(RunUntil([&] { return errors() >= 5; }));
        EXPECT_TRUE(iPanels.Panel3.last().startsWith(QStringLiteral("Socket error: ")));
        EXPECT_FALSE(iServer->Listening());
    }
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("Stack transfer server waiting")); }));
    EXPECT_TRUE(iServer->Listening());
    EXPECT_EQ(Exchange(Get("/b.Quorvan")), FileReply("stack b"));
    // Listening again, it tries no more.
    const qsizetype shown = iPanels.Panel3.size();
    RunUntil([] { return false; }, 200ms);
    EXPECT_EQ(iPanels.Panel3.size(), shown);
}

TEST_F(HttpServerTest, APeerThatLeavesDuringAnUploadChangesNothing)
{
    const auto before = Snapshot(iRoot.Path());
    {
        Client client(iServer->Port());
        client.Send("PUT /a.Quorvan HTTP/1.0\r\nContent-Length: 100\r\n\r\nonly part");
        ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("9 bytes received")); }));
    }
    ASSERT_TRUE(RunUntil([&] { return iPanels.Panel3.endsWith(QStringLiteral("Connection closed")); }));
    EXPECT_EQ(Snapshot(iRoot.Path()), before);
    EXPECT_EQ(Exchange(Get("/a.Quorvan")), FileReply("stack a"));
}

TEST_F(HttpServerTest, AnEmptyStackFolderServesNothing)
{
    gStackFolder.clear();
    EXPECT_EQ(Exchange(Get("/a.Quorvan")), k404);
    EXPECT_EQ(Exchange("PUT /a.Quorvan HTTP/1.0\r\nContent-Length: 1\r\n\r\nx"), k404);
    EXPECT_TRUE(WithoutDate(Exchange(Get("/"))).endsWith("Content-Length:  0\r\nLast-Modified: <now>\r\n\r\n"));
    EXPECT_EQ(Read(File("a.Quorvan")), "stack a");
}
}  // namespace

namespace
{
TEST(HttpServerPortTest, APortInUseIsReportedNotFatal)
{
    RecordingPanels panels;
    std::unique_ptr<CVexilHttpServer> server;
    {
        QTcpServer other;
        ASSERT_TRUE(other.listen(QHostAddress::LocalHost, 0));
        server = std::make_unique<CVexilHttpServer>(panels, other.serverPort(), QHostAddress::LocalHost);
        ASSERT_EQ(panels.Panel3.size(), 1);
        EXPECT_TRUE(panels.Panel3[0].startsWith(QStringLiteral("Socket error: "))) << panels.Panel3[0].toStdString();
    }
    // The port was taken at start: the server takes it once it is free (the first retry comes
    // after the default second).
    ASSERT_TRUE(RunUntil([&] { return panels.Panel3.endsWith(QStringLiteral("Stack transfer server waiting")); }));
    Client client(server->Port());
    EXPECT_TRUE(client.Connected());
}
}  // namespace
