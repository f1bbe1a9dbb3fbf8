#pragma once

#include "scheduler.h"

#include <QtGlobal>

#include <vector>

namespace zavok::kit {

// Virtual time for tests and for the soak: nothing happens until advance() is called, and then every due tick
// fires in order of its due time (ties in the order the timers were started), with no drift between periods.
class VirtualScheduler final : public Scheduler {
public:
    void start(Timer& timer) override;
    void stop(Timer& timer) override;

    // Milliseconds of virtual time since the scheduler was made.
    qint64 now() const { return now_; }
    void advance(qint64 ms);

private:
    struct Entry {
        Timer* timer;
        qint64 due;
        quint64 order;
    };

    std::vector<Entry> entries_;
    qint64 now_ = 0;
    quint64 nextOrder_ = 0;
};

} // namespace zavok::kit
