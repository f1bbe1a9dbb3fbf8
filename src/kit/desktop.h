#pragma once

#include <QObject>

#include <vector>

namespace zavok::kit {

class Scheduler;
class Window;

// The set of live windows and the scheduler their timers run on. The renderer watches it to draw each window
// that appears, and to drop the drawing of one that goes away.
class Desktop : public QObject {
    Q_OBJECT

public:
    explicit Desktop(Scheduler& scheduler) : scheduler_(scheduler) {}

    Scheduler& scheduler() const { return scheduler_; }
    const std::vector<Window*>& windows() const { return windows_; }

signals:
    void windowAdded(zavok::kit::Window* window);
    void windowRemoved(zavok::kit::Window* window);

private:
    friend class Window;
    void adopt(Window& window);
    void release(Window& window);

    Scheduler& scheduler_;
    std::vector<Window*> windows_;
};

} // namespace zavok::kit
