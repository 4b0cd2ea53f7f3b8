// The stack transfer server against python's http.server on loopback, one request at a time:
// GET "/" on a folder of 200 stack files, and GET of a 10 MB stack file. Both servers serve the
// same folder; python runs as a child process on a free port and is stopped at the end.
// Goals: at least 5 times python's requests per second for the list, and at least 500 MB/s for
// the large file.
//
//   bench_ServerBench

#include "foundation/VexilStackFolder.h"
#include "transfer/VexilHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

namespace
{
constexpr int kSmallFiles = 199;  // and the large one: 200 stack files
constexpr qsizetype kLargeBytes = 10 * 1024 * 1024;
const QString kLargeName = QStringLiteral("large.Quorvan");
constexpr int kListRequests = 2000;
constexpr int kLargeRequests = 40;

class NoPanels : public IVexilStatusPanels
{
    void SetStatusPanel1(const QString&) override {}
    void SetStatusPanel2(const QString&) override {}
    void SetStatusPanel3(const QString&) override {}
};

// One request on its own connection, run on the event loop; the number of bytes received.
int64_t Fetch(uint16_t aPort, const QByteArray& aRequest)
{
    QTcpSocket socket;
    QEventLoop loop;
    int64_t received = 0;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(aRequest); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll().size(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError aError) {
        if (aError != QAbstractSocket::RemoteHostClosedError)
            loop.quit();
    });
    socket.connectToHost(QHostAddress::LocalHost, aPort);
    if (socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec();
    return received;
}

uint16_t FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// python3 -m http.server on the folder, bound to loopback; stopped with the object.
class PythonServer
{
public:
    explicit PythonServer(const QString& aFolder) : iPort(FreePort())
    {
        iProcess.setProgram(QStringLiteral("python3"));
        iProcess.setArguments({QStringLiteral("-m"), QStringLiteral("http.server"), QString::number(iPort),
                               QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"),
                               aFolder});
        iProcess.setStandardOutputFile(QProcess::nullDevice());
        iProcess.setStandardErrorFile(QProcess::nullDevice());
        iProcess.start();
        iProcess.waitForStarted(5000);
        for (int attempt = 0; attempt < 200 && Fetch(iPort, "GET / HTTP/1.0\r\n\r\n") == 0; ++attempt)
            QThread::msleep(25);
    }
    ~PythonServer()
    {
        iProcess.terminate();
        if (!iProcess.waitForFinished(5000))
            iProcess.kill();
        iProcess.waitForFinished(5000);
    }
    uint16_t Port() const { return iPort; }

private:
    uint16_t iPort;
    QProcess iProcess;
};

struct TRates
{
    double Requests = 0;  // per second
    double MBytes = 0;    // per second
};
std::map<std::string, TRates> gRates;

void FetchLoop(benchmark::State& aState, uint16_t aPort, const QByteArray& aRequest, const std::string& aKey)
{
    int64_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : aState)
        bytes += Fetch(aPort, aRequest);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    aState.SetItemsProcessed(aState.iterations());
    aState.SetBytesProcessed(bytes);
    gRates[aKey] = {static_cast<double>(aState.iterations()) / seconds, static_cast<double>(bytes) / seconds / 1e6};
}

void MakeFolder(const QString& aFolder)
{
    const QByteArray stack(4096, 'q');
    for (int i = 0; i < kSmallFiles; ++i)
    {
        QFile file(QDir(aFolder).filePath(QStringLiteral("Stack %1.Quorvan").arg(i, 3, 10, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly))
            file.write(stack);
    }
    QFile large(QDir(aFolder).filePath(kLargeName));
    if (large.open(QIODevice::WriteOnly))
        large.write(QByteArray(kLargeBytes, 'L'));
}

void PrintComparison(const char* aWhat, const TRates& aOurs, const TRates& aPython)
{
    std::printf("%-12s ours %9.0f req/s %9.1f MB/s | python %9.0f req/s %9.1f MB/s | ratio %6.2fx req/s\n", aWhat,
                aOurs.Requests, aOurs.MBytes, aPython.Requests, aPython.MBytes,
                aPython.Requests > 0 ? aOurs.Requests / aPython.Requests : 0.0);
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    MakeFolder(dir.path());
    gStackFolder = dir.path();
    NoPanels panels;
    CVexilHttpServer ours(panels, 0, QHostAddress::LocalHost);
    PythonServer python(dir.path());

    const QByteArray list = "GET / HTTP/1.0\r\n\r\n";
    const QByteArray large = "GET /" + kLargeName.toLatin1() + " HTTP/1.0\r\n\r\n";
    if (Fetch(ours.Port(), large) < kLargeBytes || Fetch(python.Port(), large) < kLargeBytes)
    {
        std::fprintf(stderr, "a server did not answer\n");
        return 1;
    }

    const auto add = [](const char* aName, uint16_t aPort, const QByteArray& aRequest, int aCount) {
        benchmark::RegisterBenchmark(aName, FetchLoop, aPort, aRequest, std::string(aName))
            ->Iterations(aCount)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    };
    add("List/ours", ours.Port(), list, kListRequests);
    add("List/python", python.Port(), list, kListRequests / 4);
    add("Large/ours", ours.Port(), large, kLargeRequests);
    add("Large/python", python.Port(), large, kLargeRequests / 4);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::cout << std::flush;

    std::printf("\nGoals: list >= 5x python's req/s; large file >= 500 MB/s\n");
    PrintComparison("GET /", gRates["List/ours"], gRates["List/python"]);
    PrintComparison("GET 10 MB", gRates["Large/ours"], gRates["Large/python"]);
    return 0;
}
