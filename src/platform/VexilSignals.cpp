#include "platform/VexilSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
int gPipe[2] = {-1, -1};

void OnSignal(int)
{
    // Only what is safe in a signal handler: one write, errno kept for the code interrupted.
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    errno = saved;
}
}  // namespace

void CVexilSignals::Install()
{
    std::signal(SIGXFSZ, SIG_IGN);
    if (gPipe[0] < 0 && ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

void CVexilSignals::OnTerminate(QObject* aContext, std::function<void()> aHandler)
{
    if (gPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, aContext);
    QObject::connect(notifier, &QSocketNotifier::activated, aContext, [handler = std::move(aHandler)] {
        char bytes[64];
        while (::read(gPipe[0], bytes, sizeof bytes) > 0)
        {
        }
        handler();
    });
}
