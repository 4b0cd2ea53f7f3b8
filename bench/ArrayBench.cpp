// The keyed array against std::map with the same key comparison, and access by position.
//
// Every index of a stack is a CVexilArray, and stacks of a million cards must stay usable:
// inserting 1,000,000 distinct string keys in random order and finding each again should
// take the array at most 3 times as long as a std::map<std::string> of the same keys (UTF-8)
// ordered by byte comparison, the anchor; a std::map ordered by the array's default comparison
// (reduced keys, locale collation at every comparison) is printed beside it. Reading by position (ReadByObjNum, cursors) must not grow faster than the
// logarithm of the size: compare the figures per operation across the sizes.
//
//   bench_ArrayBench                       all figures
//   bench_ArrayBench --keys=200000         the comparison with fewer keys
//   bench_ArrayBench --locale=sv_SE        the comparison in another locale (default en_US)

#include "foundation/VexilArray.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilTextCompare.h"

#include <QLocale>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace
{
int gKeyCount = 1'000'000;

// The array's default key order: reduced keys, case-insensitive in the locale's collation.
struct TDefaultLess
{
    bool operator()(const QString& aA, const QString& aB) const
    {
        return CVexilTextCompare::Compare(CVexilLib::StripSpecialChars(aA), CVexilLib::StripSpecialChars(aB)) < 0;
    }
};

// Distinct keys in random order, like card names: letters and digits, mixed case, some
// with blanks or punctuation that the comparison drops. Distinct also after reduction.
std::vector<QString> MakeKeys(int aCount)
{
    std::mt19937 random(4711);
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::unordered_set<std::string> seen;
    std::vector<QString> keys;
    keys.reserve(aCount);
    while (int(keys.size()) < aCount)
    {
        std::string base(6 + random() % 7, ' ');
        for (char& c : base)
            c = letters[random() % 36];
        if (!seen.insert(base).second)
            continue;
        QString key = QString::fromLatin1(base);
        for (qsizetype i = 0; i < key.size(); ++i)
            if (random() % 3 == 0)
                key[i] = key[i].toUpper();
        if (random() % 4 == 0)
            key.insert(qsizetype(random() % key.size()), random() % 2 ? QLatin1Char(' ') : QLatin1Char('-'));
        keys.push_back(key);
    }
    return keys;
}

// CPU time of this thread: the comparison stays fair on a machine busy with other work.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct TFigures
{
    double iArrayInsert = 0;
    double iArrayFind = 0;
    double iMapInsert = 0;
    double iMapFind = 0;
    double iBytesInsert = 0;
    double iBytesFind = 0;
};
TFigures gFigures;

void BM_StringKeysArrayVsMap(benchmark::State& aState)
{
    const std::vector<QString> keys = MakeKeys(gKeyCount);
    for (auto _ : aState)
    {
        int64_t found = 0;
        {
            CVexilArray array;
            array.Construct(EArrStrKey, EValInt);
            TArrayElem elem;
            double start = CpuSeconds();
            for (size_t i = 0; i < keys.size(); ++i)
            {
                array.InitElem(elem);
                elem.StrKey = keys[i];
                elem.iVal.iInt = int32_t(i);
                array.CreateStrKey(elem);
            }
            gFigures.iArrayInsert = CpuSeconds() - start;
            start = CpuSeconds();
            int32_t cursor = 0;
            for (const QString& key : keys)
                found += array.ReadByStrKey(key, elem, cursor);
            gFigures.iArrayFind = CpuSeconds() - start;
        }
        {
            std::map<QString, int32_t, TDefaultLess> map;
            double start = CpuSeconds();
            for (size_t i = 0; i < keys.size(); ++i)
                map.emplace(keys[i], int32_t(i));
            gFigures.iMapInsert = CpuSeconds() - start;
            start = CpuSeconds();
            for (const QString& key : keys)
                found += map.find(key) != map.end();
            gFigures.iMapFind = CpuSeconds() - start;
        }
        {
            std::vector<std::string> utf8;
            utf8.reserve(keys.size());
            for (const QString& key : keys)
                utf8.push_back(key.toStdString());
            std::map<std::string, int32_t> map;
            double start = CpuSeconds();
            for (size_t i = 0; i < utf8.size(); ++i)
                map.emplace(utf8[i], int32_t(i));
            gFigures.iBytesInsert = CpuSeconds() - start;
            start = CpuSeconds();
            for (const std::string& key : utf8)
                found += map.find(key) != map.end();
            gFigures.iBytesFind = CpuSeconds() - start;
        }
        if (found != 3 * int64_t(keys.size()))
            aState.SkipWithError("a key was not found");
        aState.SetIterationTime(gFigures.iArrayInsert + gFigures.iArrayFind + gFigures.iMapInsert + gFigures.iMapFind +
                                gFigures.iBytesInsert + gFigures.iBytesFind);
    }
    aState.counters["keys"] = double(keys.size());
    aState.counters["array_insert_s"] = gFigures.iArrayInsert;
    aState.counters["map_insert_s"] = gFigures.iMapInsert;
    aState.counters["bytes_map_insert_s"] = gFigures.iBytesInsert;
    aState.counters["insert_ratio"] = gFigures.iArrayInsert / gFigures.iBytesInsert;
    aState.counters["array_find_s"] = gFigures.iArrayFind;
    aState.counters["map_find_s"] = gFigures.iMapFind;
    aState.counters["bytes_map_find_s"] = gFigures.iBytesFind;
    aState.counters["find_ratio"] = gFigures.iArrayFind / gFigures.iBytesFind;
}
BENCHMARK(BM_StringKeysArrayVsMap)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

class TCard : public CVexilObject
{
public:
    QString ObjDescr() const override { return QStringLiteral("TCard"); }
};

// A stack's card array: every tenth slot is empty (a deleted card).
CVexilArray MakeCards(int32_t aCount)
{
    CVexilArray cards;
    cards.Construct(0, EValCard);
    TArrayElem elem;
    for (int32_t i = 0; i < aCount; ++i)
    {
        cards.InitElem(elem);
        if (i % 10 != 9)
            elem.iVal.iObj = std::make_shared<TCard>();
        cards.CreateAtEnd(elem);
    }
    return cards;
}

void BM_ReadByObjNumCards(benchmark::State& aState)
{
    const CVexilArray cards = MakeCards(int32_t(aState.range(0)));
    const int32_t present = int32_t(aState.range(0)) / 10 * 9;
    std::mt19937 random(11);
    TArrayElem elem;
    int32_t index = 0;
    for (auto _ : aState)
        benchmark::DoNotOptimize(cards.ReadByObjNum(int32_t(random() % present), elem, index));
}
BENCHMARK(BM_ReadByObjNumCards)->RangeMultiplier(32)->Range(1 << 10, 1 << 20);

void BM_ReadNextCursorCards(benchmark::State& aState)
{
    const CVexilArray cards = MakeCards(int32_t(aState.range(0)));
    TArrayElem elem;
    int32_t cursor = 0;
    for (auto _ : aState)
    {
        if (!cards.ReadNext(elem, cursor))
            cards.SetFirst(cursor);
        benchmark::DoNotOptimize(elem);
    }
}
BENCHMARK(BM_ReadNextCursorCards)->RangeMultiplier(32)->Range(1 << 10, 1 << 20);

// A stack's order index: integer keys; a card inserted at a random place and removed again.
void BM_OrderIndexInsertDelete(benchmark::State& aState)
{
    CVexilArray order;
    order.Construct(EArrIntKey, EValInt);
    TArrayElem elem;
    const int32_t count = int32_t(aState.range(0));
    for (int32_t i = 0; i < count; ++i)
    {
        order.InitElem(elem);
        elem.IntKey = (i + 1) * 100;
        elem.iVal.iInt = i;
        order.CreateIntKey(elem);
    }
    std::mt19937 random(12);
    for (auto _ : aState)
    {
        order.InitElem(elem);
        elem.IntKey = int32_t(random() % uint32_t(count)) * 100 + 50;
        elem.iVal.iInt = 0;
        order.CreateIntKey(elem);
        order.DeleteIntKey(elem.IntKey);
    }
}
BENCHMARK(BM_OrderIndexInsertDelete)->RangeMultiplier(32)->Range(1 << 10, 1 << 20);

void PrintSummary()
{
    if (gFigures.iBytesInsert <= 0 || gFigures.iBytesFind <= 0)
        return;
    std::printf("\n%d distinct string keys in random order, default key comparison (CPU seconds); anchor: "
                "std::map<std::string> with byte comparison, same run:\n",
                gKeyCount);
    std::printf("  insert: CVexilArray %.3f s, anchor %.3f s, ratio %.2f (goal at most 3.00); std::map with the "
                "default comparison %.3f s\n",
                gFigures.iArrayInsert, gFigures.iBytesInsert, gFigures.iArrayInsert / gFigures.iBytesInsert,
                gFigures.iMapInsert);
    std::printf("  find:   CVexilArray %.3f s, anchor %.3f s, ratio %.2f (goal at most 3.00); std::map with the "
                "default comparison %.3f s\n",
                gFigures.iArrayFind, gFigures.iBytesFind, gFigures.iArrayFind / gFigures.iBytesFind,
                gFigures.iMapFind);
}
}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i)
    {
        if (std::strncmp(argv[i], "--keys=", 7) == 0)
            gKeyCount = std::max(1, std::atoi(argv[i] + 7));
        if (std::strncmp(argv[i], "--locale=", 9) == 0)
            QLocale::setDefault(QLocale(QString::fromLatin1(argv[i] + 9)));
    }
    std::printf("Locale %s\n", qPrintable(QLocale().name()));
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
