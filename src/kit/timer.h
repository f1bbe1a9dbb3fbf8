#pragma once

#include <QObject>

#include <functional>

namespace zavok::kit {

class Scheduler;

// A timer fires its tick handler every `interval` milliseconds while it is enabled. An interval of 0 never
// fires. Enabling a timer that already runs, or setting the interval it already has, does not restart its period;
// a new interval on a running timer starts a fresh period from now.
class Timer : public QObject {
    Q_OBJECT

public:
    Timer(Scheduler& scheduler, const QString& name, int interval, bool enabled, QObject* parent = nullptr);
    ~Timer() override;

    QString name() const { return objectName(); }

    int interval() const { return interval_; }
    void setInterval(int interval);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isRunning() const { return enabled_ && interval_ > 0; }

    // Called by the scheduler when a period has passed.
    void fire();

    std::function<void()> onTick;

signals:
    // After each tick: those who watch the program from outside read what the tick has left.
    void ticked();

private:
    Scheduler& scheduler_;
    int interval_;
    bool enabled_;
    // While a tick runs: where to say that the timer was destroyed.
    bool* destroyedInTick_ = nullptr;
};

} // namespace zavok::kit
