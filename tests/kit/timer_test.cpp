#include "kit/timer.h"
#include "kit/virtual_scheduler.h"

#include <gtest/gtest.h>

#include <memory>

namespace zavok::kit {
namespace {

struct Recorder {
    VirtualScheduler& scheduler;
    std::vector<std::pair<QString, qint64>> ticks;
    void watch(Timer& t) {
        t.onTick = [this, &t] { ticks.emplace_back(t.name(), scheduler.now()); };
    }
};

TEST(Timer, FiresEveryIntervalWithoutDriftAndInDueOrder) {
    VirtualScheduler s;
    Recorder r{s, {}};
    Timer fast(s, QStringLiteral("fast"), 100, true);
    Timer slow(s, QStringLiteral("slow"), 250, true);
    r.watch(fast);
    r.watch(slow);
    // Those who watch from outside hear of each tick once it is over.
    std::vector<QString> heard;
    QObject::connect(&fast, &Timer::ticked, [&] { heard.push_back(r.ticks.back().first); });
    s.advance(500);
    EXPECT_EQ(heard, std::vector<QString>(5, QStringLiteral("fast")));
    using T = std::pair<QString, qint64>;
    const QString f = QStringLiteral("fast");
    const QString l = QStringLiteral("slow");
    EXPECT_EQ(r.ticks, (std::vector<T>{{f, 100}, {f, 200}, {l, 250}, {f, 300}, {f, 400}, {f, 500}, {l, 500}}));
    s.advance(3'600'000);
    EXPECT_EQ(std::count_if(r.ticks.begin(), r.ticks.end(), [&](const T& t) { return t.first == f; }), 36005);
}

TEST(Timer, ZeroIntervalNeverFiresAndEnablingARunningTimerKeepsItsPeriod) {
    VirtualScheduler s;
    Recorder r{s, {}};
    Timer bell(s, QStringLiteral("Timer2"), 500, false);
    Timer dead(s, QStringLiteral("dead"), 0, true);
    r.watch(bell);
    r.watch(dead);
    s.advance(100);
    bell.setEnabled(true); // period starts now: first tick at 600
    for (int i = 0; i < 4; ++i) {
        s.advance(100);
        bell.setEnabled(true); // re-enabling every poll must not restart the period
    }
    s.advance(100);
    bell.setInterval(500); // the same interval: no restart
    s.advance(500);
    ASSERT_EQ(r.ticks.size(), 2u);
    EXPECT_EQ(r.ticks[0].second, 600);
    EXPECT_EQ(r.ticks[1].second, 1100);
    bell.setEnabled(false);
    s.advance(5000);
    EXPECT_EQ(r.ticks.size(), 2u);
}

TEST(Timer, ANewIntervalSetInsideATickTakesEffectFromThatTick) {
    VirtualScheduler s;
    Timer poll(s, QStringLiteral("Timer1"), 100, true);
    std::vector<qint64> at;
    poll.onTick = [&] {
        at.push_back(s.now());
        poll.setInterval(500);
    };
    s.advance(1200);
    EXPECT_EQ(at, (std::vector<qint64>{100, 600, 1100}));
}

TEST(Timer, ATickMayStopOrDestroyAnotherTimer) {
    VirtualScheduler s;
    auto victim = std::make_unique<Timer>(s, QStringLiteral("victim"), 100, true);
    Timer killer(s, QStringLiteral("killer"), 100, true);
    int victimTicks = 0;
    victim->onTick = [&] { ++victimTicks; };
    killer.onTick = [&] { victim.reset(); };
    s.advance(1000);
    EXPECT_EQ(victimTicks, 1);
}

} // namespace
} // namespace zavok::kit
