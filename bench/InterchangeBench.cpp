// CSV import and export against their anchors, run by hand:
//   import: a CSV file made here (default 100 MB; --mb=N) into a new stack, all three guesses
//           on, against the sqlite3 command-line tool importing the same file into :memory:;
//   export: 100,000 cards of the same fields (--cards=N), against python3's csv module
//           writing the same texts, all quoted, timed in its own writer loop.
// Both times, MB/s, the ratio, the goal of the import (at most twice sqlite3's time) and the
// peak memory of the process after each are printed.

#include "BenchSupport.h"

#include "foundation/VexilMsg.h"
#include "interchange/VexilExports.h"
#include "interchange/VexilImports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
// One line of the ten columns: card name, text, quoted text with delimiters, quotes and a line
// break, integer, dotted thousands, real, date, time, Boolean.
QByteArray CsvLine(int aLine)
{
    const QByteArray n = QByteArray::number(aLine);
    QByteArray line;
    line += "card" + QByteArray::number(1000000 + aLine) + ',';
    line += "Some text " + n + ',';
    line += "\"Quoted, \"\"text\"\"\r\nover two lines " + n + "\",";
    line += QByteArray::number(aLine % 100000) + ',';
    line += QByteArray::number(aLine % 900 + 1) + '.' + QByteArray::number(100 + aLine % 900) + ',';
    line += QByteArray::number(aLine % 1000) + '.' + QByteArray::number(10 + aLine % 90) + ',';
    line += QByteArray::number(aLine % 12 + 1) + '/' + QByteArray::number(aLine % 28 + 1) + "/20" +
            QByteArray::number(10 + aLine % 20) + ',';
    line += QByteArray::number(aLine % 24) + ':' + QByteArray::number(10 + aLine % 50) + ',';
    line += (aLine % 2 ? "Y" : "N");
    line += "\r\n";
    return line;
}

qint64 MakeCsv(const QString& aPath, qint64 aBytes, int aLines)
{
    QFile file(aPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    QByteArray chunk = "Name,Text,Quoted,Count,Thousands,Price,Day,At,Ok\r\n";
    qint64 written = 0;
    for (int line = 1; (aBytes > 0 && written < aBytes) || line <= aLines; ++line)
    {
        chunk += CsvLine(line);
        if (chunk.size() > 1 << 20)
        {
            written += file.write(chunk);
            chunk.clear();
        }
        if (aBytes > 0 && aLines == 0 && written + chunk.size() >= aBytes)
            break;
    }
    written += file.write(chunk);
    return written;
}

double RunProcessMs(const QString& aProgram, const QStringList& aArguments, QByteArray* aOutput = nullptr)
{
    QProcess process;
    const double ms = TimeMs([&] {
        process.start(aProgram, aArguments);
        process.waitForFinished(-1);
    });
    if (process.exitCode() != 0)
    {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(aProgram), process.readAllStandardError().constData());
        std::exit(1);
    }
    if (aOutput)
        *aOutput = process.readAllStandardOutput();
    return ms;
}

TCsvOptions AllGuesses(const QString& aFile)
{
    TCsvOptions options;
    options.File = aFile;
    return options;
}

void Report(const char* aWhat, double aOurMs, double aAnchorMs, const char* aAnchor, qint64 aBytes, double aGoal = 0)
{
    const double mb = double(aBytes) / 1e6;
    std::printf("%s: %.1f MB\n", aWhat, mb);
    std::printf("  Quorvans  %9.0f ms  %7.1f MB/s\n", aOurMs, mb / (aOurMs / 1000));
    std::printf("  %-9s %9.0f ms  %7.1f MB/s\n", aAnchor, aAnchorMs, mb / (aAnchorMs / 1000));
    PrintAgainstAnchor(aWhat, aOurMs, aAnchor, aAnchorMs, aGoal);
    PrintPeakMemory();
}
}  // namespace

int main(int argc, char** argv)
{
    int megabytes = 100;
    int cards = 100000;
    ReadIntFlags(argc, argv, {{"--mb=", &megabytes, 1}, {"--cards=", &cards, 1}});
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CVexilMsg::InitMsg();
    CSilentPrompts prompts(true);
    CVexilPrompts::Install(&prompts);
    CVexilExports::InitExports();
    QTemporaryDir dir;

    const QString big = dir.filePath(QStringLiteral("big.csv"));
    const qint64 bytes = MakeCsv(big, qint64(megabytes) * 1000000, 0);
    TStackRef stack;
    double readMs = 0;
    const double importMs = TimeMs([&] {
        CVexilImports import;
        readMs = TimeMs([&] { import.ReadCsv(AllGuesses(big)); });
        stack = import.BuildCsvStack();
    });
    // The two steps apart: reading with the type detection, and building the cards.
    std::printf("import: %d cards; reading and detection %.0f ms, building %.0f ms\n",
                stack ? stack->NumCards() : 0, readMs, importMs - readMs);
    stack.reset();
    const double sqliteMs = RunProcessMs(QStringLiteral("sqlite3"),
                                         {QStringLiteral(":memory:"), QStringLiteral(".import --csv %1 t").arg(big)});
    Report("import", importMs, sqliteMs, "sqlite3", bytes, 2.0);

    const QString small = dir.filePath(QStringLiteral("cards.csv"));
    MakeCsv(small, 0, cards);
    {
        CVexilImports import;
        stack = import.ImportCsv1(AllGuesses(small));
    }
    TControlSetRef background;
    int32_t cursor = 0;
    stack->GetFirstBackground(background, cursor);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const double exportMs = TimeMs([&] { CVexilExports::ExportCsv(out, *stack, background, QStringLiteral(",")); });
    const qint64 outBytes = QFileInfo(out).size();
    // Python reads our file back and times only the writing of the same rows, all quoted.
    const QString script = QStringLiteral(
        "import csv,sys,time\n"
        "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='cp1252')))\n"
        "f=open(sys.argv[2],'w',newline='',encoding='cp1252')\n"
        "w=csv.writer(f,quoting=csv.QUOTE_ALL)\n"
        "t=time.perf_counter()\n"
        "for r in rows: w.writerow(r)\n"
        "f.close()\n"
        "print((time.perf_counter()-t)*1000)\n");
    QByteArray output;
    RunProcessMs(QStringLiteral("python3"), {QStringLiteral("-c"), script, out, dir.filePath(QStringLiteral("py.csv"))},
                 &output);
    const double pythonMs = output.trimmed().toDouble();
    std::printf("export: %d cards\n", stack->NumCards());
    Report("export", exportMs, pythonMs, "python3", outBytes);
    return 0;
}
