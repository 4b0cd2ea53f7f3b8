// Filling the card list of a large stack against a plain tree widget.
//
// The card list must come up quickly on a big card file. One background of five list fields
// (Text, Integer, Real, Date, Boolean) holds 100,000 cards. In one run, on the offscreen
// platform, each timed until the lines are painted:
//   fill:    FillAndShowCardList(true) of the card list window ("(All)");
//   filter:  the user's choice of the background in the filter, which fills the list again;
//   anchor:  a plain QTreeWidget of the same size filled with the same Tab-joined lines.
// Each is run a few times; the summary prints the medians, the ratio of fill to anchor and
// the goals (at most 1.5 x the anchor, under 1 s).
//
//   bench_CardListBench                                  all figures
//   bench_CardListBench --cards=10000 --rounds=3         a smaller stack, fewer rounds

#include "BenchSupport.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilCardListForm.h"
#include "presentation/VexilCardListView.h"
#include "presentation/VexilCardWidgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace
{
int gCardCount = 100'000;
int gRounds = 5;

struct TFigures
{
    double Fill = 0;
    double Filter = 0;
    double Anchor = 0;
};

TFigures gFigures;

// The lines painted: what the user sees once the list is there.
void Paint(QTreeWidget& aList)
{
    QCoreApplication::processEvents();
    aList.viewport()->repaint();
}

TStackRef BuildStack()
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Bench"));
    const TControlSetRef background = stack->Background(0);
    std::vector<TControlRef> fields;
    for (const int32_t type : {EConTypeText, EConTypeInteger, EConTypeReal, EConTypeDate, EConTypeBoolean})
    {
        auto field = std::make_shared<CVexilControl>();
        field->Construct(stack->IdGen().NextId(), QStringLiteral("F") + QString::number(fields.size()), type);
        field->SetFlags(EConInCardView | EConInCardList);
        field->SetVisChar(12);
        background->AddControl(field, UndefLong);
        fields.push_back(field);
    }
    fields[2]->SetDigits(2);
    std::mt19937 random(4711);
    for (int i = 0; i < gCardCount; ++i)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("Card %1").arg(i), background);
        for (const TControlRef& field : fields)
        {
            TValue val;
            switch (field->ConType())
            {
            case EConTypeText:
                val.iType = EValStr;
                val.iStr = QStringLiteral("Text of card %1").arg(i);
                break;
            case EConTypeInteger:
                val.iType = EValInt;
                val.iInt = int32_t(random() % 100'000);
                break;
            case EConTypeReal:
                val.iType = EValReal;
                val.iReal = double(random() % 100'000) / 100;
                break;
            case EConTypeDate:
                val.iType = EValDate;
                val.iDate = CVexilValue::FromQDate(QDate(2000, 1, 1).addDays(int(random() % 9000)));
                break;
            default:
                val.iType = EValBool;
                val.iBool = random() % 2 == 0;
                break;
            }
            card->AddStoredVal(field->Id(), val);
        }
        TCardRef none;
        stack->AddCard(card, none, false);
    }
    return stack;
}

void RunCardList(const TStackRef& aStack, QStringList& aTitles, QStringList& aLines, QSize& aSize,
                 benchmark::State& aState)
{
    const std::shared_ptr<CVexilCardListView> view = CVexilCardListView::Make(aStack);
    CVexilCardListForm& form = *static_cast<CVexilCardListForm*>(view->Form());
    form.show();
    view->CardBox().Resize();
    Paint(*form.fCardBox);

    std::vector<double> fills;
    std::vector<double> filters;
    for (int i = 0; i < gRounds; ++i)
    {
        view->BackgroundCombo().SetSelIndex(0);
        fills.push_back(TimeMs([&] {
            view->FillAndShowCardList(true);
            Paint(*form.fCardBox);
        }));
        // The user picks the background: the list is filled for it.
        filters.push_back(TimeMs([&] {
            form.fBackgroundCombo->setCurrentIndex(1);
            emit form.fBackgroundCombo->activated(1);
            Paint(*form.fCardBox);
        }));
    }
    gFigures.Fill = Median(fills);
    gFigures.Filter = Median(filters);
    if (view->CardBox().NumLines() != gCardCount)
        aState.SkipWithError("the list does not hold every card");

    aSize = form.fCardBox->size();
    for (int i = 0; i < form.fCardBox->columnCount(); ++i)
        aTitles += form.fCardBox->headerItem()->text(i);
    aLines.clear();
    aLines.reserve(view->CardBox().NumLines());
    for (int32_t i = 0; i < view->CardBox().NumLines(); ++i)
        aLines += view->CardBox().Line(i);
    CVexilFormRegistry::Unload(CVexilCardListForm::KClassName);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A plain tree widget of the card list's size filled with the lines.
void RunAnchor(const QStringList& aTitles, const QStringList& aLines, const QSize& aSize)
{
    QTreeWidget tree;
    tree.setRootIsDecorated(false);
    tree.setUniformRowHeights(true);
    tree.resize(aSize);
    tree.show();
    Paint(tree);
    std::vector<double> times;
    for (int i = 0; i < gRounds; ++i)
    {
        times.push_back(TimeMs([&] {
            tree.clear();
            tree.setColumnCount(int(aTitles.size()));
            tree.setHeaderLabels(aTitles);
            QList<QTreeWidgetItem*> items;
            items.reserve(aLines.size());
            for (const QString& line : aLines)
                items.append(new QTreeWidgetItem(line.split(QLatin1Char('\t'))));
            tree.insertTopLevelItems(0, items);
            tree.setCurrentItem(tree.topLevelItem(0));
            Paint(tree);
        }));
    }
    gFigures.Anchor = Median(times);
}

void BM_CardListAgainstTreeWidget(benchmark::State& aState)
{
    for (auto _ : aState)
    {
        const TStackRef stack = BuildStack();
        QStringList titles;
        QStringList lines;
        QSize size;
        RunCardList(stack, titles, lines, size, aState);
        RunAnchor(titles, lines, size);
        aState.SetIterationTime(gFigures.Fill / 1000);
    }
    aState.counters["cards"] = double(gCardCount);
    aState.counters["fill_ms"] = gFigures.Fill;
    aState.counters["filter_ms"] = gFigures.Filter;
    aState.counters["anchor_ms"] = gFigures.Anchor;
}
BENCHMARK(BM_CardListAgainstTreeWidget)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.Fill <= 0)
        return;
    const double ratio = gFigures.Anchor > 0 ? gFigures.Fill / gFigures.Anchor : 0.0;
    const bool met = ratio <= 1.5 && gFigures.Fill < 1000;
    std::printf("\n%d cards, five list fields; median of %d rounds:\n", gCardCount, gRounds);
    std::printf("  fill (All)      %8.1f ms\n", gFigures.Fill);
    std::printf("  anchor          %8.1f ms  (a plain QTreeWidget with the same lines)\n", gFigures.Anchor);
    std::printf("  ratio           %8.2f    (goal: at most 1.5 and the fill under 1000 ms) %s\n", ratio,
                met ? "met" : "MISSED");
    std::printf("  filter change   %8.1f ms\n", gFigures.Filter);
    PrintPeakMemory();
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--cards=", &gCardCount, 2}, {"--rounds=", &gRounds, 1}});
    CVexilCardWidgets::Start();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
