// Stack files against SQLite on a large stack.
//
// A stack of 100,000 cards in 2 backgrounds of 10 fields each (text, integer, real, date, time,
// Boolean, text, integer, list, picture), the first background kept sorted by its first two
// fields, and 200 pictures of 50 KB on as many cards. In one run:
//   save and load the binary form, then the XML form (a load reads every picture once);
//   SQLite on a file in the same folder: one table per background with the same rows, the
//   pictures inline, written in one transaction and read back whole.
//   the XML file walked by CVexilXmlParser alone (every tag, attribute and text), the anchor
//   of the XML load.
// Goals: the binary load takes at most SQLite's read-back, the binary save at most twice its
// write, the XML load reads at least 120 MB/s; the memory of the loaded stack per card is at
// most twice SQLite's per row with the same rows in memory (sqlite3_memory_used). The
// summary prints wall-clock seconds (both sides wait for the disk), MB/s and cards/s of each
// step, the ratios, the bytes per card and the peak memory of the process after each step.
//
//   bench_StackFileBench                 all figures
//   bench_StackFileBench --cards=10000   a smaller stack

#include "BenchSupport.h"
#include "SqliteSupport.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "foundation/VexilXmlParser.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace
{
int gCardCount = 100'000;
constexpr int kPictureCount = 200;
constexpr int kPictureBytes = 50 * 1024;
constexpr int kFieldCount = 10;
constexpr int32_t kFieldTypes[kFieldCount] = {EConTypeText,    EConTypeInteger, EConTypeReal, EConTypeDate,
                                              EConTypeTime,    EConTypeBoolean, EConTypeText, EConTypeInteger,
                                              EConTypeList,    EConTypePicture};

double Seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double HeapBytes()
{
    return double(mallinfo2().uordblks);
}

double FileMegabytes(const QString& aName)
{
    return double(QFileInfo(aName).size()) / (1024 * 1024);
}

// One timed step: seconds, the bytes it moved and the peak memory after it.
struct TStep
{
    const char* Name = "";
    double Secs = 0;
    double Megabytes = 0;
    double Peak = 0;
};

struct TFigures
{
    TStep SaveBin{"binary save"};
    TStep LoadBin{"binary load"};
    TStep SaveXml{"XML save"};
    TStep LoadXml{"XML load"};
    TStep SqlWrite{"SQLite write"};
    TStep SqlRead{"SQLite read"};
    TStep ParseXml{"XML parse"};
    double PeakBuilt = 0;
    double LoadedBytes = 0;  // heap of the loaded stack, per card
    double SqlBytes = 0;     // sqlite3_memory_used with the rows in memory, per row
};
TFigures gFigures;

// The stack with its values in a form that SQLite takes as well.
struct TBuilt
{
    TStackRef Stack;
    TStackViewRecRef View;
    std::vector<TControlSetRef> Backgrounds;
    std::vector<std::vector<int32_t>> FieldIds;
};

QString RandomWord(std::mt19937& aRandom, int aMinLen, int aMaxLen)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString word(aMinLen + int(aRandom() % uint32_t(aMaxLen - aMinLen + 1)), u' ');
    for (qsizetype i = 0; i < word.size(); ++i)
        word[i] = QLatin1Char(letters[aRandom() % 52]);
    return word;
}

