#include "service_manager.h"

#include "systemd_notify.h"

namespace zavok::service {

ServiceManager::ServiceManager(const Zavok& core) : core_(core) {
    const quint64 usec = systemdWatchdogMicroseconds();
    if (usec == 0) {
        return;
    }
    // Twice per watchdog period, as systemd advises, so that one late feed is not yet a restart.
    watchdog_.setInterval(int(qBound<quint64>(1, usec / 2000, INT32_MAX)));
    watchdog_.callOnTimeout(this, &ServiceManager::feed);
    watchdog_.start();
    sinceAdvance_.start();
}

void ServiceManager::ready() const {
    notifySystemd("READY=1");
}

void ServiceManager::stopping() const {
    notifySystemd("STOPPING=1");
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
        notifySystemd("WATCHDOG=1");
    }
}

} // namespace zavok::service
