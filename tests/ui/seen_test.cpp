#include "app/alarm_watch.h"
#include "support/child_process.h"
#include "support/harness.h"
#include "ui/desktop_notifications.h"
#include "ui/renderer.h"
#include "ui/tray.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

// A session bus of our own: Debian's dbus-daemon, gone with the test.
class SessionBus {
public:
    SessionBus() {
        daemon_.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        if (daemon_.waitForStarted() && daemon_.waitForReadyRead(10000)) {
            address = QString::fromLatin1(daemon_.readLine().trimmed());
        }
    }
    ~SessionBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QDBusConnection connect(const QString& name) const { return QDBusConnection::connectToBus(address, name); }

    QString address;

private:
    QProcess daemon_;
};

// The desktop's notification service as far as ZAVOK uses it: it owns the name and keeps every Notify it is sent.
class Listener final : public QDBusVirtualObject {
public:
    struct Call {
        uint replaces;
        QString summary;
        QString body;
        int urgency;
    };

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != u"Notify"_s) {
            return false;
        }
        const QVariantList a = message.arguments();
        calls.push_back({a.at(1).toUInt(), a.at(3).toString(), a.at(4).toString(),
                         qdbus_cast<QVariantMap>(a.at(6)).value(u"urgency"_s).toInt()});
        connection.send(message.createReply(QVariant::fromValue(uint(calls.size()))));
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

    std::vector<Call> calls;
};

QRgb lampColour(const QSystemTrayIcon& icon) {
    return icon.icon().pixmap(32).toImage().pixel(16, 24);
}

// Under a real session bus: one Notify per event with the record's words and time, the next about the same alert
// in the place of the last, and the tray's lamp and tip following the alarms; without the service, the tray's
// message, and where there is no tray either, one line that says so.
TEST(Tray, EachEventIsNotifiedOnceOverTheSessionBusAndTheLampFollowsTheAlarms) {
    const SessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon --session did not start (Debian's dbus-daemon)";
    QDBusConnection service = bus.connect(u"listener"_s);
    Listener listener;
    ASSERT_TRUE(service.registerVirtualObject(u"/org/freedesktop/Notifications"_s, &listener));
    ASSERT_TRUE(service.registerService(ui::DesktopNotifications::kService));

    Harness h;
    Zavok& z = h.start();
    const ui::Renderer renderer(z.desktop, ui::Twips(96));
    z.zavok->show();
    AlarmWatch watch(z);
    ui::Tray tray(z, watch, renderer, [&bus] { return bus.connect(u"program"_s); });
    const QRgb quiet = qRgb(0, 176, 0), alarm = qRgb(255, 0, 0), fault = qRgb(255, 176, 0);
    EXPECT_EQ(lampColour(tray.icon()), quiet);

    // Each step: what happens, the lamp and tip it leaves, and the notification it makes (its words, its body, the
    // one it replaces, its urgency), if any.
    struct Step {
        const char* what;
        std::function<void()> act;
        QRgb lamp;
        QString tip;
        const char* summary;
        QString body;
        uint replaces;
        int urgency;
    };
    const Step steps[] = {
        {"alert 1", [&] { h.poll(240 - 16); }, alarm, u"Alert #1 active: Front Door"_s, "Alert #1 activated at",
         u"Front Door"_s, 0, 2},
        {"at rest", [&] { h.poll(240); }, quiet, AlarmWatch::kQuiet, nullptr, {}, 0, 0},
        {"alert 1 again", [&] { h.poll(240 - 16); }, alarm, u"Alert #1 active: Front Door"_s, "Alert #1 activated at",
         u"Front Door"_s, 1, 2},
        {"zone 3",
         [&] { z.zavok->flabel[2]->setText(u"H.CAL ERROR"_s); },
         alarm,
         u"Alert #1 active: Front Door\nTemperature High Calibration Error"_s,
         "Temperature High Calibration Error at",
         {},
         0,
         2},
        {"input fault",
         [&] {
             z.zavok->flabel[2]->setText(u"Temperature"_s);
             h.port.faultText = u"pad gone"_s;
             h.poll(240);
         },
         fault, u"Input fault: pad gone"_s, "Input fault at", u"pad gone"_s, 0, 2},
        {"restored",
         [&] {
             h.port.faultText.clear();
             h.poll(240);
         },
         quiet,
         AlarmWatch::kQuiet,
         "Input restored at",
         {},
         4,
         1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const std::size_t expected = listener.calls.size() + (step.summary != nullptr ? 1 : 0);
        step.act();
        EXPECT_EQ(lampColour(tray.icon()), step.lamp);
        EXPECT_EQ(tray.icon().toolTip(), u"ZAVOK\n"_s + step.tip);
        EXPECT_TRUE(eventually([&] { return listener.calls.size() >= expected; }));
        // A call that should not come would come before the answer to this round trip.
        service.call(QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                    u"org.freedesktop.DBus.Peer"_s, u"Ping"_s));
        QCoreApplication::processEvents();
        ASSERT_EQ(listener.calls.size(), expected);
        if (step.summary != nullptr) {
            const Listener::Call& call = listener.calls.back();
            // The record's own words and time, as the log holds them.
            QByteArray record;
            for (const QByteArray& line : h.logLines()) {
                if (line.startsWith(QByteArray("\"").append(step.summary))) {
                    const QList<QByteArray> fields = line.split(',');
                    record = fields.at(0).sliced(1).chopped(1) + ' ' + fields.at(1).sliced(1).chopped(1);
                }
            }
            EXPECT_EQ(call.summary.toStdString(), record.toStdString());
            EXPECT_EQ(call.body, step.body);
            EXPECT_EQ(std::pair(call.replaces, call.urgency), std::pair(step.replaces, step.urgency));
        }
    }

    // The service gone: the tray's message, and with no tray on this screen either, one line for standard error.
    ASSERT_TRUE(service.unregisterService(ui::DesktopNotifications::kService));
    h.poll(240 - 16);
    h.poll(240);
    h.poll(240 - 16);
    EXPECT_TRUE(eventually([&] { return !h.told.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(h.told.filter(u"no notification service and no system tray"_s).size(), 1)
        << h.told.join(u'\n').toStdString();

    // The menu: the bell through its buttons, both ways, and the orderly end.
    const auto action = [&](const QString& text) {
        for (QAction* a : tray.menu().actions()) {
            if (a->text() == text) {
                a->trigger();
                return a->isChecked();
            }
        }
        ADD_FAILURE() << text.toStdString();
        return false;
    };
    EXPECT_TRUE(action(u"Bell on"_s) && z.zavok->soundon.isVisible());
    EXPECT_FALSE(action(u"Bell on"_s) || z.zavok->soundon.isVisible());
    // The simulator's window, known only after the start, is offered next to the main window's.
    QWidget simulator;
    tray.addSimulator(simulator);
    QStringList texts;
    for (const QAction* a : tray.menu().actions()) {
        texts << a->text();
    }
    EXPECT_EQ(texts.mid(0, 3), (QStringList{u"Show ZAVOK"_s, u"Show the input simulator"_s, u"Bell on"_s}));
    action(u"Show the input simulator"_s);
    EXPECT_TRUE(simulator.isVisible());
    action(u"Exit"_s);
    EXPECT_TRUE(z.hasEnded());
}

} // namespace
} // namespace zavok::test
