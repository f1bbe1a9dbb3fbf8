#pragma once

#include "app/zavok.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace zavok::service {

// What systemd learns of the program it started as a notify service: that it is ready once start-up has run, that it
// is alive, and that it is stopping. Alive means more than an event loop that turns: the poll cycle has ticked within
// its own period, whatever sampling time is set, so that a tick that hangs or a poll timer that stopped is a dead
// service, which systemd restarts. Without systemd's socket in the environment nothing is sent.
class ServiceManager final : public QObject {
    Q_OBJECT

public:
    explicit ServiceManager(const Zavok& core);

    void ready() const;
    void stopping() const;

private:
    void feed();

    const Zavok& core_;
    QTimer watchdog_;
    QElapsedTimer sinceAdvance_;
    quint64 ticks_ = 0;
};

} // namespace zavok::service
