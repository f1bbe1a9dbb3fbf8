#pragma once

#include "kit/scheduler.h"

#include <QObject>

#include <deque>
#include <unordered_map>

class QTimer;

namespace zavok::system {

// Runs the program's timers on the Qt event loop, one QTimer each. A handler may open a modal box, whose nested
// event loop keeps the QTimers firing; a tick that comes due then waits until the running tick has returned, so
// that no tick ever starts in the middle of another. Several periods that pass while one tick runs make one
// late tick, not a burst of them.
class RealTimeScheduler final : public QObject, public kit::Scheduler {
    Q_OBJECT

public:
    explicit RealTimeScheduler(QObject* parent = nullptr);
    ~RealTimeScheduler() override;

    void start(kit::Timer& timer) override;
    void stop(kit::Timer& timer) override;

private:
    void due(kit::Timer& timer);

    std::unordered_map<kit::Timer*, QTimer*> clocks_;
    std::deque<kit::Timer*> late_;
    bool ticking_ = false;
};

} // namespace zavok::system
