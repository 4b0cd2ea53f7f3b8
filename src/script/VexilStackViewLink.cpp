#include "script/VexilStackViewLink.h"

namespace
{
IVexilStackViewLink* gView = nullptr;
}

void CVexilStackViewLink::Install(IVexilStackViewLink* aView)
{
    gView = aView;
}

IVexilStackViewLink* CVexilStackViewLink::Current()
{
    return gView;
}
