// Opening the field editor on a large stack against a plain window of the same inputs.
//
// The field editor lists fields, not cards, so it must open and show a field as fast on a
// stack of 100,000 cards as on one of 10. One background of 30 fields (the nine types in
// turn) holds the cards; the editor runs on the offscreen platform. In one run, for 100,000
// and for 10 cards:
//   open:   the window made, shown and a field shown (ShowForm and SetAndShowControl), until
//           the events it posted are handled; the window is unloaded between the runs;
//   other:  SetAndShowControl of another field of the open window;
// and, as the anchor, a plain QWidget with as many line edits, check boxes and combo boxes,
// the combo boxes filled with the same lines: made and shown, and then every input set anew.
// Once each: Create of a Text field with a default value (every card gets it) and the count
// that Delete makes of the cards and set values of a field. The summary prints the medians,
// the ratios to the anchor and to the 10-card figures, and the goals: opening under 200 ms,
// another field under 20 ms, and at most 1.2 times the 10-card figures.
//
//   bench_ControlEditBench              all figures
//   bench_ControlEditBench --runs=5     fewer runs of each step

#include "BenchSupport.h"
#include "editors/VexilControlEdit.h"
#include "editors/VexilControlWriter.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace
{
constexpr int kFields = 30;
constexpr int kBigStack = 100'000;
constexpr int kSmallStack = 10;
int gRuns = 20;

struct TFigures
{
    double Open = 0;
    double Other = 0;
    double AnchorOpen = 0;
    double AnchorOther = 0;
    double Create = 0;
    double Count = 0;
};

std::map<int, TFigures> gFigures;

// The events a step posted (layouts, the first paint) are part of it.
void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

class CBenchStack
{
public:
    explicit CBenchStack(int aCards)
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Bench"));
        iBackground = iStack->Background(0);
        iBackground->SetName(QStringLiteral("Items"));
        for (int i = 0; i < kFields; ++i)
        {
            auto field = std::make_shared<CVexilControl>();
            field->Construct(iStack->IdGen().NextId(), QStringLiteral("Field %1").arg(i), i % 9);
            field->SetFlags(EConInCardView | (field->AllowsCombo() ? EConInCardList : 0));
            field->SetLabel(field->Name());
            iBackground->AddControl(field, UndefLong);
            iFields.push_back(field);
        }
        for (int i = 0; i < aCards; ++i)
            AddCard(i);
    }

    const TStackRef& Stack() const { return iStack; }
    const TControlSetRef& Background() const { return iBackground; }
    const std::vector<TControlRef>& Fields() const { return iFields; }

private:
    // As an importer adds a card: its values first, then the card into the stack.
    void AddCard(int aIndex)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("Card %1").arg(aIndex), iBackground);
        for (const TControlRef& field : iFields)
        {
            TValue val;
            switch (field->ConType())
            {
            case EConTypeText:
            case EConTypeList: val.iType = EValStr; val.iStr = QStringLiteral("Value %1").arg(aIndex); break;
            case EConTypeInteger: val.iType = EValInt; val.iInt = aIndex; break;
            case EConTypeReal: val.iType = EValReal; val.iReal = aIndex / 100.0; break;
            case EConTypeDate: val.iType = EValDate; val.iDate = CVexilValue::FromQDate(QDate(2020, 1, 1)); break;
            case EConTypeTime: val.iType = EValTime; val.iTime = 0.5; break;
            case EConTypeBoolean: val.iType = EValBool; val.iBool = aIndex % 2 == 0; break;
            default: continue;
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

CVexilControlEdit* OpenEditor(const CBenchStack& aBench, const TControlRef& aField)
{
    auto* editor = static_cast<CVexilControlEdit*>(CVexilWinMan::NameToForm(CVexilControlEdit::KClassName));
    CVexilWinMan::ShowForm(*editor);
    editor->SetAndShowControl(aBench.Background(), aField);
    Settle();
    return editor;
}

void UnloadEditor()
{
    CVexilFormRegistry::Unload(CVexilControlEdit::KClassName);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A plain window with the editor's line edits, check boxes and combo boxes (with their lines).
class CAnchor
{
public:
    explicit CAnchor(const CVexilControlEdit& aEditor)
    {
        for (CVexilCtl* ctl : aEditor.Controls())
        {
            if (qobject_cast<QLineEdit*>(ctl->Widget()))
                ++iLineEdits;
            else if (qobject_cast<QCheckBox*>(ctl->Widget()))
                ++iCheckBoxes;
            else if (auto* combo = qobject_cast<QComboBox*>(ctl->Widget()))
            {
                QStringList lines;
                for (int i = 0; i < combo->count(); ++i)
                    lines += combo->itemText(i);
                iComboLines.push_back(lines);
            }
        }
    }

    int Inputs() const { return iLineEdits + iCheckBoxes + int(iComboLines.size()); }

    void Open()
    {
        iWindow = std::make_unique<QWidget>();
        iWindow->resize(800, 580);
        int at = 0;
        auto place = [&](QWidget* aWidget) {
            aWidget->setGeometry(10 + (at / 20) * 200, 10 + (at % 20) * 26, 190, 22);
            ++at;
        };
        iEdits.clear();
        iChecks.clear();
        iCombos.clear();
        for (int i = 0; i < iLineEdits; ++i)
        {
            iEdits.push_back(new QLineEdit(iWindow.get()));
            place(iEdits.back());
        }
        for (int i = 0; i < iCheckBoxes; ++i)
        {
            iChecks.push_back(new QCheckBox(QStringLiteral("Flag %1").arg(i), iWindow.get()));
            place(iChecks.back());
        }
        for (const QStringList& lines : iComboLines)
        {
            auto* combo = new QComboBox(iWindow.get());
            combo->addItems(lines);
            iCombos.push_back(combo);
            place(combo);
        }
        iWindow->show();
        Settle();
    }

    // Every input set anew, as showing another field does.
    void ShowOther(int aRun)
    {
        for (QLineEdit* edit : iEdits)
            edit->setText(QStringLiteral("Value %1").arg(aRun));
        for (QCheckBox* check : iChecks)
            check->setChecked(aRun % 2 == 0);
        for (QComboBox* combo : iCombos)
            combo->setCurrentIndex(combo->count() > 0 ? aRun % combo->count() : -1);
        Settle();
    }

    void Close() { iWindow.reset(); }

private:
    int iLineEdits = 0;
    int iCheckBoxes = 0;
    std::vector<QStringList> iComboLines;
    std::unique_ptr<QWidget> iWindow;
    std::vector<QLineEdit*> iEdits;
    std::vector<QCheckBox*> iChecks;
    std::vector<QComboBox*> iCombos;
};

void Run(int aCards, benchmark::State& aState)
{
    const CBenchStack bench(aCards);
    gStack = bench.Stack();
    const std::vector<TControlRef>& fields = bench.Fields();
    TFigures figures;

    std::vector<double> times;
    for (int run = 0; run < gRuns; ++run)
    {
        times.push_back(TimeMs([&] { OpenEditor(bench, fields[size_t(run) % fields.size()]); }));
        UnloadEditor();
    }
    figures.Open = Median(times);

    CVexilControlEdit* editor = OpenEditor(bench, fields[0]);
    times.clear();
    for (int run = 0; run < gRuns; ++run)
    {
        const TControlRef& other = fields[1 + size_t(run) % (fields.size() - 1)];
        times.push_back(TimeMs([&] {
            editor->SetAndShowControl(bench.Background(), other);
            Settle();
        }));
    }
    figures.Other = Median(times);
    if (editor->CurControl() != fields[1 + size_t(gRuns - 1) % (fields.size() - 1)])
        aState.SkipWithError("the field was not shown");

    CAnchor anchor(*editor);
    times.clear();
    for (int run = 0; run < gRuns; ++run)
    {
        times.push_back(TimeMs([&] { anchor.Open(); }));
        if (run + 1 < gRuns)
            anchor.Close();
    }
    figures.AnchorOpen = Median(times);
    times.clear();
    for (int run = 0; run < gRuns; ++run)
        times.push_back(TimeMs([&] { anchor.ShowOther(run); }));
    figures.AnchorOther = Median(times);
    anchor.Close();

    // Create: every card gets the default value; then the count of Delete.
    editor->fNewTextBut->click();
    editor->fName->setText(QStringLiteral("Added"));
    editor->fDefaultVal->setText(QStringLiteral("default"));
    figures.Create = TimeMs([&] { editor->fCreateBut->click(); });
    TControlRef added;
    if (!bench.Background()->GetControlByName(QStringLiteral("Added"), added))
    {
        aState.SkipWithError("Create wrote no field");
        return;
    }
    CVexilControlWriter writer(*bench.Stack(), *bench.Background());
    TValueCount count;
    figures.Count = TimeMs([&] { count = writer.CountValues(*added); });
    if (count.Cards != aCards || count.SetValues != aCards)
        aState.SkipWithError("the count missed cards");

    UnloadEditor();
    gStack.reset();
    gFigures[aCards] = figures;
    aState.SetIterationTime((figures.Open + figures.Other) / 1000);
    aState.counters["open_ms"] = figures.Open;
    aState.counters["other_ms"] = figures.Other;
    aState.counters["inputs"] = double(anchor.Inputs());
}

void BM_ControlEditAgainstPlainWindow(benchmark::State& aState)
{
    for (auto _ : aState)
        Run(int(aState.range(0)), aState);
    aState.counters["cards"] = double(aState.range(0));
}
BENCHMARK(BM_ControlEditAgainstPlainWindow)
    ->Arg(kBigStack)
    ->Arg(kSmallStack)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void PrintLine(const char* aStep, double aEditor, double aAnchor, double aSmall, double aGoal)
{
    const double ratio = aSmall > 0 ? aEditor / aSmall : 0;
    const bool met = aEditor < aGoal && ratio <= 1.2;
    std::printf("  %-6s editor %8.3f ms  anchor %8.3f ms  ratio to anchor %5.2f  10 cards %8.3f ms  ratio %5.2f"
                "  (goal: under %.0f ms, at most 1.2 x 10 cards) %s\n",
                aStep, aEditor, aAnchor, aAnchor > 0 ? aEditor / aAnchor : 0.0, aSmall, ratio, aGoal,
                met ? "met" : "MISSED");
}

void PrintSummary()
{
    if (gFigures.count(kBigStack) == 0 || gFigures.count(kSmallStack) == 0)
        return;
    const TFigures& big = gFigures[kBigStack];
    const TFigures& small = gFigures[kSmallStack];
    std::printf("\nOne background of %d fields; median of %d runs each.\n", kFields, gRuns);
    for (const auto& [cards, figures] : gFigures)
        std::printf("%7d cards: open %8.3f ms (anchor %8.3f ms), other field %7.3f ms (anchor %7.3f ms), "
                    "Create of a Text field with a default %9.3f ms, Delete's count %8.3f ms\n",
                    cards, figures.Open, figures.AnchorOpen, figures.Other, figures.AnchorOther, figures.Create,
                    figures.Count);
    std::printf("%d cards against the anchor and against %d cards:\n", kBigStack, kSmallStack);
    PrintLine("open", big.Open, big.AnchorOpen, small.Open, 200);
    PrintLine("other", big.Other, big.AnchorOther, small.Other, 20);
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--runs=", &gRuns, 1}});
    // Window placements go to a settings file of its own.
    QTemporaryDir settings;
    CVexilReg::SetFileName(settings.filePath(QStringLiteral("Quorvans.ini")));
    CSilentPrompts prompts;
    CVexilPrompts::Install(&prompts);
    CVexilMsg::InitMsg();
    CVexilCardWidgets::Start();
    CVexilDialogLib::InitDialogLib();
    CVexilWinMan::RegisterForms();
    CVexilControlEdit::Register();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    CVexilFormRegistry::UnloadAll();
    return 0;
}