TValue RandomValue(std::mt19937& aRandom, int32_t aConType)
{
    TValue value;
    switch (aConType)
    {
    case EConTypeText:
    case EConTypeList:
        value.iType = EValStr;
        value.iStr = RandomWord(aRandom, 6, 24);
        break;
    case EConTypeInteger:
        value.iType = EValInt;
        value.iInt = int32_t(aRandom() % 1'000'000);
        break;
    case EConTypeReal:
        value.iType = EValReal;
        value.iReal = double(aRandom() % 100'000) / 100;
        break;
    case EConTypeDate:
        value.iType = EValDate;
        value.iDate = 40'000 + double(aRandom() % 10'000);
        break;
    case EConTypeTime:
        value.iType = EValTime;
        value.iTime = double(aRandom() % 86'400) / 86'400;
        break;
    default:
        value.iType = EValBool;
        value.iBool = aRandom() % 2 == 0;
        break;
    }
    return value;
}

TBuilt BuildStack()
{
    std::mt19937 random(4711);
    TBuilt built;
    built.Stack = std::make_shared<CVexilStack>();
    CVexilStack& stack = *built.Stack;
    stack.Construct(QStringLiteral("Bench"));
    stack.SetFlags(EStkBinary);
    built.View = std::make_shared<CVexilStackViewRec>();
    built.View->Contruct(QStringLiteral("View"));
    for (int b = 0; b < 2; ++b)
    {
        TControlSetRef background = stack.Background(0);
        if (b > 0)
        {
            background = std::make_shared<CVexilControlSet>();
            background->Construct(QStringLiteral("Second"), stack.IdGen().NextId());
            stack.AddBackground(background);
        }
        built.Backgrounds.push_back(background);
        built.FieldIds.emplace_back();
        for (int f = 0; f < kFieldCount; ++f)
        {
            auto field = std::make_shared<CVexilControl>();
            field->Construct(stack.IdGen().NextId(), QStringLiteral("F%1").arg(f), kFieldTypes[f]);
            background->AddControl(field, UndefLong);
            built.FieldIds.back().push_back(field->Id());
        }
    }
    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(stack.IdGen().NextId(), QStringLiteral("Key"), built.Backgrounds[0]->Id());
    sortKey->AddKeyPart(EConTypeText, built.FieldIds[0][0], 0, 20);
    sortKey->AddKeyPart(EConTypeInteger, built.FieldIds[0][1], 0, 11);
    stack.AddSortKey(sortKey);
    stack.SetControlDynFlags();
    built.Backgrounds[0]->SetFlag(ECseKeepCardsSorted, true);
    stack.NewIndexForSortKey(sortKey);

    const int pictureEvery = std::max(1, gCardCount / kPictureCount);
    for (int i = 0; i < gCardCount; ++i)
    {
        const int b = i % 2;
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("Card %1").arg(i), built.Backgrounds[size_t(b)]);
        for (int f = 0; f < kFieldCount - 1; ++f)
            card->AddStoredVal(built.FieldIds[size_t(b)][size_t(f)], RandomValue(random, kFieldTypes[f]));
        if (i % pictureEvery == 0 && i / pictureEvery < kPictureCount)
        {
            auto blob = std::make_shared<CVexilBlob>();
            blob->Construct(stack.IdGen().NextId());
            QByteArray bytes(kPictureBytes, Qt::Uninitialized);
            for (char& byte : bytes)
                byte = char(random());
            blob->SetBytes(bytes);
            blob->SetMimeType(QStringLiteral("image/jpeg"));
            blob->IncRefCount();
            stack.BlobStore()->AddBlob(blob);
            TValue picture;
            picture.iType = EValBlobId;
            picture.iInt = blob->Id();
            card->AddStoredVal(built.FieldIds[size_t(b)][kFieldCount - 1], picture);
        }
        TCardRef none;
        stack.AddCard(card, none, false);
    }
    return built;
}

// Reads every picture once, as showing them all would.
void ReadAllPictures(CVexilStack& aStack)
{
    TBlobRef blob;
    int32_t cursor = 0;
    for (bool more = aStack.BlobStore()->ReadFirstBlob(blob, cursor); more;
         more = aStack.BlobStore()->ReadNextBlob(blob, cursor))
        benchmark::DoNotOptimize(blob->Bytes().size());
}

template <class FDo>
void Time(TStep& aStep, const QString& aFile, FDo&& aDo)
{
    const double start = Seconds();
    aDo();
    aStep.Secs = Seconds() - start;
    aStep.Megabytes = FileMegabytes(aFile);
    aStep.Peak = PeakMegabytes();
}

void Save(const TBuilt& aBuilt, const QString& aFile)
{
    CVexilStackFile file;
    file.Construct(aFile);
    file.SaveStack(aBuilt.Stack, aBuilt.View);
}

// The loaded stack goes back to the caller so that its teardown falls outside the timed load.
TStackRef LoadWithPictures(const QString& aFile)
{
    TStackRef stack;
    TStackViewRecRef view;
    CVexilStackFile file;
    file.Construct(aFile);
    file.LoadStack(stack, view);
    ReadAllPictures(*stack);
    if (stack->NumCards() != gCardCount)
        std::abort();
    return stack;
}

// Every tag, attribute and text of the file through the parser, nothing built.
void WalkXml(const QString& aFile)
{
    CVexilXmlParser parser(aFile);
    parser.OpenFile();
    parser.ReadHeader();
    QString name;
    QString text;
    bool endTag = false;
    bool empty = false;
    int depth = 0;
    do
    {
        parser.ReadNext(name, endTag);
        if (endTag)
        {
            --depth;
            continue;
        }
        // The text after the tag, blank between elements, up to the next tag.
        parser.ReadAttr(empty);
        parser.ReadLongElemText(text);
        depth += empty ? 0 : 1;
    } while (depth > 0);
    parser.CloseFile();
}

