// The search window on a large stack against SQLite in memory.
//
// One background holds 100,000 cards with 10 fields: four Text, two Integer, a Real with two
// digits, a Date, a Time and a Boolean. One card in a hundred has the word "Quokka" in its last
// field, a Text, so that every card is read to its last field.
// The window runs on the offscreen platform; its search is timed from the delay timer (the
// wait cursor going on) until the list is filled (the wait cursor going off), and the first
// lines are the first paint of the list that shows a line. In the same run:
//   sqlite:  SELECT DISTINCT card FROM a table of the same display texts (one row per card
//            and field) WHERE text LIKE '%quokka%'.
// Goal: the search at most 1.5 times the query, its first lines within 100 ms of the timer.
//
//   bench_SearchBench             all figures
//   bench_SearchBench --runs=3    fewer runs

#include "BenchSupport.h"
#include "SqliteSupport.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilSearchForm.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTime>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

namespace
{
constexpr int kCards = 100'000;
constexpr int kFoundEvery = 100;
const QString kSearch = QStringLiteral("quokka");
int gRuns = 5;

struct TFigures
{
    double Search = 0;
    double FirstLines = 0;
    double Sql = 0;
    int Lines = 0;
    int SqlCards = 0;
};
TFigures gFigures;

TValue Value(int32_t aType)
{
    TValue value;
    value.iType = aType;
    return value;
}

// The stack, and the display texts of its values for SQLite.
class CBenchStack
{
public:
    CBenchStack()
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Bench"));
        const TControlSetRef background = iStack->Background(0);
        background->SetName(QStringLiteral("Animals"));
        for (const auto& [name, type] : {std::pair{"Name", EConTypeText}, std::pair{"Kind", EConTypeText},
                                         std::pair{"Legs", EConTypeInteger}, std::pair{"Weight", EConTypeReal},
                                         std::pair{"Born", EConTypeDate}, std::pair{"Fed", EConTypeTime},
                                         std::pair{"Place", EConTypeText}, std::pair{"Count", EConTypeInteger},
                                         std::pair{"Tame", EConTypeBoolean}, std::pair{"Notes", EConTypeText}})
        {
            auto field = std::make_shared<CVexilControl>();
            field->Construct(iStack->IdGen().NextId(), QLatin1String(name), type);
            if (type == EConTypeReal)
                field->SetDigits(2);
            background->AddControl(field, UndefLong);
            iFields.push_back(field);
        }
        std::mt19937 random(16);
        std::uniform_int_distribution<int> number(0, 1'000'000);
        const QStringList kinds = {"Wombat", "Koala", "Emu", "Dingo", "Platypus", "Echidna"};
        for (int i = 0; i < kCards; ++i)
        {
            auto card = std::make_shared<CVexilCard>();
            card->Construct(QStringLiteral("Animal %1").arg(i), background);
            std::vector<TValue> values(iFields.size());
            values[0] = Text(QStringLiteral("Animal %1").arg(i));
            values[1] = Text(kinds[number(random) % kinds.size()]);
            values[2] = Int(number(random) % 5);
            values[3] = Value(EValReal);
            values[3].iReal = number(random) / 7.0;
            values[4] = Value(EValDate);
            values[4].iDate = CVexilValue::FromQDate(QDate(1990, 1, 1).addDays(number(random) % 10'000));
            values[5] = Value(EValTime);
            values[5].iTime = CVexilValue::FromQTime(QTime(0, 0).addSecs(number(random) % 86'400));
            values[6] = Text(QStringLiteral("Pen %1, row %2").arg(number(random) % 300).arg(number(random) % 40));
            values[7] = Int(number(random));
            values[8] = Value(EValBool);
            values[8].iBool = number(random) % 2 == 0;
            values[9] = Text(i % kFoundEvery == kFoundEvery / 2 ? QStringLiteral("Shares the pen with a Quokka")
                                                                : QStringLiteral("Feeds at dawn"));
            for (size_t f = 0; f < iFields.size(); ++f)
                card->AddStoredVal(iFields[f]->Id(), values[f]);
            TCardRef none;
            iStack->AddCard(card, none, false);
        }
    }

    const TStackRef& Stack() const { return iStack; }

    // Each card's display texts in stack order, as the card window shows them.
    template <class F>
    void ForEachText(F aText) const
    {
        TCardRef card;
        TValue value;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
            for (size_t f = 0; f < iFields.size(); ++f)
            {
                card->GetControlVal(iFields[f]->Id(), value, true);
                aText(card->Id(), int(f), CVexilValue::ValToExtText(value, *iFields[f]));
            }
    }

private:
    static TValue Text(const QString& aText)
    {
        TValue value = Value(EValStr);
        value.iStr = aText;
        return value;
    }
    static TValue Int(int32_t aNum)
    {
        TValue value = Value(EValInt);
        value.iInt = aNum;
        return value;
    }

    TStackRef iStack;
    std::vector<TControlRef> iFields;
};

void RunSqlite(const CBenchStack& aBench)
{
    sqlite3* db = nullptr;
    Check(sqlite3_open(":memory:", &db), SQLITE_OK, db);
    Exec(db, "CREATE TABLE texts (card INTEGER, field INTEGER, text TEXT)");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO texts VALUES (?, ?, ?)", -1, &insert, nullptr), SQLITE_OK, db);
    Exec(db, "BEGIN");
    aBench.ForEachText([&](int32_t aCard, int aField, const QString& aText) {
        const QByteArray text = aText.toUtf8();
        sqlite3_bind_int(insert, 1, aCard);
        sqlite3_bind_int(insert, 2, aField);
        sqlite3_bind_text(insert, 3, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        Check(sqlite3_step(insert), SQLITE_DONE, db);
        sqlite3_reset(insert);
    });
    Exec(db, "COMMIT");
    sqlite3_finalize(insert);

    const QByteArray sql = QStringLiteral("SELECT DISTINCT card FROM texts WHERE text LIKE '%%1%'").arg(kSearch).toUtf8();
    std::vector<double> times;
    for (int run = 0; run < gRuns; ++run)
    {
        std::vector<int32_t> cards;
        times.push_back(TimeMs([&] {
            sqlite3_stmt* select = nullptr;
            Check(sqlite3_prepare_v2(db, sql.constData(), -1, &select, nullptr), SQLITE_OK, db);
            while (sqlite3_step(select) == SQLITE_ROW)
                cards.push_back(sqlite3_column_int(select, 0));
            sqlite3_finalize(select);
        }));
        gFigures.SqlCards = int(cards.size());
    }
    gFigures.Sql = Median(times);
    sqlite3_close(db);
}

// Records the first paint of the list that shows a line.
class CFirstPaint : public QObject
{
public:
    explicit CFirstPaint(QTreeWidget& aList) : iList(aList) { aList.viewport()->installEventFilter(this); }

    bool eventFilter(QObject* aWatched, QEvent* aEvent) override
    {
        if (aEvent->type() == QEvent::Paint && iList.topLevelItemCount() > 0 && !Painted.isValid())
            Painted.start();
        return QObject::eventFilter(aWatched, aEvent);
    }

    QElapsedTimer Painted;

private:
    QTreeWidget& iList;
};

void RunWindow(const CBenchStack& aBench)
{
    gStack = aBench.Stack();
    auto* window = static_cast<CVexilSearchForm*>(CVexilWinMan::NameToForm(CVexilSearchForm::KClassName));
    CVexilWinMan::ShowForm(*window);
    QCoreApplication::processEvents();
    std::vector<double> searches;
    std::vector<double> firstLines;
    for (int run = 0; run < gRuns; ++run)
    {
        QElapsedTimer started;
        double searched = -1;
        CVexilDialogLib::SetCursorHook([&](bool aWait) {
            if (aWait)
                started.start();
            else
                searched = double(started.nsecsElapsed()) / 1e6;
        });
        CFirstPaint paint(*window->fCardList);
        // Each run a change of the text: the search follows the delay.
        window->fText->setText(run % 2 == 0 ? kSearch.toUpper() : kSearch);
        while (searched < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        searches.push_back(searched);
        if (paint.Painted.isValid())
            firstLines.push_back(double(started.nsecsElapsed() - paint.Painted.nsecsElapsed()) / 1e6);
        gFigures.Lines = window->fCardList->topLevelItemCount();
    }
    CVexilDialogLib::SetCursorHook(nullptr);
    gFigures.Search = Median(searches);
    gFigures.FirstLines = Median(firstLines);
    CVexilFormRegistry::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gStack.reset();
}

void BM_SearchAgainstSqlite(benchmark::State& aState)
{
    const CBenchStack bench;
    for (auto _ : aState)
    {
        RunSqlite(bench);
        RunWindow(bench);
        if (gFigures.Lines != kCards / kFoundEvery || gFigures.SqlCards != gFigures.Lines)
            aState.SkipWithError("the search and SQLite found different cards");
        aState.SetIterationTime(gFigures.Search / 1000);
    }
    aState.counters["cards"] = kCards;
    aState.counters["search_ms"] = gFigures.Search;
    aState.counters["first_lines_ms"] = gFigures.FirstLines;
    aState.counters["sqlite_ms"] = gFigures.Sql;
}
BENCHMARK(BM_SearchAgainstSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.Sql <= 0)
        return;
    const double ratio = gFigures.Search / gFigures.Sql;
    std::printf("\n%d cards of 10 fields, %d found; median of %d runs each (wall time):\n", kCards, gFigures.Lines,
                gRuns);
    std::printf("  search   %9.3f ms   SQLite SELECT DISTINCT LIKE %9.3f ms   ratio %5.2f  (goal: at most 1.5) %s\n",
                gFigures.Search, gFigures.Sql, ratio, ratio <= 1.5 ? "met" : "MISSED");
    std::printf("  first lines shown %9.3f ms after the timer  (goal: at most 100) %s\n", gFigures.FirstLines,
                gFigures.FirstLines <= 100 ? "met" : "MISSED");
    PrintPeakMemory();
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
    CSilentPrompts prompts(true);
    CVexilPrompts::Install(&prompts);
    CVexilMsg::InitMsg();
    CVexilCardWidgets::Start();
    CVexilDialogLib::InitDialogLib();
    CVexilWinMan::RegisterForms();
    CVexilSearchForm::Register();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
