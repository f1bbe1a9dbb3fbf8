#include "timer.h"

#include "scheduler.h"

#include <QPointer>

#include <algorithm>

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
    if (isRunning() && onTick) {
        // The tick may destroy its own timer.
        const QPointer<Timer> self(this);
        onTick();
        if (self != nullptr) {
            emit ticked();
        }
    }
}

} // namespace zavok::kit
