#pragma once

// What the benchmarks share: a wall-clock timer, the median of runs, the peak memory of the
// process, a summary line against an anchor, and prompts that answer without a window.

#include "foundation/VexilPrompts.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <functional>
#include <vector>

inline double TimeMs(const std::function<void()>& aDo)
{
    QElapsedTimer timer;
    timer.start();
    aDo();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The peak resident memory of the process so far (VmHWM), in megabytes; 0 where the system
// does not tell it.
inline double PeakMegabytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    double kilobytes = 0;
    while (std::fgets(line, sizeof(line), status))
        if (std::sscanf(line, "VmHWM: %lf kB", &kilobytes) == 1)
            break;
    std::fclose(status);
    return kilobytes / 1024;
}

// One time against its anchor of the same run: both times, the ratio and, where there is one,
// the goal (the highest ratio allowed) and whether it is met.
inline void PrintAgainstAnchor(const char* aWhat, double aMs, const char* aAnchor, double aAnchorMs, double aGoal = 0)
{
    const double ratio = aAnchorMs > 0 ? aMs / aAnchorMs : 0.0;
    std::printf("  %-8s %10.1f ms   anchor %-24s %10.1f ms   ratio %5.2f", aWhat, aMs, aAnchor, aAnchorMs, ratio);
    if (aGoal > 0)
        std::printf("  (goal: at most %.2f) %s", aGoal, ratio <= aGoal ? "met" : "MISSED");
    std::printf("\n");
}

inline void PrintPeakMemory()
{
    std::printf("  peak memory of the process: %.0f MB\n", PeakMegabytes());
}

inline double Median(std::vector<double> aTimes)
{
    if (aTimes.empty())
        return 0;
    const auto middle = aTimes.begin() + std::ptrdiff_t(aTimes.size() / 2);
    std::nth_element(aTimes.begin(), middle, aTimes.end());
    return *middle;
}

// Every question answered No or cancelled; the last text asked is kept, and printed when the
// benchmark expects none.
class CSilentPrompts final : public IVexilPrompts
{
public:
    explicit CSilentPrompts(bool aPrintMessages = false) : iPrint(aPrintMessages) {}

    bool MessageBox(const TMsgPrompt& aPrompt) override
    {
        Asked = aPrompt.Text;
        if (iPrint)
            std::fprintf(stderr, "message %d: %s\n", aPrompt.Id, qPrintable(aPrompt.Text));
        return false;
    }
    void Notice(const QString& aText) override { Asked = aText; }
    bool ChooseColor(int32_t&) override { return false; }
    bool ChooseFont(TFontPrompt&) override { return false; }
    int16_t SaveChanges() override { return 2; }
    bool FileDialog(const TFileDialogPrompt&, QString&) override { return false; }
    QString BrowseForFolder(const QString&) override { return {}; }

    QString Asked;

private:
    bool iPrint;
};

// Benchmarks with windows run on the offscreen platform unless one is asked for, in the
// locale their texts are written for.
inline void PrepareOffscreenRun()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// "--name=N" options of a benchmark: each sets its number, never below its least value.
struct TIntFlag
{
    const char* Prefix;
    int* Value;
    int Least;
};

inline void ReadIntFlags(int aArgc, char** aArgv, std::initializer_list<TIntFlag> aFlags)
{
    for (int i = 1; i < aArgc; ++i)
        for (const TIntFlag& flag : aFlags)
            if (std::strncmp(aArgv[i], flag.Prefix, std::strlen(flag.Prefix)) == 0)
                *flag.Value = std::max(flag.Least, std::atoi(aArgv[i] + std::strlen(flag.Prefix)));
}
