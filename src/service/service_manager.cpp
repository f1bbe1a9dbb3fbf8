#include "service_manager.h"

#include <cstdint>
#include <systemd/sd-daemon.h>

namespace zavok::service {

ServiceManager::ServiceManager(const Zavok& core) : core_(core) {
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) <= 0 || usec == 0) {
        return;
    }
    // Twice per watchdog period, as systemd advises, so that one late feed is not yet a restart.
    watchdog_.setInterval(int(qBound<std::uint64_t>(1, usec / 2000, INT32_MAX)));
    watchdog_.callOnTimeout(this, &ServiceManager::feed);
    watchdog_.start();
    sinceAdvance_.start();
}

void ServiceManager::ready() const {
    sd_notify(0, "READY=1");
}

void ServiceManager::stopping() const {
    sd_notify(0, "STOPPING=1");
}

void ServiceManager::feed() {
    if (!core_.alerts) {
        return; // not started up yet
    }
    if (const quint64 ticks = core_.alerts->poll.ticks(); ticks != ticks_) {
        ticks_ = ticks;
        sinceAdvance_.restart();
    }
    // A tick is due once per poll period; one watchdog interval more allows for where the two fall.
    if (sinceAdvance_.elapsed() <= qint64(core_.zavok->Timer1.interval()) + watchdog_.interval()) {
        sd_notify(0, "WATCHDOG=1");
    }
}

} // namespace zavok::service