void RunStackFiles(const TBuilt& aBuilt, const QString& aFolder)
{
    const QString binary = aFolder + QStringLiteral("/Bench.Quorvan");
    Time(gFigures.SaveBin, binary, [&] { Save(aBuilt, binary); });
    TStackRef loaded;
    const double heapBefore = HeapBytes();
    Time(gFigures.LoadBin, binary, [&] { loaded = LoadWithPictures(binary); });
    gFigures.LoadedBytes = (HeapBytes() - heapBefore) / gCardCount;
    loaded.reset();
    aBuilt.Stack->SetFlags(0);
    const QString xml = aFolder + QStringLiteral("/Bench.xml");
    Time(gFigures.SaveXml, xml, [&] { Save(aBuilt, xml); });
    Time(gFigures.LoadXml, xml, [&] { loaded = LoadWithPictures(xml); });
    loaded.reset();
    Time(gFigures.ParseXml, xml, [&] { WalkXml(xml); });
}

// ---- SQLite


void BindValue(sqlite3_stmt* aStmt, int aIndex, const TValue& aValue, const CVexilBlobStore& aStore)
{
    switch (aValue.iType)
    {
    case EValStr:
        sqlite3_bind_text16(aStmt, aIndex, aValue.iStr.utf16(), int(aValue.iStr.size() * 2), SQLITE_STATIC);
        break;
    case EValInt: sqlite3_bind_int(aStmt, aIndex, aValue.iInt); break;
    case EValReal: sqlite3_bind_double(aStmt, aIndex, aValue.iReal); break;
    case EValDate: sqlite3_bind_double(aStmt, aIndex, aValue.iDate); break;
    case EValTime: sqlite3_bind_double(aStmt, aIndex, aValue.iTime); break;
    case EValBool: sqlite3_bind_int(aStmt, aIndex, aValue.iBool ? 1 : 0); break;
    case EValBlobId:
    {
        const QByteArray& bytes = const_cast<CVexilBlobStore&>(aStore).ReadBlob(aValue.iInt)->Bytes();
        sqlite3_bind_blob(aStmt, aIndex, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: sqlite3_bind_null(aStmt, aIndex); break;
    }
}

void WriteSqlite(const TBuilt& aBuilt, const QString& aFile)
{
    sqlite3* db = nullptr;
    Check(sqlite3_open(aFile.toUtf8().constData(), &db), SQLITE_OK, db);
    std::vector<sqlite3_stmt*> inserts;
    for (int b = 0; b < 2; ++b)
    {
        Exec(db, QStringLiteral("CREATE TABLE bg%1 (id INTEGER PRIMARY KEY, name TEXT, f0 TEXT, f1 INTEGER, f2 REAL, "
                                "f3 REAL, f4 REAL, f5 INTEGER, f6 TEXT, f7 INTEGER, f8 TEXT, f9 BLOB)")
                     .arg(b)
                     .toUtf8()
                     .constData());
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(db,
                                 QStringLiteral("INSERT INTO bg%1 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                     .arg(b)
                                     .toUtf8()
                                     .constData(),
                                 -1, &insert, nullptr),
              SQLITE_OK, db);
        inserts.push_back(insert);
    }
    Exec(db, "BEGIN");
    const CVexilStack& stack = *aBuilt.Stack;
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = stack.GetFirstCard(card, cursor); more; more = stack.GetNextCard(card, cursor))
    {
        const size_t b = card->BackgroundId() == aBuilt.Backgrounds[0]->Id() ? 0 : 1;
        sqlite3_stmt* insert = inserts[b];
        sqlite3_bind_int(insert, 1, card->Id());
        const QString name = card->Name();
        sqlite3_bind_text16(insert, 2, name.utf16(), int(name.size() * 2), SQLITE_TRANSIENT);
        for (int f = 0; f < kFieldCount; ++f)
        {
            TValue val;
            if (card->StoredVal(aBuilt.FieldIds[b][size_t(f)], val))
                BindValue(insert, f + 3, val, *stack.BlobStore());
            else
                sqlite3_bind_null(insert, f + 3);
        }
        Check(sqlite3_step(insert), SQLITE_DONE, db);
        sqlite3_reset(insert);
    }
    Exec(db, "COMMIT");
    for (sqlite3_stmt* insert : inserts)
        sqlite3_finalize(insert);
    sqlite3_close(db);
}

void ReadSqlite(const QString& aFile)
{
    sqlite3* db = nullptr;
    Check(sqlite3_open(aFile.toUtf8().constData(), &db), SQLITE_OK, db);
    int64_t rows = 0;
    for (int b = 0; b < 2; ++b)
    {
        sqlite3_stmt* select = nullptr;
        Check(sqlite3_prepare_v2(db, QStringLiteral("SELECT * FROM bg%1").arg(b).toUtf8().constData(), -1, &select,
                                 nullptr),
              SQLITE_OK, db);
        while (sqlite3_step(select) == SQLITE_ROW)
        {
            // Every column taken out as the model holds it: texts as UTF-16, pictures as bytes.
            for (int c = 0; c < 12; ++c)
            {
                switch (sqlite3_column_type(select, c))
                {
                case SQLITE_TEXT:
                    benchmark::DoNotOptimize(QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(select, c)),
                                                     sqlite3_column_bytes16(select, c) / 2));
                    break;
                case SQLITE_BLOB:
                    benchmark::DoNotOptimize(QByteArray(static_cast<const char*>(sqlite3_column_blob(select, c)),
                                                        sqlite3_column_bytes(select, c)));
                    break;
                default: benchmark::DoNotOptimize(sqlite3_column_double(select, c)); break;
                }
            }
            ++rows;
        }
        sqlite3_finalize(select);
    }
    // The same rows in memory.
    sqlite3_close(db);
    if (rows != gCardCount)
        std::abort();
    Check(sqlite3_open(":memory:", &db), SQLITE_OK, db);
    const int64_t before = sqlite3_memory_used();
    Exec(db, QStringLiteral("ATTACH '%1' AS f").arg(aFile).toUtf8().constData());
    Exec(db, "CREATE TABLE bg0 AS SELECT * FROM f.bg0; CREATE TABLE bg1 AS SELECT * FROM f.bg1; DETACH f");
    gFigures.SqlBytes = double(sqlite3_memory_used() - before) / gCardCount;
    sqlite3_close(db);
}

