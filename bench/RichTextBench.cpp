// Wiki text rendered for the card window against Qt's HTML reader.
//
// A wiki text of about 100 KB: paragraphs of words with bold, italic and underlined stretches,
// links to cards, line breaks and paragraph gaps. Timed in one run:
//   wiki:    CVexilWikiTextBox::SetStr of the mark-up and the RTF it gives read into a
//            QTextDocument (CVexilRtfReader), as the card window shows a wiki field;
//   html:    QTextDocument::setHtml of the same text written as HTML (the anchor).
// Goal: wiki under 50 ms. The summary prints the medians, the ratio and whether both documents
// hold the same text.
//
//   bench_RichTextBench             all figures
//   bench_RichTextBench --runs=5    fewer runs of each step

#include "BenchSupport.h"
#include "platform/VexilRtfReader.h"
#include "presentation/VexilWikiTextBox.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace
{
constexpr qsizetype kTextSize = 100 * 1024;
int gRuns = 15;

struct TTexts
{
    QString Markup;
    QString Html;
};

struct TFigures
{
    double Wiki = 0;
    double Html = 0;
    bool SameText = false;
} gFigures;

// The same text as mark-up and as HTML, made of the same random choices.
TTexts MakeTexts()
{
    static const char* const kWords[] = {"card", "stack", "field", "value", "phone", "picture", "script", "list",
                                         "text", "order", "Zurich", "garden", "river", "number", "date", "time"};
    std::mt19937 random(16);
    TTexts texts;
    texts.Html = QStringLiteral("<html><body style=\"font-family:Arial; font-size:11pt\"><p>");
    int sentence = 0;
    while (texts.Markup.size() < kTextSize)
    {
        const QString word = QLatin1String(kWords[random() % std::size(kWords)]);
        switch (random() % 12)
        {
        case 0:
            texts.Markup += QStringLiteral("**") + word + QStringLiteral("**");
            texts.Html += QStringLiteral("<b>") + word + QStringLiteral("</b>");
            break;
        case 1:
            texts.Markup += QStringLiteral("//") + word + QStringLiteral("//");
            texts.Html += QStringLiteral("<i>") + word + QStringLiteral("</i>");
            break;
        case 2:
            texts.Markup += QStringLiteral("__") + word + QStringLiteral("__");
            texts.Html += QStringLiteral("<u>") + word + QStringLiteral("</u>");
            break;
        case 3:
        {
            const QString target = QStringLiteral("Card %1").arg(random() % 1000);
            texts.Markup += QStringLiteral("[[") + target + QLatin1Char('|') + word + QStringLiteral("]]");
            texts.Html += QStringLiteral("<a href=\"") + target +
                          QStringLiteral("\" style=\"color:#008000; text-decoration:underline\">") + word +
                          QStringLiteral("</a>");
            break;
        }
        default:
            texts.Markup += word;
            texts.Html += word;
            break;
        }
        if (++sentence % 12 != 0)
        {
            texts.Markup += QLatin1Char(' ');
            texts.Html += QLatin1Char(' ');
        }
        else if (sentence % 60 == 0)
        {
            texts.Markup += QStringLiteral("\r\n\r\n");
            texts.Html += QStringLiteral("</p><p style=\"margin-top:6px\">");
        }
        else
        {
            texts.Markup += QStringLiteral("\\\\\r\n");
            texts.Html += QStringLiteral("</p><p>");
        }
    }
    texts.Html += QStringLiteral("</p></body></html>");
    return texts;
}

void BM_WikiTextAgainstHtml(benchmark::State& aState)
{
    const TTexts texts = MakeTexts();
    CVexilWikiTextBox box;
    for (auto _ : aState)
    {
        std::vector<double> wiki;
        std::vector<double> html;
        QString wikiText;
        QString htmlText;
        for (int run = 0; run < gRuns; ++run)
        {
            QTextDocument wikiDoc;
            wiki.push_back(TimeMs([&] {
                box.SetStr(texts.Markup);
                CVexilRtfReader::Read(box.TextStr(), wikiDoc);
            }));
            QTextDocument htmlDoc;
            html.push_back(TimeMs([&] { htmlDoc.setHtml(texts.Html); }));
            wikiText = wikiDoc.toPlainText();
            htmlText = htmlDoc.toPlainText();
        }
        gFigures.Wiki = Median(wiki);
        gFigures.Html = Median(html);
        gFigures.SameText = wikiText.simplified() == htmlText.simplified();
        aState.SetIterationTime(gFigures.Wiki / 1000);
    }
    aState.counters["markup_bytes"] = double(texts.Markup.size());
    aState.counters["wiki_ms"] = gFigures.Wiki;
    aState.counters["html_ms"] = gFigures.Html;
}
BENCHMARK(BM_WikiTextAgainstHtml)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.Html <= 0)
        return;
    const double ratio = gFigures.Wiki / gFigures.Html;
    std::printf("\nA wiki text of %lld characters; median of %d runs each (wall time):\n", (long long)kTextSize, gRuns);
    std::printf("  wiki     %9.3f ms   (goal: under 50 ms) %s\n", gFigures.Wiki, gFigures.Wiki < 50 ? "met" : "MISSED");
    std::printf("  html     %9.3f ms   QTextDocument::setHtml of the same text\n", gFigures.Html);
    std::printf("  ratio    %9.2f\n", ratio);
    std::printf("  both documents hold the same text: %s\n", gFigures.SameText ? "yes" : "NO");
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
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
