// The stack model against SQLite on a large card file.
//
// Users pick a database for big card files, so the model must keep up with one. One
// background of eight fields (text, integer, real, date, time, Boolean, text, integer) keeps
// its cards sorted by a key on the first text and the first integer field. In one run:
//   add:    1,000,000 cards with random values;
//   update: the key text of 100,000 random cards changes (each card moves to its new place);
// and the same with SQLite in memory: a table with an index on the same two columns,
// 1,000,000 inserts in one transaction, 100,000 updates in one transaction.
// Goals: adding takes the model at most SQLite's time, changing keys at most twice SQLite's,
// and the model's memory per card is at most three times SQLite's per row. The summary prints
// both times (CPU seconds of this thread), the ratios, the bytes per card of the model (heap
// in use with the cards, less before) and per row of SQLite (sqlite3_memory_used) and the
// peak memory of the process.
//
//   bench_ModelBench                 all figures
//   bench_ModelBench --cards=100000  a smaller file

#include "BenchSupport.h"
#include "SqliteSupport.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"

#include <QLocale>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace
{
int gCardCount = 1'000'000;
int gUpdateCount = 100'000;

struct TRow
{
    QString Name;
    int32_t Number = 0;
    double Price = 0;
    double Day = 0;
    double Hour = 0;
    bool Flag = false;
    QString Note;
    int32_t Count = 0;
};

QString RandomWord(std::mt19937& aRandom, int aMinLen, int aMaxLen)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString word(aMinLen + int(aRandom() % uint32_t(aMaxLen - aMinLen + 1)), u' ');
    for (qsizetype i = 0; i < word.size(); ++i)
        word[i] = QLatin1Char(letters[aRandom() % 52]);
    return word;
}

struct TData
{
    std::vector<TRow> Rows;
    std::vector<int32_t> UpdatedIds;  // 0-based rows, as card ids and row ids - 1
    std::vector<QString> NewNames;
};

TData MakeData()
{
    std::mt19937 random(4711);
    TData data;
    data.Rows.resize(size_t(gCardCount));
    for (TRow& row : data.Rows)
    {
        row.Name = RandomWord(random, 6, 12);
        row.Number = int32_t(random() % 1'000'000);
        row.Price = double(random() % 100'000) / 100;
        row.Day = 40'000 + double(random() % 10'000);
        row.Hour = double(random() % 86'400) / 86'400;
        row.Flag = random() % 2 == 0;
        row.Note = RandomWord(random, 10, 30);
        row.Count = int32_t(random() % 1000);
    }
    for (int i = 0; i < gUpdateCount; ++i)
    {
        data.UpdatedIds.push_back(int32_t(random() % uint32_t(gCardCount)));
        data.NewNames.push_back(RandomWord(random, 6, 12));
    }
    return data;
}

// CPU time of this thread: the comparison stays fair on a machine busy with other work.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Bytes of the heap in use.
double HeapBytes()
{
    return double(mallinfo2().uordblks);
}

struct TFigures
{
    double iModelAdd = 0;
    double iModelUpdate = 0;
    double iSqlAdd = 0;
    double iSqlUpdate = 0;
    double iPeakBefore = 0;
    double iPeakSql = 0;
    double iPeakModel = 0;
    double iModelBytes = 0;  // heap of the cards, per card
    double iSqlBytes = 0;    // sqlite3_memory_used with the rows, per row
};
TFigures gFigures;

TValue Value(int32_t aType)
{
    TValue value;
    value.iType = aType;
    return value;
}

class CModelRun
{
public:
    CModelRun()
    {
        iStack.Construct(QStringLiteral("Bench"));
        iBackground = iStack.Background(0);
        const int32_t types[] = {EConTypeText, EConTypeInteger, EConTypeReal,    EConTypeDate,
                                 EConTypeTime, EConTypeBoolean, EConTypeText, EConTypeInteger};
        for (int32_t type : types)
        {
            auto field = std::make_shared<CVexilControl>();
            field->Construct(iStack.IdGen().NextId(), QStringLiteral("F") + QString::number(iFields.size()), type);
            iBackground->AddControl(field, UndefLong);
            iFields.push_back(field);
        }
        auto sortKey = std::make_shared<CVexilSortKey>();
        sortKey->Contruct(iStack.IdGen().NextId(), QStringLiteral("Name and number"), iBackground->Id());
        sortKey->AddKeyPart(EConTypeText, iFields[0]->Id(), 0, 20);
        sortKey->AddKeyPart(EConTypeInteger, iFields[1]->Id(), 0, 11);
        iStack.AddSortKey(sortKey);
        iStack.SetControlDynFlags();
        iBackground->SetFlag(ECseKeepCardsSorted, true);
        iStack.NewIndexForSortKey(sortKey);
    }

    // As an importer adds a card: its values first, then the card into the stack.
    void Add(const TRow& aRow)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(aRow.Name, iBackground);
        TValue values[8] = {Value(EValStr), Value(EValInt),  Value(EValReal), Value(EValDate),
                            Value(EValTime), Value(EValBool), Value(EValStr), Value(EValInt)};
        values[0].iStr = aRow.Name;
        values[1].iInt = aRow.Number;
        values[2].iReal = aRow.Price;
        values[3].iDate = aRow.Day;
        values[4].iTime = aRow.Hour;
        values[5].iBool = aRow.Flag;
        values[6].iStr = aRow.Note;
        values[7].iInt = aRow.Count;
        for (size_t i = 0; i < 8; ++i)
            card->AddStoredVal(iFields[i]->Id(), values[i]);
        TCardRef none;
        iStack.AddCard(card, none, false);
    }

    void Rename(int32_t aCardId, const QString& aName)
    {
        TValue value = Value(EValStr);
        value.iStr = aName;
        iStack.GetCardById(aCardId)->SetControlVal(iFields[0]->Id(), value);
    }

    bool Sorted()
    {
        const auto keyIndex = iBackground->KeyIndex();
        return keyIndex->Count() == iStack.NumCards();
    }

private:
    CVexilStack iStack;
    TControlSetRef iBackground;
    std::vector<TControlRef> iFields;
};


