// Opening the help window against a text browser reading the same pages from disk.
//
// Timed in one run, each as the median of several runs:
//   first:   CVexilHelpWindow::ShowTopic("ControlEditName") with no help window open, until the
//            page shows and the contents tree selects its entry (the window closed after each run);
//   page:    a new QTextBrowser showing the same page from its file in help/pages (the anchor);
//   topic:   ShowTopic of a topic on another page in the open window, until the tree follows;
//   next:    the anchor's browser going to that other page from disk (the anchor).
// Goal: first under 300 ms, topic under 30 ms. The summary prints the medians and the ratios.
//
//   bench_HelpBench             all figures
//   bench_HelpBench --runs=5    fewer runs of each step

#include "BenchSupport.h"
#include "foundation/VexilLowLevel.h"
#include "platform/VexilHelpWindow.h"

#include <QApplication>
#include <QTextBrowser>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{
int gRuns = 11;
const QString kPages = QStringLiteral(QUORVANS_HELP_PAGES);
const QString kFirstTopic = QStringLiteral("ControlEditName");
const QString kNextTopics[] = {QStringLiteral("MsgFormEMsgBadStruct"), QStringLiteral("ScriptRepeatWhile")};

struct TFigures
{
    double First = 0;
    double Page = 0;
    double Topic = 0;
    double Next = 0;
} gFigures;

// Opens the topic and waits until the window shows it with the contents tree following.
void OpenAndFollow(const QString& aTopic)
{
    CVexilHelpWindow::ShowTopic(aTopic);
    CVexilHelpWindow* help = CVexilHelpWindow::Current();
    const QUrl url = help->Help().TopicUrl(aTopic);
    // Polled without sleeping, so that the time is the window's own.
    QElapsedTimer waited;
    waited.start();
    while (help->ContentsSelection() != url && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
    if (help->ContentsSelection() != url)
        std::fprintf(stderr, "the contents tree did not follow %s\n", qPrintable(aTopic));
}

void BM_HelpWindowAgainstTextBrowser(benchmark::State& aState)
{
    for (auto _ : aState)
    {
        std::vector<double> first, page, topic, next;
        for (int run = 0; run < gRuns; ++run)
        {
            first.push_back(TimeMs([] { OpenAndFollow(kFirstTopic); }));
            topic.push_back(TimeMs([run] { OpenAndFollow(kNextTopics[run % 2]); }));
            delete CVexilHelpWindow::Current();

            QTextBrowser* browser = nullptr;
            page.push_back(TimeMs([&browser] {
                browser = new QTextBrowser;
                QUrl page = QUrl::fromLocalFile(kPages + QStringLiteral("/ControlEdit.html"));
                page.setFragment(QStringLiteral("ControlEditName"));
                browser->setSource(page);
                browser->show();
                QCoreApplication::processEvents();
            }));
            next.push_back(TimeMs([browser, run] {
                browser->setSource(QUrl::fromLocalFile(kPages + (run % 2 ? QStringLiteral("/ScriptStatements.html")
                                                                          : QStringLiteral("/MessagesFiles.html"))));
                QCoreApplication::processEvents();
            }));
            delete browser;
        }
        gFigures = {Median(first), Median(page), Median(topic), Median(next)};
        aState.SetIterationTime(gFigures.First / 1000);
    }
    aState.counters["first_ms"] = gFigures.First;
    aState.counters["page_ms"] = gFigures.Page;
    aState.counters["topic_ms"] = gFigures.Topic;
    aState.counters["next_ms"] = gFigures.Next;
}
BENCHMARK(BM_HelpWindowAgainstTextBrowser)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.Page <= 0 || gFigures.Next <= 0)
        return;
    std::printf("\nThe help window; median of %d runs each (wall time):\n", gRuns);
    std::printf("  first opening  %8.2f ms   (goal: under 300 ms) %s\n", gFigures.First,
                gFigures.First < 300 ? "met" : "MISSED");
    std::printf("  text browser   %8.2f ms   a new QTextBrowser showing the same page from disk\n", gFigures.Page);
    std::printf("  ratio          %8.2f\n", gFigures.First / gFigures.Page);
    std::printf("  new topic      %8.2f ms   (goal: under 30 ms) %s\n", gFigures.Topic,
                gFigures.Topic < 30 ? "met" : "MISSED");
    std::printf("  text browser   %8.2f ms   the same browser going to the other page from disk\n", gFigures.Next);
    std::printf("  ratio          %8.2f\n", gFigures.Topic / gFigures.Next);
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--runs=", &gRuns, 1}});
    CSilentPrompts prompts(true);
    CVexilPrompts::Install(&prompts);
    CVexilLowLevel::SetHelpFile(QStringLiteral(QUORVANS_HELP_COLLECTION));
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
