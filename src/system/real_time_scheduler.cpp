#include "real_time_scheduler.h"

#include "kit/timer.h"

#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <limits>

namespace zavok::system {

namespace {

// Periods shorter than this end exactly where they are due, as Qt's coarse timers have them.
constexpr int kShortestCoarse = 20;

qint64 steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// When a period that ended at `end` (on the machine's steady clock, in milliseconds) ends next, asked at `now`. As
// with Qt's coarse timers, a period of 20 ms or more may end up to a twentieth of it early or late: each end moves
// by that much at most towards a multiple of the interval, so that timers of one interval started apart come to
// end together and wake the program once a period. An end already passed, after a tick that ran long, makes one
// late tick, not a burst of them.
qint64 nextPeriodEnd(qint64 end, int interval, qint64 now) {
    end += interval;
    if (interval >= kShortestCoarse) {
        const qint64 most = interval / 20;
        const qint64 nearest = (end + interval / 2) / interval * interval;
        end += std::clamp(nearest - end, -most, most);
    }
    return end > now ? end : now + interval;
}

} // namespace

RealTimeScheduler::RealTimeScheduler(QObject* parent) : QObject(parent) {}

void RealTimeScheduler::start(kit::Timer& timer) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &timer; });
    entries_.push_back({&timer, steadyMs() + std::max(timer.interval(), 1), nextOrder_++});
    if (!ticking_) {
        wakeForNextEnd();
    }
}

void RealTimeScheduler::stop(kit::Timer& timer) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &timer; });
    if (!ticking_) {
        wakeForNextEnd();
    }
}

void RealTimeScheduler::timerEvent(QTimerEvent* event) {
    if (event->timerId() == wake_.timerId()) {
        tickWhatIsDue();
    }
}

void RealTimeScheduler::tickWhatIsDue() {
    if (ticking_) {
        // A nested event loop inside the running tick: what comes due waits for it to return, and the wake-up
        // would only keep firing meanwhile.
        wake_.stop();
        return;
    }
    ticking_ = true;
    // In order of their ends, ties in the order the timers were started. Each timer ticks once at most in a pass:
    // its next end lies after `now`. A tick may start, stop or destroy timers, so the next one is looked for again
    // after each.
    const qint64 now = steadyMs();
    for (;;) {
        const auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == entries_.end() || next->due > now) {
            break;
        }
        kit::Timer& timer = *next->timer;
        next->due = nextPeriodEnd(next->due, std::max(timer.interval(), 1), now);
        timer.fire();
    }
    ticking_ = false;
    wakeForNextEnd();
}

void RealTimeScheduler::wakeForNextEnd() {
    const auto next = std::min_element(entries_.begin(), entries_.end(),
                                       [](const Entry& a, const Entry& b) { return a.due < b.due; });
    if (next == entries_.end()) {
        wake_.stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(next->due - steadyMs(), 0, std::numeric_limits<int>::max());
    // Precise: the ends are already where the ticks should come.
    wake_.start(int(wait), Qt::PreciseTimer, this);
}

} // namespace zavok::system
