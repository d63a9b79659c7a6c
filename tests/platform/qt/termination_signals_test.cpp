// The signals that end a program reach the event loop as caught(), in the
// order they came; after the object goes they end the process again.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/qt/termination_signals.h"
#include "tests/support/qt_app.h"

namespace {
std::vector<int> Received(TerminationSignals& catcher, size_t count)
{
    std::vector<int> received;
    QObject::connect(&catcher, &TerminationSignals::caught, [&](int s) { received.push_back(s); });
    QElapsedTimer clock;
    clock.start();
    while (received.size() < count && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return received;
}
}  // namespace

TEST(TerminationSignals, EachSignalArrivesOnTheEventLoop)
{
    EnsureQtApplication();
    TerminationSignals catcher;
    ASSERT_TRUE(catcher.active());
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ASSERT_EQ(::raise(s), 0);
    EXPECT_EQ(Received(catcher, 3), (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
}

TEST(TerminationSignals, OnlyOneCatcherAtATimeAndDefaultsAfterwards)
{
    EnsureQtApplication();
    {
        TerminationSignals first;
        TerminationSignals second;
        EXPECT_TRUE(first.active());
        EXPECT_FALSE(second.active());
    }
    // With no catcher left the signal ends the process as before.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::raise(SIGTERM);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST(TerminationSignals, WhatIsIgnoredStaysIgnored)
{
    EnsureQtApplication();
    ::signal(SIGHUP, SIG_IGN);
    {
        TerminationSignals catcher;
        ASSERT_EQ(::raise(SIGHUP), 0);
        ASSERT_EQ(::raise(SIGTERM), 0);
        // The pipe keeps the order: a caught SIGHUP would come first.
        EXPECT_EQ(Received(catcher, 1), (std::vector<int>{SIGTERM}));
    }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    ::signal(SIGHUP, SIG_DFL);
}

TEST(TerminationSignals, ASecondSignalEndsTheProcessAtOnce)
{
    EnsureQtApplication();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TerminationSignals catcher;
        ::raise(SIGTERM);  // caught: the close is asked for
        ::raise(SIGTERM);  // asked again: the end
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}
