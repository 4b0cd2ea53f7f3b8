#include "foundation/VexilPrompts.h"

#include <QCoreApplication>

namespace
{
IVexilPrompts* gPrompts = nullptr;
}

void CVexilPrompts::Install(IVexilPrompts* aPrompts)
{
    gPrompts = aPrompts;
}

IVexilPrompts* CVexilPrompts::Current()
{
    return gPrompts;
}

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
