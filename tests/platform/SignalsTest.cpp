#include "platform/VexilSignals.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

TEST(Signals, ATerminationRequestIsACallOnTheEventLoopAndAFileSizeSignalIsIgnored)
{
    CVexilSignals::Install();
    struct sigaction current = {};
    ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_IGN);

    // Requests made before anyone listens wait in the pipe and come as one call.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    int calls = 0;
    {
        QObject context;
        CVexilSignals::OnTerminate(&context, [&calls] { ++calls; });
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(QTest::qWaitFor([&calls] { return calls == 1; }, 2000));
        ASSERT_EQ(std::raise(SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&calls] { return calls == 2; }, 2000));
    }
    // The handler went with its context; the request stays for the next one.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    QTest::qWait(50);
    EXPECT_EQ(calls, 2);
    QObject next;
    CVexilSignals::OnTerminate(&next, [&calls] { calls += 10; });
    EXPECT_TRUE(QTest::qWaitFor([&calls] { return calls == 12; }, 2000));
}
