#pragma once

#include "kit/scheduler.h"

#include <QBasicTimer>
#include <QObject>
#include <QtGlobal>

#include <vector>

namespace zavok::system {

// Runs the program's timers on the Qt event loop, from one Qt timer set for the next period that ends. Due ticks
// run in the order of their ends, ties in the order their timers were started, as on the virtual scheduler, and not
// in whatever order Qt's timers would have come to: the poll tick, started first, reads the inputs before the
// channel ticks of its period, which then share its reading. A handler may open a modal box, whose nested event loop
// keeps running; a tick that comes due then waits until the running tick has returned, so that no tick ever starts in
// the middle of another.
class RealTimeScheduler final : public QObject, public kit::Scheduler {
    Q_OBJECT

public:
    explicit RealTimeScheduler(QObject* parent = nullptr);

    void start(kit::Timer& timer) override;
    void stop(kit::Timer& timer) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Entry {
        kit::Timer* timer;
        qint64 due;
        quint64 order;
    };

    void tickWhatIsDue();
    void wakeForNextEnd();

    std::vector<Entry> entries_;
    QBasicTimer wake_;
    quint64 nextOrder_ = 0;
    bool ticking_ = false;
};

} // namespace zavok::system
