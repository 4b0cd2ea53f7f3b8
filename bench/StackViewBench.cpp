// Browsing and editing a large stack in the card window against the model alone.
//
// Moving to another card and storing a typed value must feel instant on a big card file. One
// background of 15 fields (six text, one of them three lines high, three integer, two real,
// two date, one time, one Boolean) keeps 100,000 cards sorted by its first text field, the
// key. The stack view shows it in the card window on the offscreen platform. In one run:
//   next:     Next card, from the first card on;
//   previous: Previous card, back again;
//   goto:     GoToCard with a random card;
//   store:    a new key typed into the key field's box of the card shown and the field left,
//             which moves the card to its new sorted place;
// and, as the anchor, the model alone doing the same: OrderNext (OrderPrev) and reading the
// card's 15 values, reading a random card's values, SetControlVal of a new key. Every step
// is timed on its own; the summary prints the medians, the ratios of view to model and the
// goals (Next, Previous and GoToCard under 3 ms, the store under 5 ms).
//
//   bench_StackViewBench                          all figures
//   bench_StackViewBench --cards=10000 --steps=200   a smaller stack, fewer steps

#include "BenchSupport.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilStackView.h"
#include "script/VexilCompiler.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>

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
int gSteps = 1000;

struct TFigures
{
    double ViewNext = 0;
    double ViewPrev = 0;
    double ViewGoTo = 0;
    double ViewStore = 0;
    double ModelNext = 0;
    double ModelPrev = 0;
    double ModelGoTo = 0;
    double ModelStore = 0;
};

TFigures gFigures;

QString RandomKey(std::mt19937& aRandom)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    QString key(12, u' ');
    for (qsizetype i = 0; i < key.size(); ++i)
        key[i] = QLatin1Char(letters[aRandom() % 26]);
    return key;
}

class CBenchStack
{
public:
    CBenchStack()
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Bench"));
        iBackground = iStack->Background(0);
        const int32_t types[] = {EConTypeText,    EConTypeText, EConTypeText, EConTypeText, EConTypeText,
                                 EConTypeText,    EConTypeInteger, EConTypeInteger, EConTypeInteger, EConTypeReal,
                                 EConTypeReal,    EConTypeDate, EConTypeDate, EConTypeTime, EConTypeBoolean};
        for (const int32_t type : types)
        {
            auto field = std::make_shared<CVexilControl>();
            field->Construct(iStack->IdGen().NextId(), QStringLiteral("F") + QString::number(iFields.size()), type);
            field->SetFlags(EConInCardView);
            field->SetLabel(field->Name());
            field->SetVisChar(20);
            iBackground->AddControl(field, UndefLong);
            iFields.push_back(field);
        }
        iFields[5]->SetVisLines(3);

        std::mt19937 random(4711);
        for (int i = 0; i < gCardCount; ++i)
            AddCard(random, i);

        auto sortKey = std::make_shared<CVexilSortKey>();
        sortKey->Contruct(iStack->IdGen().NextId(), QStringLiteral("Key"), iBackground->Id());
        sortKey->AddKeyPart(EConTypeText, Key()->Id(), 0, 20);
        iStack->AddSortKey(sortKey);
        iStack->SetControlDynFlags();
        iBackground->SetFlag(ECseKeepCardsSorted, true);
        iStack->NewIndexForSortKey(sortKey);
    }

    const TStackRef& Stack() const { return iStack; }
    const TControlRef& Key() const { return iFields[0]; }
    const std::vector<TControlRef>& Fields() const { return iFields; }

    // What showing a card needs of the model at least: every value of the card.
    void ReadValues(CVexilCard& aCard) const
    {
        TValue val;
        for (const TControlRef& field : iFields)
            aCard.GetControlVal(field->Id(), val, true);
        benchmark::DoNotOptimize(val);
    }

    TCardRef RandomCard(std::mt19937& aRandom) const
    {
        TCardRef card;
        iStack->GetCardByNum(int32_t(aRandom() % uint32_t(iStack->NumCards())), card);
        return card;
    }

