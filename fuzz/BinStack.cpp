// Opening a binary stack file made of arbitrary bytes; see StackRoundTrip.h.

#include "FuzzEnv.h"
#include "StackRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    StackRoundTrip(InputBytes(aData, aSize), true);
    return 0;
}
