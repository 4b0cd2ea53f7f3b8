// Binary throughput of CVexilFile: 1,000,000 integer-keyed array elements, each stored as the
// keyed array stores an integer element: 32-bit key, 16-bit type, 32-bit value.
#include "foundation/VexilFile.h"
#include "foundation/VexilValueDef.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace
{
constexpr int32_t kElements = 1000000;
constexpr int64_t kElementBytes = 4 + 2 + 4;

QString BenchPath()
{
    return QDir::temp().filePath(QStringLiteral("quorvans_filebench_%1.bin").arg(getpid()));
}

void WriteElements(const QString& aPath)
{
    QFile::remove(aPath);
    CVexilFile file;
    file.Construct(aPath, EFilWrite);
    file.OpenFile();
    for (int32_t key = 0; key < kElements; ++key)
    {
        file.WriteInt(key);
        file.WriteShort(EValInt);
        file.WriteInt(key * 3);
    }
    file.CloseFile();
}

void SetThroughput(benchmark::State& aState)
{
    const int64_t bytes = aState.iterations() * kElements * kElementBytes;
    aState.SetBytesProcessed(bytes);
    aState.counters["MB"] = benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsRate);
}

void BM_WriteArrayElements(benchmark::State& aState)
{
    const QString path = BenchPath();
    for (auto _ : aState)
        WriteElements(path);
    SetThroughput(aState);
    QFile::remove(path);
}

void BM_ReadArrayElements(benchmark::State& aState)
{
    const QString path = BenchPath();
    WriteElements(path);
    for (auto _ : aState)
    {
        CVexilFile file;
        file.Construct(path, EFilRead);
        file.OpenFile();
        int64_t sum = 0;
        for (int32_t i = 0; i < kElements; ++i)
        {
            sum += file.ReadInt();
            sum += file.ReadShort();
            sum += file.ReadInt();
        }
        file.CloseFile();
        benchmark::DoNotOptimize(sum);
    }
    SetThroughput(aState);
    QFile::remove(path);
}
}  // namespace

BENCHMARK(BM_WriteArrayElements)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArrayElements)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
