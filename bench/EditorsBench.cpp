// The sort key and value type editors on a large stack against SQLite in memory.
//
// One background holds 100,000 cards with a Text, an Integer and a Date field, a Text field
// of numbers written with a dot, and an Integer field of random numbers that mixes the cards
// up between the runs. The editors run on the offscreen platform; each step is timed from the
// click until the click's handler returns, so the broadcast is included. In one run:
//   sort:    "Sort Cards" of a three-part key (Text ascending, Integer descending, Date
//            ascending) in the sort key editor, the cards mixed up before each run;
//   keep:    Modify in the background editor with "Keep cards sorted?" newly ticked and that key
//            chosen (a new key index built and the mixed-up cards sorted by it);
//   modify:  Modify of that key kept by the background, a way turned round each run (a new
//            key index built and the cards sorted by it);
//   type:    Change Type of the number texts to Float in the value type editor (the check of
//            every value included), a new Text field of the same texts each run;
// and the same data in SQLite in memory:
//   index:   CREATE INDEX on the three columns (the integer descending) and all ids read in
//            index order;
//   update:  UPDATE of the text column with CAST(... AS REAL).
// Goal: sort, keep and modify at most twice the index, type at most twice the update. The summary
// prints the medians, the ratios and whether the model's order is SQLite's.
//
//   bench_EditorsBench             all figures
//   bench_EditorsBench --runs=3    fewer runs of each step

