// Writes a 50 MB document of nested elements with attributes and text through CVexilXmlWriter,
// reads it back through CVexilXmlParser and, in the same run, through QXmlStreamReader.
// Prints MB/s of both readers and their ratio (ours / Qt's; at least 1 is the goal).

#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace
{
constexpr int64_t kTargetBytes = 50LL * 1024 * 1024;
constexpr int kValuesPerCard = 6;

QTemporaryDir gDir;
QString gFileName;
int64_t gFileBytes = 0;
int gCards = 0;
double gOursMBs = 0;
double gQtMBs = 0;

QString ValueText(int aCard, int aValue)
{
    return QStringLiteral("Value %1 of card %2: Stra\u00DFe & <Caf\u00E9> \"quoted\" it's ").arg(aValue).arg(aCard) +
           QString(40 + (aCard + aValue) % 90, QChar('x'));
}

// One card: attributes, an empty font element, a name text and an array of values with text.
void WriteCard(CVexilXmlWriter& aWriter, int aCard)
{
    aWriter.BeginElem(QStringLiteral("Card"));
    aWriter.AddIntAttr(QStringLiteral("id"), aCard);
    aWriter.AddAttr(QStringLiteral("name"), QStringLiteral("Card number %1").arg(aCard));
    aWriter.AddRealAttr(QStringLiteral("order"), aCard * 100.25);
    aWriter.AddBooleanAttr(QStringLiteral("marked"), aCard % 3 == 0);
    aWriter.BeginStruct();
    aWriter.BeginElem(QStringLiteral("Font"));
    aWriter.AddShortAttr(QStringLiteral("gen"), 0);
    aWriter.AddAttr(QStringLiteral("faceName"), QStringLiteral("Arial"));
    aWriter.AddShortAttr(QStringLiteral("size"), 11);
    aWriter.AddIntAttr(QStringLiteral("flags"), 5);
    aWriter.EndEmptyElem();
    aWriter.BeginElem(QStringLiteral("Array"));
    aWriter.AddShortAttr(QStringLiteral("gen"), 3);
    aWriter.AddIntAttr(QStringLiteral("flags"), 18);
    aWriter.AddIntAttr(QStringLiteral("max"), kValuesPerCard);
    aWriter.BeginStruct();
    for (int v = 0; v < kValuesPerCard; ++v)
    {
        aWriter.BeginElem(QStringLiteral("Elem"));
        aWriter.AddIntAttr(QStringLiteral("intKey"), v + 1);
        aWriter.AddShortAttr(QStringLiteral("type"), 11);
        aWriter.BeginStruct();
        aWriter.BeginElem(QStringLiteral("Str"));
        aWriter.AddElemText(ValueText(aCard, v));
        aWriter.EndElem(QStringLiteral("Str"));
        aWriter.EndElem(QStringLiteral("Elem"));
    }
    aWriter.EndElem(QStringLiteral("Array"));
    aWriter.EndElem(QStringLiteral("Card"));
}

void WriteDocument()
{
    gFileName = gDir.filePath(QStringLiteral("bench.xml"));
    CVexilXmlWriter writer(gFileName);
    writer.OpenFile();
    writer.BeginElem(QStringLiteral("VexilStack"));
    writer.BeginStruct();
    // About 1.3 kB per card; check the size now and then.
    for (gCards = 0; gCards % 1000 != 0 || QFileInfo(gFileName).size() < kTargetBytes; ++gCards)
        WriteCard(writer, gCards);
    writer.EndElem(QStringLiteral("VexilStack"));
    writer.CloseFile();
    gFileBytes = QFileInfo(gFileName).size();
}

void ReadCardOurs(CVexilXmlParser& aParser, int64_t& aSum)
{
    bool empty = false;
    QString text;
    aParser.ReadAttrAndSym(empty);
    aSum += aParser.IntAttr(QStringLiteral("id")) + aParser.Attr(QStringLiteral("name")).size() +
            int64_t(aParser.RealAttr(QStringLiteral("order"))) + aParser.BooleanAttr(QStringLiteral("marked"));
    aParser.ReadTheNext(QStringLiteral("Font"), false);
    aParser.ReadAttrTerm();
    aSum += aParser.ShortAttr(QStringLiteral("gen")) + aParser.Attr(QStringLiteral("faceName")).size() +
            aParser.ShortAttr(QStringLiteral("size")) + aParser.IntAttr(QStringLiteral("flags"));
    aParser.ReadTheNext(QStringLiteral("Array"), false);
    aParser.ReadAttrAndSym(empty);
    const int32_t count = aParser.IntAttr(QStringLiteral("max"));
    aSum += aParser.ShortAttr(QStringLiteral("gen")) + aParser.IntAttr(QStringLiteral("flags"));
    for (int32_t v = 0; v < count; ++v)
    {
        aParser.ReadTheNext(QStringLiteral("Elem"), false);
        aParser.ReadAttrAndSym(empty);
        aSum += aParser.IntAttr(QStringLiteral("intKey")) + aParser.ShortAttr(QStringLiteral("type"));
        aParser.ReadTheNext(QStringLiteral("Str"), false);
        aParser.ReadAttr(empty);
        aParser.ReadLongElemText(text);
        aSum += text.size();
        aParser.ReadTheNext(QStringLiteral("Str"), true);
        aParser.ReadTheNext(QStringLiteral("Elem"), true);
    }
    aParser.ReadTheNext(QStringLiteral("Array"), true);
    aParser.ReadTheNext(QStringLiteral("Card"), true);
}

int64_t ReadOurs()
{
    int64_t sum = 0;
    CVexilXmlParser parser(gFileName);
    parser.OpenFile();
    parser.ReadHeader();
    bool empty = false;
    parser.ReadTheNext(QStringLiteral("VexilStack"), false);
    parser.ReadAttrAndSym(empty);
    QString name;
    bool endTag = false;
    for (;;)
    {
        parser.ReadNext(name, endTag);
        if (endTag)
            break;
        ReadCardOurs(parser, sum);
    }
    parser.CloseFile();
    return sum;
}

// The same work through QXmlStreamReader: every attribute taken and converted, every text read.
int64_t ReadQt()
{
    int64_t sum = 0;
    QFile file(gFileName);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader reader(&file);
    while (!reader.atEnd())
    {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attrs = reader.attributes();
        for (const QXmlStreamAttribute& attr : attrs)
        {
            const QString value = attr.value().toString();
            bool isNumber = false;
            const double number = value.toDouble(&isNumber);
            sum += isNumber ? int64_t(number) : value.size();
        }
        if (reader.name() == QLatin1String("Str"))
            sum += reader.readElementText().size();
    }
    if (reader.hasError())
        std::fprintf(stderr, "QXmlStreamReader: %s\n", qPrintable(reader.errorString()));
    return sum;
}

void Run(benchmark::State& aState, int64_t (*aRead)(), double& aMBs)
{
    if (gFileBytes == 0)
        WriteDocument();  // when the writing benchmark was filtered out
    double seconds = 0;
    int64_t runs = 0;
    for (auto _ : aState)
    {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(aRead());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    aState.SetBytesProcessed(runs * gFileBytes);
    aMBs = double(runs * gFileBytes) / (1024.0 * 1024.0) / seconds;
    aState.counters["MB/s"] = aMBs;
}

void BM_WriteVexilXml(benchmark::State& aState)
{
    for (auto _ : aState)
        WriteDocument();
    aState.SetBytesProcessed(aState.iterations() * gFileBytes);
    aState.counters["cards"] = gCards;
}
BENCHMARK(BM_WriteVexilXml)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadVexilXmlParser(benchmark::State& aState)
{
    Run(aState, ReadOurs, gOursMBs);
}
BENCHMARK(BM_ReadVexilXmlParser)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadQXmlStreamReader(benchmark::State& aState)
{
    Run(aState, ReadQt, gQtMBs);
}
BENCHMARK(BM_ReadQXmlStreamReader)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gOursMBs > 0 && gQtMBs > 0)
        std::printf("File %.1f MB: CVexilXmlParser %.1f MB/s, QXmlStreamReader %.1f MB/s, ratio %.2f\n",
                    double(gFileBytes) / (1024.0 * 1024.0), gOursMBs, gQtMBs, gOursMBs / gQtMBs);
    return 0;
}
