#include "real_time_scheduler.h"

#include "kit/timer.h"

#include <QTimer>

#include <algorithm>

namespace zavok::system {

RealTimeScheduler::RealTimeScheduler(QObject* parent) : QObject(parent) {}

// The kit timers outlive no scheduler in the program, but their QTimers are children of this object anyway, so
// nothing of ours is left running after it.
RealTimeScheduler::~RealTimeScheduler() = default;

void RealTimeScheduler::start(kit::Timer& timer) {
    // A new period starts from now, so a tick that was waiting for the running one is no longer due.
    std::erase(late_, &timer);
    QTimer*& clock = clocks_[&timer];
    if (clock == nullptr) {
        clock = new QTimer(this);
        // Coarse, as Qt's timers are by default: a period of 20 ms or more may end up to 5 % early or late, so that
        // timers of one period wake the program together. The poll tick and the four channel ticks, started a
        // millisecond or two apart, then cost one wake-up a period rather than two, and no tick comes later than a
        // twentieth of its period.
        clock->setTimerType(Qt::CoarseTimer);
        connect(clock, &QTimer::timeout, this, [this, &timer] { due(timer); });
    }
    clock->start(std::max(timer.interval(), 1));
}

void RealTimeScheduler::stop(kit::Timer& timer) {
    std::erase(late_, &timer);
    const auto found = clocks_.find(&timer);
    if (found == clocks_.end()) {
        return;
    }
    QTimer* clock = found->second;
    clocks_.erase(found);
    // The kit timer may be going away inside its own tick, while this QTimer's timeout is still being emitted:
    // cut it off now and let the event loop delete it.
    clock->stop();
    clock->disconnect(this);
    clock->deleteLater();
}

void RealTimeScheduler::due(kit::Timer& timer) {
    if (ticking_) {
        if (std::find(late_.begin(), late_.end(), &timer) == late_.end()) {
            late_.push_back(&timer);
        }
        return;
    }
    ticking_ = true;
    timer.fire();
    while (!late_.empty()) {
        kit::Timer* next = late_.front();
        late_.pop_front();
        next->fire();
    }
    ticking_ = false;
}

} // namespace zavok::system
