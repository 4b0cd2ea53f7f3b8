#pragma once

#include <functional>

class QObject;

// The process signals the program answers. A termination request (SIGTERM) becomes a call on
// the event loop: the signal handler only writes a byte into a pipe whose reading end the
// loop watches, so a request that comes while the program starts waits until the loop runs.
// A write past the file size limit (SIGXFSZ) is ignored, so that the write fails with an error
// (the old file stays) instead of the process ending in the middle of a save.
class CVexilSignals
{
public:
    // From the first line of main, before the application object exists.
    static void Install();
    // aHandler runs on the event loop for the requests that came since Install; it goes with
    // aContext.
    static void OnTerminate(QObject* aContext, std::function<void()> aHandler);
};