void RunSqlite(const TBuilt& aBuilt, const QString& aFolder)
{
    const QString file = aFolder + QStringLiteral("/Bench.sqlite");
    Time(gFigures.SqlWrite, file, [&] { WriteSqlite(aBuilt, file); });
    Time(gFigures.SqlRead, file, [&] { ReadSqlite(file); });
}

void BM_StackFilesAgainstSqlite(benchmark::State& aState)
{
    CVexilBlobStore::SetConsistencyChecks(false);
    for (auto _ : aState)
    {
        QTemporaryDir folder;
        const TBuilt built = BuildStack();
        gFigures.PeakBuilt = PeakMegabytes();
        RunSqlite(built, folder.path());
        RunStackFiles(built, folder.path());
        aState.SetIterationTime(gFigures.SaveBin.Secs + gFigures.LoadBin.Secs + gFigures.SaveXml.Secs +
                                gFigures.LoadXml.Secs + gFigures.SqlWrite.Secs + gFigures.SqlRead.Secs);
    }
    aState.counters["cards"] = double(gCardCount);
    aState.counters["save_ratio"] = gFigures.SaveBin.Secs / gFigures.SqlWrite.Secs;
    aState.counters["load_ratio"] = gFigures.LoadBin.Secs / gFigures.SqlRead.Secs;
}
BENCHMARK(BM_StackFilesAgainstSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void PrintStep(const TStep& aStep)
{
    std::printf("  %-13s %7.3f s  %7.1f MB/s  %10.0f cards/s  (%.1f MB, peak %.0f MB)\n", aStep.Name, aStep.Secs,
                aStep.Megabytes / aStep.Secs, gCardCount / aStep.Secs, aStep.Megabytes, aStep.Peak);
}

void PrintSummary()
{
    if (gFigures.SqlWrite.Secs <= 0 || gFigures.SqlRead.Secs <= 0)
        return;
    std::printf("\n%d cards in 2 backgrounds of %d fields, %d pictures of %d KB (wall-clock seconds):\n",
                gCardCount, kFieldCount, kPictureCount, kPictureBytes / 1024);
    for (const TStep* step : {&gFigures.SaveBin, &gFigures.LoadBin, &gFigures.SaveXml, &gFigures.LoadXml,
                              &gFigures.SqlWrite, &gFigures.SqlRead, &gFigures.ParseXml})
        PrintStep(*step);
    std::printf("  binary save / SQLite write: %.2f (goal at most 2.00)\n",
                gFigures.SaveBin.Secs / gFigures.SqlWrite.Secs);
    std::printf("  binary load / SQLite read:  %.2f (goal at most 1.00)\n",
                gFigures.LoadBin.Secs / gFigures.SqlRead.Secs);
    const double xmlRate = gFigures.LoadXml.Megabytes / gFigures.LoadXml.Secs;
    const double parseRate = gFigures.ParseXml.Megabytes / gFigures.ParseXml.Secs;
    std::printf("  XML load %.1f MB/s, the parser alone %.1f MB/s, ratio %.2f (goal at least 120 MB/s)\n", xmlRate,
                parseRate, xmlRate / parseRate);
    std::printf("  memory: loaded stack %.0f bytes a card, SQLite %.0f bytes a row, ratio %.2f (goal at most 2.00)\n",
                gFigures.LoadedBytes, gFigures.SqlBytes, gFigures.LoadedBytes / gFigures.SqlBytes);
    std::printf("  peak memory with the stack built: %.0f MB\n", gFigures.PeakBuilt);
}
}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i)
    {
        if (std::strncmp(argv[i], "--cards=", 8) == 0)
            gCardCount = std::max(kPictureCount, std::atoi(argv[i] + 8));
    }
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
