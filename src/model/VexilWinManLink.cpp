#include "model/VexilWinManLink.h"

namespace
{
IVexilWinManLink* gWinMan = nullptr;
}

void CVexilWinManLink::Install(IVexilWinManLink* aWinMan)
{
    gWinMan = aWinMan;
}

void CVexilWinManLink::NotifyAll(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1)
{
    if (gWinMan)
        gWinMan->NotifyAll(aEvent, aObj0, aObj1);
}
