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

TEST_F(RealTimeSchedulerTest, ATimerDestroyedInItsOwnTickNeverTicksAgain) {
    auto timer = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer1"), kInterval, true);
    int ticks = 0;
    timer->onTick = [&] {
        ++ticks;
        timer.reset();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return timer == nullptr; }, kPatience));
    QTest::qWait(20 * kInterval);
    EXPECT_EQ(ticks, 1);
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
    auto enter = [&] { deepest = std::max(deepest, ++depth); };
    first.onTick = [&] {
        enter();
        if (!boxShown) {
            boxShown = true;
            spinNestedLoop(10);
            boxClosed = true;
        }
        --depth;
    };
    second.onTick = [&] {
        enter();
        ++secondTicks;
        --depth;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxClosed && secondTicks >= 2; }, kPatience));
    EXPECT_EQ(deepest, 1);
}

// A timer that goes away while its tick waits behind another (its window destroyed by a handler) is forgotten.
TEST_F(RealTimeSchedulerTest, ATimerDestroyedWhileItsTickWaitsIsForgotten) {
    kit::Timer first(scheduler, QStringLiteral("Timer1"), kInterval, true);
    auto second = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer2"), kInterval, false);
    int secondTicks = 0;
    bool done = false;
    second->onTick = [&] { ++secondTicks; };
    first.onTick = [&] {
        if (done) {
            return;
        }
        second->setEnabled(true);
        spinNestedLoop(10); // the second timer comes due in here and waits
        second.reset();
        done = true;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kPatience));
    QTest::qWait(20 * kInterval);
    EXPECT_EQ(secondTicks, 0);
}

void ignoreSignal(int) {}

class TerminationSignalsTest : public ::testing::TestWithParam<int> {};

// The signal reaches the program on the event loop, never inside the handler, where almost nothing is safe.
TEST_P(TerminationSignalsTest, ArrivesOnTheEventLoop) {
    TerminationSignals termination;
    int received = 0;
    QObject::connect(&termination, &TerminationSignals::received, [&](int signal) { received = signal; });
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received != 0; }, 10000));
    EXPECT_EQ(received, GetParam());
}

TEST_P(TerminationSignalsTest, ThePreviousHandlerComesBack) {
    struct sigaction mine = {};
    mine.sa_handler = ignoreSignal;
    struct sigaction before = {};
    ASSERT_EQ(::sigaction(GetParam(), &mine, &before), 0);
    { const TerminationSignals termination; }
    struct sigaction after = {};
    ::sigaction(GetParam(), nullptr, &after);
    EXPECT_EQ(after.sa_handler, &ignoreSignal);
    ::sigaction(GetParam(), &before, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
} // namespace zavok::platform