private:
    // As an importer adds a card: its values first, then the card into the stack.
    void AddCard(std::mt19937& aRandom, int aIndex)
    {
        auto card = std::make_shared<CVexilCard>();
        const QString key = RandomKey(aRandom);
        card->Construct(key, iBackground);
        for (const TControlRef& field : iFields)
        {
            TValue val;
            switch (field->ConType())
            {
            case EConTypeText:
                val.iType = EValStr;
                val.iStr = field == Key() ? key : QStringLiteral("Text %1 of card %2").arg(field->Id()).arg(aIndex);
                break;
            case EConTypeInteger:
                val.iType = EValInt;
                val.iInt = int32_t(aRandom() % 100'000);
                break;
            case EConTypeReal:
                val.iType = EValReal;
                val.iReal = double(aRandom() % 100'000) / 100;
                break;
            case EConTypeDate:
                val.iType = EValDate;
                val.iDate = CVexilValue::FromQDate(QDate(2000, 1, 1).addDays(int(aRandom() % 9000)));
                break;
            case EConTypeTime:
                val.iType = EValTime;
                val.iTime = double(aRandom() % 86'400) / 86'400;
                break;
            default:
                val.iType = EValBool;
                val.iBool = aRandom() % 2 == 0;
                break;
            }
            card->AddStoredVal(field->Id(), val);
        }
        TCardRef none;
        iStack->AddCard(card, none, false);
    }

    TStackRef iStack;
    TControlSetRef iBackground;
    std::vector<TControlRef> iFields;
};

void RunView(const CBenchStack& aBench, benchmark::State& aState)
{
    auto view = std::make_shared<CVexilStackView>();
    view->Contruct(QStringLiteral("Bench"));
    view->SetStack(aBench.Stack());
    gStack = aBench.Stack();
    gStackView = view;
    CVexilStackViewLink::Install(view.get());
    view->OpenCardView();
    if (!view->CurCard())
    {
        aState.SkipWithError("no card shown");
        return;
    }

    const int steps = std::min(gSteps, gCardCount - 1);
    TCardRef card;
    std::vector<double> times;
    for (int i = 0; i < steps; ++i)
        times.push_back(TimeMs([&] { view->OrderNext(card); }));
    gFigures.ViewNext = Median(times);
    times.clear();
    for (int i = 0; i < steps; ++i)
        times.push_back(TimeMs([&] { view->OrderPrev(card); }));
    gFigures.ViewPrev = Median(times);

    std::mt19937 random(815);
    times.clear();
    for (int i = 0; i < steps; ++i)
    {
        const TCardRef target = aBench.RandomCard(random);
        times.push_back(TimeMs([&] { view->GoToCard(target); }));
    }
    gFigures.ViewGoTo = Median(times);

    // The user types a new key into the key field's box and leaves it.
    auto* box = qobject_cast<CVexilTextBox*>(aBench.Key()->BaseControl());
    if (!box)
    {
        aState.SkipWithError("the key field has no text box");
        return;
    }
    times.clear();
    QString key;
    for (int i = 0; i < steps; ++i)
    {
        key = RandomKey(random);
        times.push_back(TimeMs([&] {
            view->BaseObjGotFocus(box);
            box->setText(key);
            view->BaseObjChange(box);
            bool cancel = false;
            view->BaseObjValidate(box, cancel);
        }));
    }
    gFigures.ViewStore = Median(times);
    TValue stored;
    view->CurCard()->GetControlVal(aBench.Key()->Id(), stored, false);
    if (stored.iStr != key)
        aState.SkipWithError("the typed key was not stored");

    view->Release();
    CVexilStackViewLink::Install(nullptr);
    gStackView.reset();
    gStack.reset();
}

void RunModel(const CBenchStack& aBench)
{
    const CVexilStack& stack = *aBench.Stack();
    const int steps = std::min(gSteps, gCardCount - 1);
    TCardRef card;
    stack.OrderFirst(card);
    std::vector<double> times;
    for (int i = 0; i < steps; ++i)
        times.push_back(TimeMs([&] {
            TCardRef next;
            if (stack.OrderNext(*card, next))
                card = next;
            aBench.ReadValues(*card);
        }));
    gFigures.ModelNext = Median(times);
    times.clear();
    for (int i = 0; i < steps; ++i)
        times.push_back(TimeMs([&] {
            TCardRef prev;
            if (stack.OrderPrev(*card, prev))
                card = prev;
            aBench.ReadValues(*card);
        }));
    gFigures.ModelPrev = Median(times);

    std::mt19937 random(815);
    times.clear();
    for (int i = 0; i < steps; ++i)
    {
        const TCardRef target = aBench.RandomCard(random);
        times.push_back(TimeMs([&] { aBench.ReadValues(*target); }));
    }
    gFigures.ModelGoTo = Median(times);

    times.clear();
    TValue key;
    key.iType = EValStr;
    for (int i = 0; i < steps; ++i)
    {
        key.iStr = RandomKey(random);
        times.push_back(TimeMs([&] { card->SetControlVal(aBench.Key()->Id(), key); }));
    }
    gFigures.ModelStore = Median(times);
}

void BM_StackViewAgainstModel(benchmark::State& aState)
{
    for (auto _ : aState)
    {
        const CBenchStack bench;
        RunModel(bench);
        RunView(bench, aState);
        aState.SetIterationTime((gFigures.ViewNext + gFigures.ViewPrev + gFigures.ViewGoTo + gFigures.ViewStore) /
                                1000);
    }
    aState.counters["cards"] = double(gCardCount);
    aState.counters["next_ms"] = gFigures.ViewNext;
    aState.counters["prev_ms"] = gFigures.ViewPrev;
    aState.counters["goto_ms"] = gFigures.ViewGoTo;
    aState.counters["store_ms"] = gFigures.ViewStore;
}
BENCHMARK(BM_StackViewAgainstModel)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintLine(const char* aStep, double aView, double aModel, double aGoal)
{
    std::printf("  %-10s view %7.3f ms  model %7.4f ms  ratio %7.1f  (goal: view under %.0f ms) %s\n", aStep, aView,
                aModel, aModel > 0 ? aView / aModel : 0.0, aGoal, aView < aGoal ? "met" : "MISSED");
}

void PrintSummary()
{
    if (gFigures.ViewNext <= 0)
        return;
    std::printf("\n%d cards, 15 fields, kept sorted by a text key; median of %d steps each:\n", gCardCount,
                std::min(gSteps, gCardCount - 1));
    PrintLine("next", gFigures.ViewNext, gFigures.ModelNext, 3);
    PrintLine("previous", gFigures.ViewPrev, gFigures.ModelPrev, 3);
    PrintLine("goto", gFigures.ViewGoTo, gFigures.ModelGoTo, 3);
    PrintLine("store key", gFigures.ViewStore, gFigures.ModelStore, 5);
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--cards=", &gCardCount, 2}, {"--steps=", &gSteps, 1}});
    CVexilCardWidgets::Start();
    gCompiler = std::make_unique<CVexilCompiler>();
    gCompiler->Construct();
    gInterpreter = std::make_unique<CVexilInterpreter>();
    gInterpreter->Construct();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
