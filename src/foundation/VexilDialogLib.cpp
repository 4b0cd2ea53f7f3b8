#include "foundation/VexilDialogLib.h"

namespace
{
int gWaitLevel = 0;
std::function<void(bool)> gCursorHook;
}

void CVexilDialogLib::BeginWait()
{
    if (gCursorHook)
        gCursorHook(true);
    ++gWaitLevel;
}

void CVexilDialogLib::EndWait()
{
    if (gWaitLevel > 0)
        --gWaitLevel;
    if (gWaitLevel == 0 && gCursorHook)
        gCursorHook(false);
}

int CVexilDialogLib::WaitLevel()
{
    return gWaitLevel;
}

void CVexilDialogLib::SetCursorHook(std::function<void(bool)> aHook)
{
    gCursorHook = std::move(aHook);
}
