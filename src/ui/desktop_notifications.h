#pragma once

#include "app/alarm_watch.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <map>

namespace zavok::ui {

// Tells each event through the desktop's notification service over D-Bus, so that it is seen with the window
// minimised or behind another. Where the bus has no such service, or it does not answer in time, the event goes to
// `fallback` (the tray icon's message). Nothing waits: the call's answer comes back on the event loop.
class DesktopNotifications final : public QObject {
    Q_OBJECT

public:
    static const QString kService;
    static constexpr int kPatienceMs = 3000;

    using Fallback = std::function<void(const AlarmWatch::News& news)>;

    DesktopNotifications(QDBusConnection bus, Fallback fallback, QObject* parent = nullptr);

    // One notification; a later one about the same alert, zone or inputs takes its place on the screen, so that a
    // busy contact leaves one notification of its latest event rather than a pile.
    void tell(const AlarmWatch::News& news);

private:
    QDBusConnection bus_;
    Fallback fallback_;
    std::map<int, uint> shown_; // the service's id of the last notification about each subject
};

} // namespace zavok::ui
