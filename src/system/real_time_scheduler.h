#pragma once

#include "kit/scheduler.h"

#include <QBasicTimer>
#include <QObject>
#include <QtGlobal>

#include <vector>

namespace zavok::system {

// When a period that ended at `end` (on the machine's steady clock, in milliseconds) ends next, asked at `now`. As
// with Qt's coarse timers, a period of 20 ms or more may end up to a twentieth of it early or late: each end moves
// by that much at most towards a multiple of the interval, so that timers of one interval started apart come to
// end together and wake the program once a period. An end already passed, after a tick that ran long, makes one
// late tick, not a burst of them.
qint64 nextPeriodEnd(qint64 end, int interval, qint64 now);

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
