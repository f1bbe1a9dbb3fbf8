#include "timer.h"

#include "scheduler.h"

#include <algorithm>
#include <utility>

namespace zavok::kit {

Timer::Timer(Scheduler& scheduler, const QString& name, int interval, bool enabled, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler)
    , interval_(std::max(interval, 0))
    , enabled_(enabled) {
    setObjectName(name);
    if (isRunning()) {
        scheduler_.start(*this);
    }
}

Timer::~Timer() {
    if (destroyedInTick_ != nullptr) {
        *destroyedInTick_ = true;
    }
    scheduler_.stop(*this);
}

void Timer::setInterval(int interval) {
    interval = std::max(interval, 0);
    if (interval == interval_) {
        return;
    }
    interval_ = interval;
    if (isRunning()) {
        scheduler_.start(*this);
    } else {
        scheduler_.stop(*this);
    }
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (isRunning()) {
        scheduler_.start(*this);
    } else {
        scheduler_.stop(*this);
    }
}

void Timer::fire() {
    if (!isRunning() || !onTick) {
        return;
    }
    // The tick may destroy its own timer, or run another of its ticks in a nested event loop. A flag on the stack
    // tells, rather than a QPointer, whose reference counts cost more than a quiet tick's own work.
    bool destroyed = false;
    bool* const outer = std::exchange(destroyedInTick_, &destroyed);
    onTick();
    if (destroyed) {
        if (outer != nullptr) {
            *outer = true;
        }
        return;
    }
    destroyedInTick_ = outer;
    emit ticked();
}

} // namespace zavok::kit
