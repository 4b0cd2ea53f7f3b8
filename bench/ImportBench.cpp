// Imports on large inputs, each against its goal.
//
// Merge: a binary stack of 100,000 cards in two backgrounds (People kept sorted by name and
// number, Towns with a card-list field that lists the people of each town) and 20 pictures is
// merged into a small open stack, no window. Anchor in the same run: CVexilStackFile::LoadStack
// of that file. Goal: the merge takes at most 1.5 times the load.
//
// HanDBase: a database of 10,000 data records and 100 drop-down lists, with 10 fields of every
// type, from the test builder, imported to the finished stack. Goal: under 1 s. Reading and
// building are timed apart.
//
//   bench_ImportBench                 all figures
//   bench_ImportBench --cards=20000   a smaller merge
//   bench_ImportBench --records=N     another database size
//   bench_ImportBench --runs=N        the median of N runs (3)

#include "../tests/support/PdbBuilder.h"
#include "BenchSupport.h"
#include "foundation/VexilArray.h"
#include "interchange/VexilHandBaseImport.h"
#include "interchange/VexilPdbFile.h"
#include "interchange/VexilStackMerge.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{
int gCardCount = 100000;
int gRecordCount = 10000;
constexpr int kTownCount = 100;
constexpr int kPictureCount = 20;
int gRuns = 3;

struct TFigures
{
    double LoadMs = 0;
    double MergeMs = 0;
    double MergePeakMb = 0;  // the peak memory of the process after the merges
    double ReadMs = 0;
    double BuildMs = 0;
} gFigures;

TControlRef Field(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName, int32_t aType)
{
    auto field = std::make_shared<CVexilControl>();
    field->Construct(aStack.IdGen().NextId(), aName, aType);
    aBackground.AddControl(field, UndefLong);
    return field;
}

TValue Str(const QString& aText)
{
    TValue value;
    value.iType = EValStr;
    value.iStr = aText;
    return value;
}

TValue Int(int32_t aNum)
{
    TValue value;
    value.iType = EValInt;
    value.iInt = aNum;
    return value;
}

// The stack to merge, saved in the binary form to aFileName.
void BuildMergeStack(const QString& aFileName)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Big"));
    TControlSetRef people = stack->Background(0);
    people->SetName(QStringLiteral("People"));
    const TControlRef name = Field(*stack, *people, QStringLiteral("Name"), EConTypeText);
    const TControlRef num = Field(*stack, *people, QStringLiteral("Num"), EConTypeInteger);
    const TControlRef town = Field(*stack, *people, QStringLiteral("Town"), EConTypeText);
    const TControlRef photo = Field(*stack, *people, QStringLiteral("Photo"), EConTypePicture);
    auto towns = std::make_shared<CVexilControlSet>();
    towns->Construct(QStringLiteral("Towns"), stack->IdGen().NextId());
    stack->AddBackground(towns);
    const TControlRef townName = Field(*stack, *towns, QStringLiteral("TownName"), EConTypeText);
    const TControlRef residents = Field(*stack, *towns, QStringLiteral("Residents"), EConTypeList);

    std::vector<int32_t> pictures;
    for (int i = 0; i < kPictureCount; ++i)
    {
        auto blob = std::make_shared<CVexilBlob>();
        blob->Construct(stack->IdGen().NextId());
        blob->SetName(QStringLiteral("pic%1").arg(i));
        blob->SetMimeType(QStringLiteral("image/png"));
        blob->SetBytes(QByteArray(20000, char('a' + i)));
        blob->SetChanged(true);
        stack->BlobStore()->AddBlob(blob);
        pictures.push_back(blob->Id());
    }
    const int peopleCount = gCardCount - kTownCount;
    for (int i = 0; i < gCardCount; ++i)
    {
        const bool isTown = i >= peopleCount;
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("c%1").arg(i), isTown ? towns : people);
        TCardRef before;
        stack->AddCard(card, before, false);
        if (isTown)
        {
            card->SetControlVal(townName->Id(), Str(QStringLiteral("Town %1").arg(i - peopleCount)));
            continue;
        }
        card->SetControlVal(name->Id(), Str(QStringLiteral("Person %1").arg((i * 7919) % peopleCount)));
        card->SetControlVal(num->Id(), Int(i));
        card->SetControlVal(town->Id(), Str(QStringLiteral("Town %1").arg(i % kTownCount)));
        if (i < kPictureCount)
        {
            TValue picture;
            picture.iType = EValBlobId;
            picture.iInt = pictures[size_t(i)];
            card->SetControlVal(photo->Id(), picture);
        }
    }
    // A card-list field marks its cards stale on every card added: it comes last.
    residents->SetFlag(EConCardList, true);
    residents->SetSelBackgroundId(people->Id());
    residents->SetSelControlId(town->Id());
    residents->SetRefControlId(townName->Id());
    auto sortKey = std::make_shared<CVexilSortKey>();
    sortKey->Contruct(stack->IdGen().NextId(), QStringLiteral("ByName"), people->Id());
    sortKey->AddKeyPart(EConTypeText, name->Id(), 0, 12);
    sortKey->AddKeyPart(EConTypeInteger, num->Id(), 0, 6);
    stack->AddSortKey(sortKey);
    stack->SetControlDynFlags();
    people->SetFlag(ECseKeepCardsSorted, true);
    stack->NewIndexForSortKey(sortKey);
    stack->SetFlags(EStkBinary);

    auto view = std::make_shared<CVexilStackViewRec>();
    view->Contruct(QStringLiteral("Big"));
    CVexilStackFile file;
    file.Construct(aFileName);
    file.SaveStack(stack, view);
}

