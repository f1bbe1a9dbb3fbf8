#include "kit/timer.h"
#include "system/real_time_scheduler.h"
#include "system/termination_signals.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

namespace zavok::system {
namespace {

// Real time runs at whatever speed the machine has: these tests wait generously for what must happen and never
// count on how long anything takes.
constexpr int kPatience = 10000;
constexpr int kInterval = 5;

// Spins a nested event loop, as a modal box does, long enough for every timer of the tests' interval started before
// it to come due meanwhile.
void spinNestedLoop() {
    QEventLoop loop;
    QTimer::singleShot(10 * kInterval, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// A timer ticks until it is disabled, and again once enabled. A handler that opens a modal box runs a nested event
// loop in which every timer keeps coming due; none of those ticks may start inside the running one, each runs once it
// has returned, and a timer that goes away meanwhile (its window destroyed by the handler), even the running one,
// never ticks again.
TEST(RealTimeScheduler, TicksUntilDisabledNeverNestAndEndWithTheirTimer) {
    RealTimeScheduler scheduler;
    auto first = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer1"), kInterval, true);
    kit::Timer second(scheduler, QStringLiteral("Timer2"), kInterval, true);
    auto third = std::make_unique<kit::Timer>(scheduler, QStringLiteral("Timer3"), kInterval, false);
    int depth = 0;
    int deepest = 0;
    int firstTicks = 0;
    int secondTicks = 0;
    int thirdTicks = 0;
    first->onTick = [&] {
        deepest = std::max(deepest, ++depth);
        ++firstTicks;
        third->setEnabled(true);
        spinNestedLoop();
        --depth;
        third.reset();
        first.reset();
    };
    second.onTick = [&] {
        deepest = std::max(deepest, ++depth);
        ++secondTicks;
        --depth;
    };
    third->onTick = [&] { ++thirdTicks; };
    EXPECT_TRUE(QTest::qWaitFor([&] { return first == nullptr && secondTicks >= 2; }, kPatience));
    second.setEnabled(false);
    const int stoppedAt = secondTicks;
    QTest::qWait(20 * kInterval);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(firstTicks, 1);
    EXPECT_EQ(secondTicks, stoppedAt);
    EXPECT_EQ(thirdTicks, 0);
    second.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondTicks > stoppedAt; }, kPatience));
}

// Waits for the machine's steady clock to stand at `phase` milliseconds into a period of `interval`, or a little
// after: a sleep may take longer than it was asked to.
void waitForPhase(int interval, int phase) {
    using namespace std::chrono;
    constexpr int kLeeway = 3;
    for (;;) {
        const auto at = int(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() % interval);
        if (at >= phase && at < phase + kLeeway) {
            return;
        }
        std::this_thread::sleep_for(microseconds(200));
    }
}

// Timers of one interval started apart come to end together, and then tick in the order they were started. The
// first is started 45 ms into a period and the second 2 ms into the next: on Qt's coarse timers the second, nearer
// a whole period, would be the first to get there and tick first ever after.
TEST(RealTimeScheduler, TimersOfOneIntervalComeToTickTogetherInTheOrderTheyWereStarted) {
    constexpr int kPeriod = 100;
    RealTimeScheduler scheduler;
    QStringList ticks;
    waitForPhase(kPeriod, 45);
    kit::Timer first(scheduler, QStringLiteral("first"), kPeriod, true);
    first.onTick = [&] { ticks << first.name(); };
    waitForPhase(kPeriod, 2);
    kit::Timer second(scheduler, QStringLiteral("second"), kPeriod, true);
    second.onTick = [&] { ticks << second.name(); };
    // A period may end a twentieth of it early or late: ten periods bring any two ends together.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 30; }, kPatience));
    first.setEnabled(false);
    second.setEnabled(false);
    EXPECT_EQ(ticks.mid(ticks.size() - 6).join(u' '), QStringLiteral("first second first second first second"));
}

void ignoreSignal(int) {}

using TerminationSignalsTest = ::testing::TestWithParam<int>;

// The signal reaches the program on the event loop, never inside the handler, where almost nothing is safe; once the
// program stops listening, the handler that was there before comes back.
TEST_P(TerminationSignalsTest, ArrivesOnTheEventLoopAndThePreviousHandlerComesBack) {
    const auto before = std::signal(GetParam(), ignoreSignal);
    {
        TerminationSignals termination;
        int received = 0;
        QObject::connect(&termination, &TerminationSignals::received, [&](int signal) { received = signal; });
        ASSERT_EQ(std::raise(GetParam()), 0);
        EXPECT_EQ(received, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return received != 0; }, kPatience));
        EXPECT_EQ(received, GetParam());
    }
    EXPECT_EQ(std::signal(GetParam(), before), &ignoreSignal);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
} // namespace zavok::system
