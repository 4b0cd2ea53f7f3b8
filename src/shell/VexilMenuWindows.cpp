#include "shell/VexilMenuWindows.h"

namespace
{
IVexilMenuWindows* gWindows = nullptr;
}  // namespace

void CVexilMenuWindows::Install(IVexilMenuWindows* aWindows)
{
    gWindows = aWindows;
}

IVexilMenuWindows& CVexilMenuWindows::Current()
{
    static IVexilMenuWindows defaults;
    return gWindows ? *gWindows : defaults;
}
