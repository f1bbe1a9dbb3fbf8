#include "virtual_scheduler.h"

#include "timer.h"

#include <algorithm>

namespace zavok::kit {

void VirtualScheduler::start(Timer& timer) {
    stop(timer);
    entries_.push_back({&timer, now_ + timer.interval(), nextOrder_++});
}

void VirtualScheduler::stop(Timer& timer) {
    std::erase_if(entries_, [&](const Entry& e) { return e.timer == &timer; });
}

void VirtualScheduler::advance(qint64 ms) {
    const qint64 target = now_ + std::max<qint64>(ms, 0);
    for (;;) {
        auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == entries_.end() || next->due > target) {
            break;
        }
        // Re-arm before the tick, from the due time rather than from whenever the tick ends, so periods never
        // drift; a tick that restarts or stops its own timer replaces this entry.
        Timer* timer = next->timer;
        now_ = next->due;
        next->due += timer->interval();
        timer->fire();
    }
    now_ = target;
}

} // namespace zavok::kit