void BindText(sqlite3_stmt* aStmt, int aIndex, const QString& aText)
{
    sqlite3_bind_text16(aStmt, aIndex, aText.utf16(), int(aText.size() * 2), SQLITE_TRANSIENT);
}

void RunSqlite(const TData& aData)
{
    sqlite3* db = nullptr;
    Check(sqlite3_open(":memory:", &db), SQLITE_OK, db);
    Exec(db, "CREATE TABLE cards (id INTEGER PRIMARY KEY, name TEXT, number INTEGER, price REAL, day REAL, "
             "hour REAL, flag INTEGER, note TEXT, count INTEGER)");
    Exec(db, "CREATE INDEX cards_key ON cards (name, number)");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO cards VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr),
          SQLITE_OK, db);
    double start = CpuSeconds();
    Exec(db, "BEGIN");
    for (size_t i = 0; i < aData.Rows.size(); ++i)
    {
        const TRow& row = aData.Rows[i];
        sqlite3_bind_int64(insert, 1, int64_t(i) + 1);
        BindText(insert, 2, row.Name);
        sqlite3_bind_int(insert, 3, row.Number);
        sqlite3_bind_double(insert, 4, row.Price);
        sqlite3_bind_double(insert, 5, row.Day);
        sqlite3_bind_double(insert, 6, row.Hour);
        sqlite3_bind_int(insert, 7, row.Flag ? 1 : 0);
        BindText(insert, 8, row.Note);
        sqlite3_bind_int(insert, 9, row.Count);
        Check(sqlite3_step(insert), SQLITE_DONE, db);
        sqlite3_reset(insert);
    }
    Exec(db, "COMMIT");
    gFigures.iSqlAdd = CpuSeconds() - start;
    gFigures.iSqlBytes = double(sqlite3_memory_used()) / double(aData.Rows.size());

    sqlite3_stmt* update = nullptr;
    Check(sqlite3_prepare_v2(db, "UPDATE cards SET name = ? WHERE id = ?", -1, &update, nullptr), SQLITE_OK, db);
    start = CpuSeconds();
    Exec(db, "BEGIN");
    for (size_t i = 0; i < aData.UpdatedIds.size(); ++i)
    {
        BindText(update, 1, aData.NewNames[i]);
        sqlite3_bind_int64(update, 2, int64_t(aData.UpdatedIds[i]) + 1);
        Check(sqlite3_step(update), SQLITE_DONE, db);
        sqlite3_reset(update);
    }
    Exec(db, "COMMIT");
    gFigures.iSqlUpdate = CpuSeconds() - start;
    sqlite3_finalize(insert);
    sqlite3_finalize(update);
    sqlite3_close(db);
}

