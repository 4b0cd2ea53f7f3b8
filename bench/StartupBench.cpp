// The start of the program on the offscreen platform, against loading the stack file alone.
//
// The program must be up at once, and a big auto-load stack must cost little more than reading
// it. In one run:
//   empty:  CVexilProgram::Main with an empty settings file, until the main window is shown and
//           the event queue is drained (the welcome window is part of it);
//   stack:  Main with a binary auto-load stack of 100,000 cards (five fields), until its first
//           card is shown and the queue is drained;
// and, as the anchor, CVexilStackFile::LoadStack of the same file. The first start of the
// process (which measures text, builds the message table and loads the style) is printed on
// its own; the summary prints the medians of the later starts, the overhead of the start with
// the stack over the load alone, and the goals (the empty start under 300 ms, the start with
// the stack under the load time + 300 ms).
//
//   bench_StartupBench                               all figures
//   bench_StartupBench --cards=10000 --runs=3        a smaller stack, fewer starts

#include "BenchSupport.h"
#include "app/VexilProgram.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilLowLevel.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilWinMan.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace
{
int gCardCount = 100'000;
int gRuns = 7;

struct TFigures
{
    double FirstStart = 0;
    double EmptyStart = 0;
    double StackStart = 0;
    double Load = 0;
};

TFigures gFigures;

CSilentPrompts gPrompts;

// The binary stack file of the bench: cards of one background with a name, a text, an integer,
// a real and a date each.
void MakeStackFile(const QString& aPath)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Bench"));
    stack->SetFlags(stack->Flags() | EStkBinary);
    const TControlSetRef background = stack->Background(0);
    std::vector<TControlRef> fields;
    for (const int32_t type : {EConTypeText, EConTypeText, EConTypeInteger, EConTypeReal, EConTypeDate})
    {
        auto field = std::make_shared<CVexilControl>();
        field->Construct(stack->IdGen().NextId(), QStringLiteral("F%1").arg(fields.size()), type);
        field->SetFlags(EConInCardView | (fields.empty() ? EConCardName : 0));
        field->SetLabel(field->Name());
        field->SetVisChar(20);
        background->AddControl(field, UndefLong);
        fields.push_back(field);
    }
    for (int i = 0; i < gCardCount; ++i)
    {
        auto card = std::make_shared<CVexilCard>();
        const QString name = QStringLiteral("Card %1").arg(i, 6, 10, QLatin1Char('0'));
        card->Construct(name, background);
        for (const TControlRef& field : fields)
        {
            TValue val;
            switch (field->ConType())
            {
            case EConTypeText:
                val.iType = EValStr;
                val.iStr = field == fields[0] ? name : QStringLiteral("Notes on card %1").arg(i);
                break;
            case EConTypeInteger:
                val.iType = EValInt;
                val.iInt = i;
                break;
            case EConTypeReal:
                val.iType = EValReal;
                val.iReal = i / 4.0;
                break;
            default:
                val.iType = EValDate;
                val.iDate = CVexilValue::FromQDate(QDate(2024, 1, 1).addDays(i % 3000));
                break;
            }
            card->AddStoredVal(field->Id(), val);
        }
        TCardRef none;
        stack->AddCard(card, none, false);
    }
    auto rec = std::make_shared<CVexilStackViewRec>();
    rec->Contruct(QStringLiteral("View"));
    CVexilStackFile file;
    file.Construct(aPath);
    file.SaveStack(stack, rec);
}

// Leaves the stack without a question and unloads every window, the main window too.
void StopProgram()
{
    if (gStackView)
        gStackView->Release();
    CVexilStackViewLink::Install(nullptr);
    gStackView.reset();
    gStack.reset();
    gInterpreter->Reset();
    CVexilFormRegistry::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CVexilDialogLib::SetCursorHook(nullptr);
}

void DrainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Milliseconds of one start with a fresh settings file; aAutoLoad names the stack to open.
double TimeStart(const QString& aAutoLoad, benchmark::State& aState)
{
    const QTemporaryDir settings;
    TMainOptions options;
    options.SettingsFile = QDir(settings.path()).filePath(QStringLiteral("Quorvans.ini"));
    options.DocumentsFolder = settings.path();
    options.Port = 0;
    options.Arguments = QStringList{QStringLiteral("quorvans")};
    options.Prompts = &gPrompts;
    options.ProgramEnd = [](int) {};
    if (!aAutoLoad.isEmpty())
    {
        CVexilReg::SetFileName(options.SettingsFile);
        CVexilReg::PutVal(CVexilReg::KOptions, QStringLiteral("AutoLoadName"), aAutoLoad);
    }
    gPrompts.Asked.clear();

    QElapsedTimer timer;
    timer.start();
    CVexilProgram::Main(options);
    DrainEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;

    const CVexilForm* frame = CVexilFormRegistry::Loaded(QLatin1String(CVexilWinMan::KFrame));
    const CVexilForm* cards = CVexilFormRegistry::Loaded(CVexilGenForm::KClassName);
    if (!frame || !frame->isVisible())
        aState.SkipWithError("the main window is not shown");
    else if (!aAutoLoad.isEmpty() && (!cards || !cards->Caption().startsWith(QStringLiteral("Card 000000 - 1 of "))))
        aState.SkipWithError("the first card is not shown");
    else if (!gPrompts.Asked.isEmpty())
        aState.SkipWithError(qPrintable(QStringLiteral("the start asked: ") + gPrompts.Asked));
    StopProgram();
    return ms;
}

void BM_StartupAgainstLoad(benchmark::State& aState)
{
    const QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Bench.Quorvan"));
    MakeStackFile(path);
    for (auto _ : aState)
    {
        gFigures.FirstStart = TimeStart(QString(), aState);
        std::vector<double> empty;
        std::vector<double> withStack;
        std::vector<double> loads;
        for (int run = 0; run < gRuns; ++run)
        {
            empty.push_back(TimeStart(QString(), aState));
            withStack.push_back(TimeStart(path, aState));
            QElapsedTimer timer;
            timer.start();
            TStackRef stack;
            TStackViewRecRef view;
            CVexilStackFile file;
            file.Construct(path);
            file.LoadStack(stack, view);
            loads.push_back(double(timer.nsecsElapsed()) / 1e6);
            benchmark::DoNotOptimize(stack);
        }
        gFigures.EmptyStart = Median(empty);
        gFigures.StackStart = Median(withStack);
        gFigures.Load = Median(loads);
        aState.SetIterationTime((gFigures.EmptyStart + gFigures.StackStart) / 1000);
    }
    aState.counters["cards"] = double(gCardCount);
    aState.counters["empty_ms"] = gFigures.EmptyStart;
    aState.counters["stack_ms"] = gFigures.StackStart;
    aState.counters["load_ms"] = gFigures.Load;
}
BENCHMARK(BM_StartupAgainstLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.EmptyStart <= 0)
        return;
    const double overhead = gFigures.StackStart - gFigures.Load;
    std::printf("\nStart of the program, offscreen; median of %d starts each:\n", gRuns);
    std::printf("  first start of the process  %8.1f ms\n", gFigures.FirstStart);
    std::printf("  without a stack             %8.1f ms  (goal: under 300 ms) %s\n", gFigures.EmptyStart,
                gFigures.EmptyStart < 300 ? "met" : "MISSED");
    std::printf("  with %d cards           %8.1f ms\n", gCardCount, gFigures.StackStart);
    std::printf("  LoadStack alone (anchor)    %8.1f ms\n", gFigures.Load);
    std::printf("  overhead over the load      %8.1f ms  (goal: under 300 ms) %s\n", overhead,
                overhead < 300 ? "met" : "MISSED");
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--cards=", &gCardCount, 1}, {"--runs=", &gRuns, 1}});
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