// The open stack: one background of the same name and a few cards.
TStackRef SmallStack()
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Small"));
    TControlSetRef people = stack->Background(0);
    people->SetName(QStringLiteral("People"));
    const TControlRef name = Field(*stack, *people, QStringLiteral("Name"), EConTypeText);
    for (int i = 0; i < 10; ++i)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("own%1").arg(i), people);
        TCardRef before;
        stack->AddCard(card, before, false);
        card->SetControlVal(name->Id(), Str(QStringLiteral("Own %1").arg(i)));
    }
    return stack;
}

void BM_MergeAgainstLoad(benchmark::State& aState)
{
    CVexilBlobStore::SetConsistencyChecks(false);
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("Big.Quorvan"));
    BuildMergeStack(fileName);
    for (auto _ : aState)
    {
        std::vector<double> loads;
        std::vector<double> merges;
        for (int run = 0; run < gRuns; ++run)
        {
            loads.push_back(TimeMs([&] {
                TStackRef stack;
                TStackViewRecRef view;
                CVexilStackFile file;
                file.Construct(fileName);
                file.LoadStack(stack, view);
                stack->BlobStore()->CloseFile();
            }));
            const TStackRef open = SmallStack();
            merges.push_back(TimeMs([&] { CVexilStackMerge::ImportQuorvan(*open, fileName); }));
            if (open->NumCards() != 10 + gCardCount)
                std::abort();
        }
        gFigures.LoadMs = Median(loads);
        gFigures.MergeMs = Median(merges);
        gFigures.MergePeakMb = PeakMegabytes();
        aState.SetIterationTime((gFigures.LoadMs + gFigures.MergeMs) / 1000);
    }
    aState.counters["merge_per_load"] = gFigures.MergeMs / gFigures.LoadMs;
}
BENCHMARK(BM_MergeAgainstLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// 100 drop-down lists of 10 entries, 10 fields covering every type, records of all values.
QByteArray HandBaseDatabase()
{
    PdbBuilder pdb;
    pdb.Field(1, "Name").Field(2, "Count").Field(3, "Price").Field(4, "Colour").Field(5, "Done");
    pdb.Field(8, "Due").Field(12, "Note").Field(0, "Unused").Field(7, "Link").Field(1, "Town");
    std::vector<std::pair<QByteArray, QByteArray>> popups;
    for (int k = 0; k < 10; ++k)
        popups.emplace_back("key" + QByteArray::number(k), "Colour " + QByteArray::number(k));
    pdb.Record(PdbBuilder::DropDown(popups));
    for (int list = 1; list < 100; ++list)
        pdb.Record(PdbBuilder::DropDown({{"l" + QByteArray::number(list), "Entry"}}));
    for (int i = 0; i < gRecordCount; ++i)
        pdb.Values({PdbBuilder::Text("Record " + QByteArray::number(i)), PdbBuilder::Int(i),
                    PdbBuilder::Text(QByteArray::number(i) + ".25"), PdbBuilder::Popup("key" + QByteArray::number(i % 10)),
                    PdbBuilder::Bool(i % 2 == 0), PdbBuilder::Days(30000 + i % 3000),
                    PdbBuilder::Text("A note of some length for record " + QByteArray::number(i)),
                    PdbBuilder::Raw("xx"), PdbBuilder::Raw("link"), PdbBuilder::Text("Town " + QByteArray::number(i % 50))});
    return pdb.Bytes();
}

void BM_HandBaseImport(benchmark::State& aState)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("db.pdb"));
    QFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(HandBaseDatabase()) < 0)
        std::abort();
    out.close();
    for (auto _ : aState)
    {
        std::vector<double> reads;
        std::vector<double> builds;
        for (int run = 0; run < gRuns; ++run)
        {
            CVexilPdbFile file;
            reads.push_back(TimeMs([&] { file.Construct(fileName); }));
            TStackRef stack;
            builds.push_back(TimeMs([&] { stack = CVexilHandBaseImport::Build(file, fileName); }));
            if (stack->NumCards() != gRecordCount)
                std::abort();
        }
        gFigures.ReadMs = Median(reads);
        gFigures.BuildMs = Median(builds);
        aState.SetIterationTime((gFigures.ReadMs + gFigures.BuildMs) / 1000);
    }
    aState.counters["records_per_s"] = gRecordCount / ((gFigures.ReadMs + gFigures.BuildMs) / 1000);
}
BENCHMARK(BM_HandBaseImport)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.LoadMs > 0)
    {
        std::printf("\nMerge of %d cards (2 backgrounds, one kept sorted, a card-list field, %d pictures), "
                    "median of %d runs:\n",
                    gCardCount, kPictureCount, gRuns);
        PrintAgainstAnchor("merge", gFigures.MergeMs, "LoadStack of the file", gFigures.LoadMs, 1.5);
        std::printf("  peak memory of the process after the merges: %.0f MB\n", gFigures.MergePeakMb);
    }
    if (gFigures.ReadMs > 0)
    {
        const double total = gFigures.ReadMs + gFigures.BuildMs;
        std::printf("\nHanDBase import of %d records, 100 drop-down lists, 10 fields, median of %d runs:\n",
                    gRecordCount, gRuns);
        std::printf("  reading %.1f ms, building %.1f ms, total %.1f ms (goal under 1000 ms)\n", gFigures.ReadMs,
                    gFigures.BuildMs, total);
        std::printf("  %.0f records/s\n", gRecordCount / (total / 1000));
    }
    PrintPeakMemory();
}
}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    static CSilentPrompts prompts(true);
    CVexilPrompts::Install(&prompts);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--cards=", &gCardCount, 1000}, {"--records=", &gRecordCount, 1}, {"--runs=", &gRuns, 1}});
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