bool RunModel(const TData& aData)
{
    const double heapBefore = HeapBytes();
    CModelRun model;
    double start = CpuSeconds();
    for (const TRow& row : aData.Rows)
        model.Add(row);
    gFigures.iModelAdd = CpuSeconds() - start;
    gFigures.iModelBytes = (HeapBytes() - heapBefore) / double(aData.Rows.size());
    start = CpuSeconds();
    for (size_t i = 0; i < aData.UpdatedIds.size(); ++i)
        model.Rename(aData.UpdatedIds[i], aData.NewNames[i]);
    gFigures.iModelUpdate = CpuSeconds() - start;
    gFigures.iPeakModel = PeakMegabytes();
    return model.Sorted();
}

void BM_ModelAgainstSqlite(benchmark::State& aState)
{
    const TData data = MakeData();
    gFigures.iPeakBefore = PeakMegabytes();
    for (auto _ : aState)
    {
        RunSqlite(data);
        gFigures.iPeakSql = PeakMegabytes();
        if (!RunModel(data))
            aState.SkipWithError("the key index lost cards");
        aState.SetIterationTime(gFigures.iModelAdd + gFigures.iModelUpdate + gFigures.iSqlAdd + gFigures.iSqlUpdate);
    }
    aState.counters["cards"] = double(gCardCount);
    aState.counters["model_add_s"] = gFigures.iModelAdd;
    aState.counters["sqlite_add_s"] = gFigures.iSqlAdd;
    aState.counters["add_ratio"] = gFigures.iModelAdd / gFigures.iSqlAdd;
    aState.counters["model_update_s"] = gFigures.iModelUpdate;
    aState.counters["sqlite_update_s"] = gFigures.iSqlUpdate;
    aState.counters["update_ratio"] = gFigures.iModelUpdate / gFigures.iSqlUpdate;
    aState.counters["model_bytes_per_card"] = gFigures.iModelBytes;
    aState.counters["sqlite_bytes_per_row"] = gFigures.iSqlBytes;
}
BENCHMARK(BM_ModelAgainstSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void PrintSummary()
{
    if (gFigures.iSqlAdd <= 0 || gFigures.iSqlUpdate <= 0)
        return;
    std::printf("\n%d cards of 8 fields, sorted by a text and an integer field (CPU seconds); anchor: SQLite in "
                "memory, same run:\n",
                gCardCount);
    std::printf("  add %d cards:      model %.3f s, SQLite %.3f s, ratio %.2f (goal at most 1.00)\n", gCardCount,
                gFigures.iModelAdd, gFigures.iSqlAdd, gFigures.iModelAdd / gFigures.iSqlAdd);
    std::printf("  change %d keys:    model %.3f s, SQLite %.3f s, ratio %.2f (goal at most 2.00)\n", gUpdateCount,
                gFigures.iModelUpdate, gFigures.iSqlUpdate, gFigures.iModelUpdate / gFigures.iSqlUpdate);
    std::printf("  memory:            model %.0f bytes a card, SQLite %.0f bytes a row, ratio %.2f (goal at most "
                "3.00)\n",
                gFigures.iModelBytes, gFigures.iSqlBytes, gFigures.iModelBytes / gFigures.iSqlBytes);
    std::printf("  peak memory of the process: %.0f MB with the input data, %.0f MB after SQLite, %.0f MB after "
                "the model\n",
                gFigures.iPeakBefore, gFigures.iPeakSql, gFigures.iPeakModel);
}
}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i)
    {
        if (std::strncmp(argv[i], "--cards=", 8) == 0)
        {
            gCardCount = std::max(1, std::atoi(argv[i] + 8));
            gUpdateCount = std::max(1, gCardCount / 10);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
