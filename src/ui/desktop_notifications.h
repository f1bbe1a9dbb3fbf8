#pragma once

#include "app/alarm_watch.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <future>
#include <map>
#include <optional>
#include <vector>

namespace zavok::ui {

// Tells each event through the desktop's notification service over D-Bus, so that it is seen with the window
// minimised or behind another. Where the bus has no such service, or it does not answer in time, the event goes to
// `fallback` (the tray icon's message). Nothing waits: the bus is opened on a thread of its own, since connecting
// may wait on the bus's daemon, which neither the first paint nor an alarm should; an event told before it is open
// is sent once it is, and the call's answer comes back on the event loop.
class DesktopNotifications final : public QObject {
    Q_OBJECT

public:
    static const QString kService;
    static constexpr int kPatienceMs = 3000;

    using OpenBus = std::function<QDBusConnection()>;
    using Fallback = std::function<void(const AlarmWatch::News& news)>;

    DesktopNotifications(OpenBus openBus, Fallback fallback, QObject* parent = nullptr);

    // One notification; a later one about the same alert, zone or inputs takes its place on the screen, so that a
    // busy contact leaves one notification of its latest event rather than a pile.
    void tell(const AlarmWatch::News& news);

private:
    void opened();
    void send(const AlarmWatch::News& news);

    Fallback fallback_;
    std::optional<QDBusConnection> bus_; // once open
    std::vector<AlarmWatch::News> held_; // told while the bus was being opened
    std::map<int, uint> shown_;          // the service's id of the last notification about each subject
    // Last, so that it is the first to go: its thread is waited for before anything it reports to.
    std::future<QDBusConnection> opening_;
};

} // namespace zavok::ui
