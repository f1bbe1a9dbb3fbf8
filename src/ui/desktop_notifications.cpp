#include "desktop_notifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <system_error>
#include <utility>

namespace zavok::ui {

const QString DesktopNotifications::kService = QStringLiteral("org.freedesktop.Notifications");

namespace {

// The alerts are subjects 1..4, the zones 5..8, the program and its inputs 0.
int subjectOf(const RecordFacts& facts) {
    return facts.isAlert() ? facts.subject : facts.zone() != 0 ? 4 + facts.subject : 0;
}

} // namespace

DesktopNotifications::DesktopNotifications(OpenBus openBus, Fallback fallback, QObject* parent)
    : QObject(parent)
    , fallback_(std::move(fallback)) {
    try {
        opening_ = std::async(std::launch::async, [this, openBus] {
            QDBusConnection bus = openBus();
            QMetaObject::invokeMethod(this, &DesktopNotifications::opened, Qt::QueuedConnection);
            return bus;
        });
    } catch (const std::system_error&) {
        // No thread to spare: opened here, waiting as it must.
        bus_ = openBus();
    }
}

void DesktopNotifications::opened() {
    bus_ = opening_.get();
    for (const AlarmWatch::News& news : std::exchange(held_, {})) {
        send(news);
    }
}

void DesktopNotifications::tell(const AlarmWatch::News& news) {
    if (!bus_) {
        held_.push_back(news);
        return;
    }
    send(news);
}

void DesktopNotifications::send(const AlarmWatch::News& news) {
    if (!bus_->isConnected()) {
        fallback_(news);
        return;
    }
    const int subject = subjectOf(news.facts);
    const auto shown = shown_.find(subject);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                                       kService, QStringLiteral("Notify"));
    // An alarm is critical and stays until the user dismisses it; the inputs' return passes by itself.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(news.urgent ? 2 : 1))},
                            {QStringLiteral("desktop-entry"), QStringLiteral("zavok")}};
    call << QStringLiteral("ZAVOK") << uint(shown != shown_.end() ? shown->second : 0) << QStringLiteral("zavok")
         << news.text << news.detail << QStringList() << hints << int(news.urgent ? 0 : -1);
    auto* answer = new QDBusPendingCallWatcher(bus_->asyncCall(call, kPatienceMs), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, news, subject](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isError()) {
            fallback_(news);
        } else {
            shown_[subject] = reply.value();
        }
        call->deleteLater();
    });
}

} // namespace zavok::ui
