#include "kit/timer.h"
#include "platform/real_time_scheduler.h"
#include "platform/termination_signals.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace zavok::platform {
namespace {

// Real time runs at whatever speed the machine has: these tests wait generously for what must happen and never
// count on how long anything takes.
constexpr int kPatience = 10000;
constexpr int kInterval = 5;

class RealTimeSchedulerTest : public ::testing::Test {
protected:
    RealTimeScheduler scheduler;
};

// Spins a nested event loop, as a modal box does, until a period of its own has passed `periods` times, so that
// every timer of the same interval started before it has come due meanwhile.
void spinNestedLoop(int periods) {
    QEventLoop loop;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    int passed = 0;
    QObject::connect(&pace, &QTimer::timeout, &loop, [&] {
        if (++passed == periods) {
            loop.quit();
        }
    });
    pace.start(kInterval);
    loop.exec();
}

TEST_F(RealTimeSchedulerTest, ATimerTicksUntilStopped) {
    kit::Timer timer(scheduler, QStringLiteral("Timer1"), kInterval, true);
    int ticks = 0;
    timer.onTick = [&] { ++ticks; };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, kPatience));
    timer.setEnabled(false);
    const int stoppedAt = ticks;
    QTest::qWait(20 * kInterval);
    EXPECT_EQ(ticks, stoppedAt);
    timer.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > stoppedAt; }, kPatience));
}

// A handler that opens a modal box runs a nested event loop in which every timer keeps coming due; none of those
// ticks may start inside the running one. Each runs once that tick has returned.
TEST_F(RealTimeSchedulerTest, NoTickStartsInsideAnother) {
    kit::Timer first(scheduler, QStringLiteral("Timer1"), kInterval, true);
    kit::Timer second(scheduler, QStringLiteral("Timer2"), kInterval, true);
    int depth = 0;
    int deepest = 0;
    int secondTicks = 0;
    bool boxShown = false;
    bool boxClosed = false;
    first.onTick = [&] {
        deepest = std::max(deepest, ++depth);
        if (!boxShown) {
            boxShown = true;
            spinNestedLoop(10);
            boxClosed = true;
        }
        --depth;
    };
    second.onTick = [&] {
        deepest = std::max(deepest, ++depth);
        ++secondTicks;
        --depth;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxClosed && secondTicks >= 2; }, kPatience));
    EXPECT_EQ(deepest, 1);
}

// A timer that goes away in its own tick, or while its tick waits behind another's (its window destroyed by a
// handler), never ticks again.
TEST_F(RealTimeSchedulerTest, ADestroyedTimerNeverTicksAgain) {
    auto first = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer1"), kInterval, true);
    auto second = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer2"), kInterval, false);
    int firstTicks = 0;
    int secondTicks = 0;
    second->onTick = [&] { ++secondTicks; };
    first->onTick = [&] {
        ++firstTicks;
        second->setEnabled(true);
        spinNestedLoop(10); // both timers come due in here and wait
        second.reset();
        first.reset();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return first == nullptr; }, kPatience));
    QTest::qWait(20 * kInterval);
    EXPECT_EQ(firstTicks, 1);
    EXPECT_EQ(secondTicks, 0);
}

void ignoreSignal(int) {}

using TerminationSignalsTest = ::testing::TestWithParam<int>;

// The signal reaches the program on the event loop, never inside the handler, where almost nothing is safe; once the
// program stops listening, the handler that was there before comes back.
TEST_P(TerminationSignalsTest, ArrivesOnTheEventLoopAndThePreviousHandlerComesBack) {
    struct sigaction mine = {};
    mine.sa_handler = ignoreSignal;
    struct sigaction before = {};
    ASSERT_EQ(::sigaction(GetParam(), &mine, &before), 0);
    {
        TerminationSignals termination;
        int received = 0;
        QObject::connect(&termination, &TerminationSignals::received, [&](int signal) { received = signal; });
        ASSERT_EQ(std::raise(GetParam()), 0);
        EXPECT_EQ(received, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return received != 0; }, kPatience));
        EXPECT_EQ(received, GetParam());
    }
    struct sigaction after = {};
    ::sigaction(GetParam(), nullptr, &after);
    EXPECT_EQ(after.sa_handler, &ignoreSignal);
    ::sigaction(GetParam(), &before, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
} // namespace zavok::platform