#include "BenchSupport.h"
#include "SqliteSupport.h"
#include "editors/VexilBackgroundEdit.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilValueEdit.h"
#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"
#include "foundation/VexilValue.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilWinMan.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace
{
constexpr int kCards = 100'000;
int gRuns = 5;

struct TFigures
{
    double Sort = 0;
    double Keep = 0;
    double Modify = 0;
    double Type = 0;
    double SqlIndex = 0;
    double SqlUpdate = 0;
    bool SameOrder = false;
    bool Converted = false;
};
TFigures gFigures;

// One card's values.
struct TRow
{
    QString Title;
    int32_t Number = 0;
    QDate Day;
    QString Amount;
    int32_t Mix = 0;
};

std::vector<TRow> MakeRows()
{
    std::mt19937 random(15);
    std::uniform_int_distribution<int> letter(0, 51);
    std::uniform_int_distribution<int32_t> number(-100'000, 100'000);
    std::uniform_int_distribution<int> day(0, 20'000);
    std::uniform_int_distribution<int> amount(0, 9'999'999);
    std::vector<TRow> rows(kCards);
    for (TRow& row : rows)
    {
        // Few titles, so that the other parts decide often.
        for (int i = 0; i < 3; ++i)
        {
            const int l = letter(random);
            row.Title += QChar(l < 26 ? 'a' + l : 'A' + l - 26);
        }
        row.Number = number(random) / 1000;
        row.Day = QDate(1970, 1, 1).addDays(day(random));
        const int cents = amount(random);
        row.Amount = QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
        row.Mix = number(random);
    }
    return rows;
}

class CBenchStack
{
public:
    explicit CBenchStack(const std::vector<TRow>& aRows)
    {
        iStack = std::make_shared<CVexilStack>();
        iStack->Construct(QStringLiteral("Bench"));
        iBackground = iStack->Background(0);
        iBackground->SetName(QStringLiteral("Items"));
        iTitle = AddField(QStringLiteral("Title"), EConTypeText);
        iTitle->SetMaxChar(30);
        iNumber = AddField(QStringLiteral("Number"), EConTypeInteger);
        iDay = AddField(QStringLiteral("Day"), EConTypeDate);
        iMix = AddField(QStringLiteral("Mix"), EConTypeInteger);
        for (size_t i = 0; i < aRows.size(); ++i)
        {
            const TRow& row = aRows[i];
            auto card = std::make_shared<CVexilCard>();
            card->Construct(QStringLiteral("Card %1").arg(i), iBackground);
            Store(*card, *iTitle, Text(row.Title));
            Store(*card, *iNumber, Int(row.Number));
            TValue day;
            day.iType = EValDate;
            day.iDate = CVexilValue::FromQDate(row.Day);
            Store(*card, *iDay, day);
            Store(*card, *iMix, Int(row.Mix));
            TCardRef none;
            iStack->AddCard(card, none, false);
            iCards.push_back(card);
        }
        iSorter = AddKey(QStringLiteral("Sorter"), {{iTitle, 0}, {iNumber, 1}, {iDay, 0}});
        iMixer = AddKey(QStringLiteral("Mixer"), {{iMix, 0}});
    }

    const TStackRef& Stack() const { return iStack; }
    const TControlSetRef& Background() const { return iBackground; }
    const TSortKeyRef& Sorter() const { return iSorter; }

    // Puts the cards in the order of the random numbers.
    void MixUp() { iStack->Sort(*iBackground, iMixer, nullptr, false); }

    // A new Text field holding the amounts, written as an importer writes values.
    TControlRef AddAmounts(const std::vector<TRow>& aRows, int aRun)
    {
        const TControlRef field = AddField(QStringLiteral("Amount %1").arg(aRun), EConTypeText);
        for (size_t i = 0; i < iCards.size(); ++i)
            Store(*iCards[i], *field, Text(aRows[i].Amount));
        return field;
    }

    // The card ids in stack order.
    std::vector<int32_t> Order() const
    {
        std::vector<int32_t> ids;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = iStack->GetFirstCard(card, cursor); more; more = iStack->GetNextCard(card, cursor))
            ids.push_back(card->Id());
        return ids;
    }

private:
    static TValue Text(const QString& aText)
    {
        TValue value;
        value.iType = EValStr;
        value.iStr = aText;
        return value;
    }
    static TValue Int(int32_t aNum)
    {
        TValue value;
        value.iType = EValInt;
        value.iInt = aNum;
        return value;
    }
    static void Store(CVexilCard& aCard, const CVexilControl& aField, const TValue& aValue)
    {
        aCard.AddStoredVal(aField.Id(), aValue);
    }

    TControlRef AddField(const QString& aName, int32_t aType)
    {
        auto field = std::make_shared<CVexilControl>();
        field->Construct(iStack->IdGen().NextId(), aName, aType);
        field->SetFlags(EConInCardView | EConInCardList);
        iBackground->AddControl(field, UndefLong);
        return field;
    }

    TSortKeyRef AddKey(const QString& aName, const std::vector<std::pair<TControlRef, int32_t>>& aParts)
    {
        auto key = std::make_shared<CVexilSortKey>();
        key->Contruct(iStack->IdGen().NextId(), aName, iBackground->Id());
        for (const auto& [field, way] : aParts)
            key->AddKeyPart(field->ConType(), field->Id(), way, CVexilLib::SortKeyLen(*field));
        iStack->AddSortKey(key);
        return key;
    }

    TStackRef iStack;
    TControlSetRef iBackground;
    TControlRef iTitle;
    TControlRef iNumber;
    TControlRef iDay;
    TControlRef iMix;
    std::vector<TCardRef> iCards;
    TSortKeyRef iSorter;
    TSortKeyRef iMixer;
};

template <class T>
T* ShowWindow(const QString& aClassName)
{
    auto* window = static_cast<T*>(CVexilWinMan::NameToForm(aClassName));
    CVexilWinMan::ShowForm(*window);
    QCoreApplication::processEvents();
    return window;
}

// The user's click on the key's line.
void ClickKeyLine(CVexilSortKeyEdit1& aEditor, const QString& aName)
{
    const QList<QTreeWidgetItem*> lines = aEditor.fSortKeyBox->findItems(aName, Qt::MatchExactly);
    if (lines.isEmpty())
        return;
    aEditor.fSortKeyBox->setCurrentItem(lines.first());
    emit aEditor.fSortKeyBox->itemClicked(lines.first(), 0);
}

// The user's click on the first background's line: the background is shown.
void ClickBackgroundLine(CVexilBackgroundEdit& aEditor)
{
    QTreeWidgetItem* line = aEditor.fBackgroundBox->topLevelItem(0);
    aEditor.fBackgroundBox->setCurrentItem(line);
    emit aEditor.fBackgroundBox->itemClicked(line, 0);
}

// Card ids in the key's order and the amounts as they are stored, in SQLite.
class CSqlite
{
public:
    explicit CSqlite(const std::vector<TRow>& aRows)
    {
        Check(sqlite3_open(":memory:", &iDb), SQLITE_OK, iDb);
        Exec(iDb, "CREATE TABLE cards (id INTEGER PRIMARY KEY, title TEXT, number INTEGER, day INTEGER, "
                  "amount TEXT, original TEXT)");
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(iDb, "INSERT INTO cards VALUES (?, ?, ?, ?, ?, ?)", -1, &insert, nullptr), SQLITE_OK,
              iDb);
        Exec(iDb, "BEGIN");
        for (size_t i = 0; i < aRows.size(); ++i)
        {
            const TRow& row = aRows[i];
            sqlite3_bind_int64(insert, 1, int64_t(i));
            sqlite3_bind_text16(insert, 2, row.Title.utf16(), int(row.Title.size() * 2), SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, row.Number);
            sqlite3_bind_int(insert, 4, row.Day.year() * 10000 + row.Day.month() * 100 + row.Day.day());
            const QByteArray amount = row.Amount.toUtf8();
            sqlite3_bind_text(insert, 5, amount.constData(), int(amount.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 6, amount.constData(), int(amount.size()), SQLITE_TRANSIENT);
            Check(sqlite3_step(insert), SQLITE_DONE, iDb);
            sqlite3_reset(insert);
        }
        Exec(iDb, "COMMIT");
        sqlite3_finalize(insert);
    }
    ~CSqlite() { sqlite3_close(iDb); }
    CSqlite(const CSqlite&) = delete;
    CSqlite& operator=(const CSqlite&) = delete;

    // The index built and the ids read in its order.
    std::vector<int32_t> IndexAndRead()
    {
        Exec(iDb, "CREATE INDEX cards_key ON cards (title COLLATE NOCASE, number DESC, day)");
        sqlite3_stmt* select = nullptr;
        Check(sqlite3_prepare_v2(iDb,
                                 "SELECT id FROM cards INDEXED BY cards_key "
                                 "ORDER BY title COLLATE NOCASE, number DESC, day",
                                 -1, &select, nullptr),
              SQLITE_OK, iDb);
        std::vector<int32_t> ids;
        ids.reserve(kCards);
        while (sqlite3_step(select) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int(select, 0));
        sqlite3_finalize(select);
        return ids;
    }
    void DropIndex() { Exec(iDb, "DROP INDEX cards_key"); }

    void CastAmounts() { Exec(iDb, "UPDATE cards SET amount = CAST(amount AS REAL)"); }
    void ResetAmounts() { Exec(iDb, "UPDATE cards SET amount = original"); }

private:
    sqlite3* iDb = nullptr;
};

void RunSqlite(const std::vector<TRow>& aRows, std::vector<int32_t>& aOrder)
{
    CSqlite db(aRows);
    std::vector<double> times;
    for (int run = 0; run < gRuns; ++run)
    {
        times.push_back(TimeMs([&] { aOrder = db.IndexAndRead(); }));
        db.DropIndex();
    }
    gFigures.SqlIndex = Median(times);
    times.clear();
    for (int run = 0; run < gRuns; ++run)
    {
        times.push_back(TimeMs([&] { db.CastAmounts(); }));
        db.ResetAmounts();
    }
    gFigures.SqlUpdate = Median(times);
}

void RunEditors(const std::vector<TRow>& aRows, const std::vector<int32_t>& aSqlOrder)
{
    CBenchStack bench(aRows);
    gStack = bench.Stack();

    auto* keys = ShowWindow<CVexilSortKeyEdit1>(CVexilSortKeyEdit1::KClassName);
    std::vector<double> times;
    for (int run = 0; run < gRuns; ++run)
    {
        bench.MixUp();
        ClickKeyLine(*keys, QStringLiteral("Sorter"));
        times.push_back(TimeMs([&] { keys->fSortBut->click(); }));
    }
    gFigures.Sort = Median(times);
    gFigures.SameOrder = bench.Order() == aSqlOrder;

    // The background editor makes the background keep its cards sorted by the key; between the
    // runs the box is unticked again (the order stays) and the cards mixed up.
    auto* backgrounds = ShowWindow<CVexilBackgroundEdit>(CVexilBackgroundEdit::KClassName);
    times.clear();
    for (int run = 0; run < gRuns; ++run)
    {
        if (run > 0)
        {
            ClickBackgroundLine(*backgrounds);
            backgrounds->fKeepCardsSorted->setChecked(false);
            backgrounds->fModifyBut->click();
        }
        bench.MixUp();
        ClickBackgroundLine(*backgrounds);
        backgrounds->fKeepCardsSorted->setChecked(true);
        backgrounds->fSortKeyCombo->setCurrentIndex(backgrounds->fSortKeyCombo->findText(QStringLiteral("Sorter")));
        times.push_back(TimeMs([&] { backgrounds->fModifyBut->click(); }));
    }
    gFigures.Keep = Median(times);
    gFigures.SameOrder = gFigures.SameOrder && bench.Order() == aSqlOrder &&
                         bench.Background()->KeyIndex()->SortKeyId() == bench.Sorter()->Id();

    // Modify of the kept key turns a way round each run and leaves it descending, as it began.
    times.clear();
    for (int run = 0; run < gRuns; ++run)
    {
        ClickKeyLine(*keys, QStringLiteral("Sorter"));
        keys->fSortWayCombo[1]->setCurrentIndex((gRuns - run) % 2);
        times.push_back(TimeMs([&] { keys->fModifyBut->click(); }));
    }
    gFigures.Modify = Median(times);
    gFigures.SameOrder = gFigures.SameOrder && bench.Order() == aSqlOrder;

    auto* values = ShowWindow<CVexilValueEdit>(CVexilValueEdit::KClassName);
    times.clear();
    gFigures.Converted = true;
    for (int run = 0; run < gRuns; ++run)
    {
        const TControlRef field = bench.AddAmounts(aRows, run);
        // As the field editor announces a new field.
        CVexilWinMan::NotifyAll(EChgStructure);
        values->SetAndShowControl(bench.Background(), field);
        values->fNewTypeCombo->setCurrentIndex(EConTypeReal);
        values->fDecimalDot->setChecked(true);
        times.push_back(TimeMs([&] { values->fChangeTypeBut->click(); }));
        TCardRef first;
        bench.Stack()->OrderFirst(first);
        TValue value;
        first->GetControlVal(field->Id(), value, false);
        gFigures.Converted = gFigures.Converted && field->ConType() == EConTypeReal && value.iType == EValReal;
    }
    gFigures.Type = Median(times);

    CVexilFormRegistry::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gStack.reset();
}

void BM_EditorsAgainstSqlite(benchmark::State& aState)
{
    const std::vector<TRow> rows = MakeRows();
    for (auto _ : aState)
    {
        std::vector<int32_t> sqlOrder;
        RunSqlite(rows, sqlOrder);
        RunEditors(rows, sqlOrder);
        if (!gFigures.Converted)
            aState.SkipWithError("Change Type left values unconverted");
        aState.SetIterationTime((gFigures.Sort + gFigures.Keep + gFigures.Modify + gFigures.Type) / 1000);
    }
    aState.counters["cards"] = kCards;
    aState.counters["sort_ms"] = gFigures.Sort;
    aState.counters["keep_ms"] = gFigures.Keep;
    aState.counters["modify_ms"] = gFigures.Modify;
    aState.counters["type_ms"] = gFigures.Type;
    aState.counters["sqlite_index_ms"] = gFigures.SqlIndex;
    aState.counters["sqlite_update_ms"] = gFigures.SqlUpdate;
}
BENCHMARK(BM_EditorsAgainstSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintLine(const char* aStep, double aModel, const char* aAnchorName, double aAnchor)
{
    const double ratio = aModel / aAnchor;
    std::printf("  %-8s %9.3f ms   %-24s %9.3f ms   ratio %5.2f  (goal: at most 2) %s\n", aStep, aModel, aAnchorName,
                aAnchor, ratio, ratio <= 2 ? "met" : "MISSED");
}

void PrintSummary()
{
    if (gFigures.SqlIndex <= 0 || gFigures.SqlUpdate <= 0)
        return;
    std::printf("\n%d cards of one background; median of %d runs each (wall time, from the click until its "
                "handler returns):\n",
                kCards, gRuns);
    PrintLine("sort", gFigures.Sort, "SQLite index and read", gFigures.SqlIndex);
    PrintLine("keep", gFigures.Keep, "SQLite index and read", gFigures.SqlIndex);
    PrintLine("modify", gFigures.Modify, "SQLite index and read", gFigures.SqlIndex);
    PrintLine("type", gFigures.Type, "SQLite UPDATE CAST", gFigures.SqlUpdate);
    std::printf("  the cards sorted as SQLite orders them: %s\n", gFigures.SameOrder ? "yes" : "NO");
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
    CVexilSortKeyEdit1::Register();
    CVexilValueEdit::Register();
    CVexilBackgroundEdit::Register();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
