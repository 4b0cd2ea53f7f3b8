#pragma once

#include "model/VexilControlSet.h"

#include <QString>

#include <cstdint>

// The background another dialog handed over, looked up when it is used: the other dialog
// may have closed, and the background may since be deleted or closed with its stack.
class CVexilTargetBackground
{
public:
    // The background of the current stack with that id; otherwise message 1082
    // (EMsgBackgroundNotFound, Exclamation) naming it, and none.
    static TControlSetRef Find(int32_t aId, const QString& aName);
};
