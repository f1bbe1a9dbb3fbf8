#include "mqtt/mqtt_publisher.h"
#include "support/harness.h"
#include "support/mqtt_broker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <map>

// The MQTT publisher against a real broker of the test's own, with the program on virtual time.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

mqtt::MqttOptions optionsFor(const Broker& broker, const QString& site, bool commands = false,
                             const QString& password = Broker::kPassword) {
    return {false, u"127.0.0.1"_s, broker.port(), Broker::kUser, password, {}, site, u"homeassistant"_s, commands};
}

struct Site {
    explicit Site(const mqtt::MqttOptions& options, std::size_t backlog = mqtt::MqttPublisher::kBacklog) {
        publisher = std::make_unique<mqtt::MqttPublisher>(
            options, h.start(), u"9.9"_s, [this](const QString& line) { told << line; }, backlog);
        publisher->follow();
    }
    std::string toldText() const { return told.join(u'\n').toStdString(); }

    Harness h;
    QStringList told;
    std::unique_ptr<mqtt::MqttPublisher> publisher;
};

// Once the status says so, the program's subscriptions, taken before, stand too.
bool online(const Broker& broker, const QString& site) {
    const Listener status(broker, {u"zavok/"_s + site + u"/status"_s});
    return eventually([&] { return status.hearsLiveOrRetained(u"zavok/"_s + site + u"/status online"_s); });
}

// The last config heard on the discovery topic of `what`, as in "binary_sensor/zavok_plant/alert_1".
QJsonObject config(const Listener& listener, const char* what) {
    const QString topic = u"homeassistant/"_s + QLatin1String(what) + u"/config "_s;
    const QStringList heard = listener.lines().filter(topic);
    return heard.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(heard.last().mid(topic.size()).toUtf8()).object();
}

// This process's resident set now, in kB.
qint64 rssKb() {
    const QString text = QString::fromLatin1(Harness::bytes(u"/proc/self/status"_s));
    return QRegularExpression(u"VmRSS:\\s*(\\d+) kB"_s).match(text).captured(1).toLongLong();
}

const QString kCommands = u"ZAVOK takes RESET, BELL OFF and BELL ON"_s;

class Mqtt : public ::testing::Test {
protected:
    void SetUp() override {
        if (!broker.available()) {
            GTEST_SKIP() << broker.refusal().toStdString();
        }
    }

    Broker broker;
};

TEST_F(Mqtt, DiscoveryStatesRecordsAndTroubleReachTheBroker) {
    Listener listener(broker);
    mqtt::MqttOptions options = optionsFor(broker, u"plant"_s);
    options.units[0] = u"°C"_s;
    options.deviceClasses[0] = u"temperature"_s;
    Site site(options);
    ASSERT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/trouble OFF"_s); }));
    // Every config says what made it and what device it belongs to.
    const QStringList configs = listener.lines().filter(QRegularExpression(u"^homeassistant/\\S+/config \\{"_s));
    EXPECT_EQ(configs.size(), 14) << "four alerts, channels and zones, the trouble and the log";
    for (const QString& line : configs) {
        const QJsonObject c = QJsonDocument::fromJson(line.section(u' ', 1).toUtf8()).object();
        EXPECT_EQ(QString(c["origin"_L1]["sw_version"_L1].toString() + c["origin"_L1]["support_url"_L1].toString() +
                          c["device"_L1]["manufacturer"_L1].toString() + c["device"_L1]["model"_L1].toString()),
                  u"9.9https://github.com/zavok/zavokZAVOKGame-port alarm monitor"_s)
            << line.toStdString();
    }
    const QJsonObject channel1 = config(listener, "sensor/zavok_plant/channel_1");
    EXPECT_EQ(channel1.value("unit_of_measurement"_L1).toString() + channel1.value("device_class"_L1).toString(),
              u"°Ctemperature"_s);
    EXPECT_FALSE(config(listener, "sensor/zavok_plant/channel_2").contains("device_class"_L1));
    const QJsonObject zone = config(listener, "sensor/zavok_plant/zone_4");
    EXPECT_EQ(zone.value("device_class"_L1).toString(), u"enum"_s);
    EXPECT_EQ(zone.value("options"_L1).toVariant().toStringList(),
              (QStringList{u"Normal"_s, u"Low Alarm"_s, u"High Alarm"_s, u"Low Calibration Error"_s,
                           u"High Calibration Error"_s}));
    const QJsonObject trouble = config(listener, "binary_sensor/zavok_plant/trouble");
    EXPECT_EQ(trouble.value("entity_category"_L1).toString(), u"diagnostic"_s);
    EXPECT_EQ(trouble.value("json_attributes_topic"_L1).toString(), u"zavok/plant/trouble/attributes"_s);
    const QJsonArray kinds = config(listener, "event/zavok_plant/log").value("event_types"_L1).toArray();
    EXPECT_EQ(kinds.size(), 12);
    EXPECT_TRUE(kinds.contains(u"alert_activated"_s) && kinds.contains(u"zone_high_calibration_error"_s));
    EXPECT_TRUE(broker.log().contains(QRegularExpression(u" as zavok-plant-\\d+ \\(p5,"_s))) << "MQTT 5";
    const QJsonObject alert = config(listener, "binary_sensor/zavok_plant/alert_1");
    EXPECT_EQ(alert.value("unique_id"_L1).toString(), u"zavok_plant_alert_1"_s);
    EXPECT_EQ(alert.value("state_topic"_L1).toString(), u"zavok/plant/alert/1"_s);
    // Each entity is available only while the program, its own alert or channel and the inputs all are.
    for (const auto& [what, own] : {std::pair{"binary_sensor/zavok_plant/alert_1", "alert/1"},
                                    std::pair{"sensor/zavok_plant/channel_2", "channel/2"},
                                    std::pair{"sensor/zavok_plant/zone_2", "channel/2"}}) {
        const QJsonObject c = config(listener, what);
        EXPECT_EQ(c.value("availability_mode"_L1).toString(), u"all"_s) << what;
        EXPECT_EQ(QJsonDocument(c.value("availability"_L1).toArray()).toJson(QJsonDocument::Compact),
                  R"([{"topic":"zavok/plant/status"},{"topic":"zavok/plant/)" + QByteArray(own) +
                      R"(/available"},{"payload_available":"OFF","payload_not_available":"ON",)"
                      R"("topic":"zavok/plant/trouble"}])")
            << what;
    }
    EXPECT_EQ(alert["device"_L1]["name"_L1].toString(), u"ZAVOK plant"_s);
    EXPECT_EQ(alert["device"_L1]["sw_version"_L1].toString(), u"9.9"_s);
    EXPECT_EQ(config(listener, "sensor/zavok_plant/channel_3").value("state_class"_L1).toString(), u"measurement"_s);
    EXPECT_EQ(config(listener, "binary_sensor/zavok_plant/trouble").value("device_class"_L1).toString(), u"problem"_s);
    EXPECT_TRUE(config(listener, "button/zavok_plant/reset").isEmpty()) << "no buttons without commands";

    // The records' moment is the clock's, in its own zone, here an hour ahead of UTC.
    const QDateTime moment(QDate(2026, 12, 7), QTime(1, 5, 9, 500), QTimeZone(3600));
    site.h.clock.setStart(moment.addMSecs(-site.h.scheduler.now() - site.h.z().zavok->Timer1.interval()));
    site.h.poll(240 - 16);
    site.h.port.faultText = u"the port is gone"_s;
    site.h.poll(240 - 16);
    site.h.joysticks.stick[0].wXpos = 32750;
    site.h.z().channel(1).enable.click();
    site.h.scheduler.advance(1000);
    site.h.z().zavok->clabel[0]->setText(u"Garage"_s);
    // A channel renamed as its user does it: the box opened, the name typed, SET NAME.
    ChannelForm& third = site.h.z().channel(3);
    third.fname.doubleClick();
    third.fname.typed(u"Boiler"_s);
    third.setname.click();
    for (const char* line :
         {R"(zavok/plant/alert/1 ON)",
          R"(zavok/plant/log {"message":"Alert #1 activated at","time":"01:05:09 AM","date":"December 07,2026",)"
          R"("at":"2026-12-07T01:05:09+01:00","event_type":"alert_activated"})",
          R"(zavok/plant/trouble ON)", R"(zavok/plant/trouble/reason the port is gone)",
          R"(zavok/plant/trouble/attributes {"reason":"the port is gone"})", R"(zavok/plant/channel/1 50)",
          R"(zavok/plant/channel/1/available online)", R"(zavok/plant/zone/1 Normal)"}) {
        EXPECT_TRUE(eventually([&] { return listener.hears(QString::fromUtf8(line)); })) << line;
    }
    // Another fault while the first one lasts: the caption stays, and the reason follows.
    site.h.port.faultText = u"the port is malformed"_s;
    site.h.poll(240 - 16);
    EXPECT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/trouble/reason the port is malformed"_s); }));
    EXPECT_EQ(listener.lines().count(u"zavok/plant/channel/1 50"_s), 1) << "a steady reading is published once";
    const QString log = listener.lines().filter(u"zavok/plant/log "_s).value(0).section(u' ', 1);
    const QDateTime at =
        QDateTime::fromString(QJsonDocument::fromJson(log.toUtf8()).object().value("at"_L1).toString(), Qt::ISODate);
    EXPECT_EQ(std::pair(at, at.offsetFromUtc()), std::pair(moment.addMSecs(-500), 3600)) << "parses back";
    EXPECT_TRUE(eventually([&] {
        return config(listener, "binary_sensor/zavok_plant/alert_1").value("name"_L1) == u"Garage"_s;
    })) << "a renamed circuit is announced again";
    site.h.z().zavok->enable[1]->setText(u"DISABLED"_s);
    EXPECT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/alert/2/available offline"_s); }))
        << "an alert on a disabled circuit is not watched";
    // The renamed channel is announced again once, with its new name; opening and closing its box sends nothing.
    EXPECT_TRUE(
        eventually([&] { return config(listener, "sensor/zavok_plant/channel_3").value("name"_L1) == u"Boiler"_s; }));
    EXPECT_EQ(listener.lines().filter(u"homeassistant/sensor/zavok_plant/channel_3/config "_s).size(), 2);
    const Listener late(broker, {u"zavok/plant/alert/1"_s});
    EXPECT_TRUE(eventually([&] { return late.hears(u"retained zavok/plant/alert/1 ON"_s); }));

    // A channel whose joystick is in trouble is no reading until the joystick is back.
    site.h.port.faultText.clear();
    site.h.poll(240 - 16);
    const QString offline = u"zavok/plant/channel/1/available offline"_s;
    const qsizetype before = listener.lines().count(offline);
    site.h.joysticks.faults[0] = u"joystick 1 was unplugged"_s;
    site.h.poll(240 - 16);
    EXPECT_TRUE(eventually([&] { return listener.lines().count(offline) > before; }));
}

// Two channels of one name keep to their own topics: only the zone whose channel passes its limit is in alarm.
TEST_F(Mqtt, TwoChannelsOfOneNameKeepTheirOwnZoneAndChannelTopics) {
    Site site(optionsFor(broker, u"plant"_s));
    ASSERT_TRUE(online(broker, u"plant"_s));
    const Listener listener(broker, {u"zavok/plant/#"_s});
    Zavok& z = site.h.z();
    z.channel(2).fname.setText(u"Pressure"_s);
    z.channel(2).sethighl.setText(u"40"_s);
    site.h.joysticks.stick[0].wXpos = 32750;
    site.h.joysticks.stick[0].wYpos = 32750;
    z.channel(1).enable.click();
    z.channel(2).enable.click();
    site.h.scheduler.advance(1000);
    for (const char* line : {"zavok/plant/zone/2 High Alarm", "zavok/plant/channel/2 50", "zavok/plant/channel/1 50"}) {
        EXPECT_TRUE(eventually([&] { return listener.hears(QString::fromUtf8(line)); })) << line;
    }
    EXPECT_TRUE(listener.lines().filter(u"zavok/plant/zone/1 High"_s).isEmpty())
        << listener.lines().join(u'\n').toStdString();
}

// Six records are made while the broker is away: a backlog of six keeps them all, one of five or four the last five
// or four.
TEST_F(Mqtt, TheLastRecordsMadeWhileTheBrokerIsDownArriveOnceAndInOrderAndTheRestAreCounted) {
    const std::map<std::size_t, QString> droppedTold{
        {6u, {}},
        {5u, u"zavok: 1 activity-log record made while the MQTT broker could not be reached was dropped, the oldest; "
             "the last 5 follow"_s},
        {4u, u"zavok: 2 activity-log records made while the MQTT broker could not be reached were dropped, the "
             "oldest first; the last 4 follow"_s}};
    for (const auto& [backlog, dropped] : droppedTold) {
        SCOPED_TRACE(backlog);
        const QString name = u"plant%1"_s.arg(backlog);
        Site site(optionsFor(broker, name), backlog);
        ASSERT_TRUE(online(broker, name));
        broker.kill();
        ASSERT_TRUE(eventually([&] { return !site.told.isEmpty(); })) << "the loss is told";
        QStringList made;
        for (int alert = 1; alert <= 3; ++alert) {
            site.h.poll(qint16(240 - (8 << alert)));
            site.h.poll(240);
            made << u"Alert #%1 activated at"_s.arg(alert) << u"Alert #%1 deactivated at"_s.arg(alert);
        }
        // The records are not retained: the program may come back only once the listener is there.
        broker.admitProgram(false);
        broker.start();
        const Listener listener(broker, {u"zavok/"_s + name + u"/#"_s});
        broker.admitProgram(true);
        // Not the states as the sign that the records are through: a state still unacknowledged when the broker went
        // is sent again as the connection comes back, before the program has heard of it.
        const QString logTopic = u"zavok/"_s + name + u"/log "_s;
        const auto heardRecords = [&] {
            QStringList heard;
            for (const QString& line : listener.lines().filter(logTopic)) {
                heard << QJsonDocument::fromJson(line.mid(logTopic.size()).toUtf8())
                             .object()
                             .value("message"_L1)
                             .toString();
            }
            return heard;
        };
        ASSERT_TRUE(eventually([&] { return heardRecords().size() >= qsizetype(backlog); }))
            << heardRecords().join(u'\n').toStdString();
        // A record sent twice would come close behind the rest.
        ASSERT_TRUE(listener.caughtUp(broker));
        const QStringList heard = heardRecords();
        EXPECT_EQ(heard, made.mid(made.size() - qsizetype(backlog)));
        EXPECT_EQ(site.told.filter(u"zavok: reached"_s),
                  QStringList{u"zavok: reached the MQTT broker at mqtt://127.0.0.1:%1 again"_s.arg(broker.port())});
        EXPECT_EQ(site.told.filter(u"dropped"_s), dropped.isEmpty() ? QStringList() : QStringList{dropped});
    }
}

// A client whose TLS cannot be set up never connects: it would send the password in the clear. On the broker's plain
// port such a connection would be taken and logged with the program's user.
TEST_F(Mqtt, ATlsThatCannotBeSetUpIsToldAndNothingGoesOutInTheClear) {
    mqtt::MqttOptions options = optionsFor(broker, u"plant"_s);
    options.tls = true;
    options.caFile = u"/nonexistent/ca.pem"_s;
    Site site(options);
    ASSERT_TRUE(eventually([&] { return !site.told.isEmpty(); }));
    EXPECT_EQ(site.told.first(), u"zavok: cannot set up TLS for the MQTT broker at mqtts://127.0.0.1:%1 (Invalid "
                                 "function arguments provided.); nothing is published"_s.arg(broker.port()));
    // Far longer than a connection on the loopback takes; a slow machine can only miss the fault here.
    for (const QDeadlineTimer wait(1000); !wait.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_FALSE(broker.log().contains(u"u'"_s + Broker::kUser + u"'"_s)) << broker.log().toStdString();
    EXPECT_EQ(site.told.size(), 1) << site.toldText();
}

TEST_F(Mqtt, ARefusedLoginIsToldOnceWhileMonitoringGoesOn) {
    Site site(optionsFor(broker, u"plant"_s, false, u"wrong"_s));
    ASSERT_TRUE(eventually([&] { return broker.log().count(u"not authorised"_s) >= 2; })) << "tried again";
    site.h.poll(240 - 16);
    EXPECT_TRUE(site.h.logLines().last().startsWith("\"Alert #1 activated at\""));
    EXPECT_EQ(site.told.join(u'\n'), u"zavok: the MQTT broker at mqtt://127.0.0.1:%1 refused ZAVOK (Not authorized); "
                                     "monitoring goes on and ZAVOK keeps trying"_s.arg(broker.port()));
}

TEST_F(Mqtt, TwoSitesKeepApartAndOnlyOneThatTakesCommandsIsCommanded) {
    Listener listener(broker);
    Site a(optionsFor(broker, u"a"_s));
    Site b(optionsFor(broker, u"b"_s, true));
    EXPECT_EQ(b.told.join(u'\n'), u"zavok: MQTT commands are on: any client that the broker lets write zavok/b/command "
                                  "or zavok/b/…/set can press every button of the windows and change every setting; "
                                  "the broker's ACL must let only trusted users write them"_s);
    ASSERT_TRUE(eventually(
        [&] { return listener.hears(u"zavok/a/trouble OFF"_s) && listener.hears(u"zavok/b/trouble OFF"_s); }));
    for (Site* site : {&a, &b}) {
        site->h.poll(240 - 16);
        site->h.poll(240); // each keeps the reminder of its alert
    }
    ASSERT_TRUE(
        eventually([&] { return listener.hears(u"zavok/a/alert/1 ON"_s) && listener.hears(u"zavok/b/alert/1 ON"_s); }));
    EXPECT_EQ(listener.lines().count(u"zavok/a/alert/1 ON"_s), 1) << "each site's alert on its own topic";

    broker.publish(u"zavok/a/command"_s, "RESET");
    broker.publish(u"zavok/b/command"_s, "RESET");
    broker.publish(u"zavok/b/command"_s, "BELL ON");
    broker.publish(u"zavok/b/command"_s, "BELL OFF", Broker::Way::Retained); // would press again at every connection
    broker.publish(u"zavok/b/command"_s, "SELF DESTRUCT");
    ASSERT_TRUE(eventually([&] { return b.told.size() == 2; }));
    EXPECT_EQ(b.told.last(), u"zavok: ignored the MQTT command 'SELF DESTRUCT'; "_s + kCommands);
    EXPECT_NE(b.h.z().zavok->alabel[0]->back(), kLightRed) << "RESET cleared the reminder";
    EXPECT_TRUE(b.h.z().zavok->soundon.isVisible()) << "the bell is on";
    EXPECT_EQ(a.h.z().zavok->alabel[0]->back(), kLightRed) << "a site without commands takes none";
    EXPECT_TRUE(a.told.isEmpty()) << a.toldText();
}

// Home Assistant's way: each entity's command and state topics as its discovery config gives them. Every command is
// the press or entry of the windows, with their records and refusals, and what it sets is saved at once.
TEST_F(Mqtt, EachEntityIsOperatedFromTheBrokerAsTheWindowsAre) {
    Listener listener(broker);
    Site site(optionsFor(broker, u"plant"_s, true));
    ASSERT_TRUE(online(broker, u"plant"_s));
    site.h.poll(240 - 16);
    site.h.poll(240); // every contact at rest, alert 1 with its reminder
    site.h.joysticks.stick[0].wXpos = 32750;
    Zavok& z = site.h.z();
    const auto saved = [&](int line) {
        return QString::fromLatin1(Harness::bytes(site.h.dataPath(u"phones.zvk"_s))).split(u"\r\n"_s).value(line);
    };
    const qsizetype records = site.h.logLines().size();
    const QString refusal = u"Please enter a value for LOW ALARM between 0 and 100"_s;
    const struct {
        const char* entity;
        QByteArray payload;
        QString state; // what the state topic says after the command
        std::function<bool()> done;
    } rows[] = {
        {"switch/zavok_plant/circuit_2", "OFF", u"OFF"_s, [&] { return saved(30) == u"\"DISABLED\""_s; }},
        {"switch/zavok_plant/circuit_2", "ON", u"ON"_s, [&] { return saved(30) == u"\"ENABLED\""_s; }},
        {"switch/zavok_plant/channel_1_on", "ON", u"ON"_s, [&] { return z.channel(1).Timer1.isEnabled(); }},
        {"number/zavok_plant/channel_1_low", "-5", u"0"_s,
         [&] { return listener.hears(u"zavok/plant/error "_s + refusal); }},
        {"number/zavok_plant/channel_1_low", "-5", u"0"_s, [&] { return z.channel(1).setlowl.text() == u"0"_s; }},
        {"number/zavok_plant/channel_1_high", "90", u"90"_s, [&] { return saved(10) == u"\"90\""_s; }},
        {"select/zavok_plant/channel_3_period", "2", u"2"_s, [&] { return saved(36) == u"\"2\""_s; }},
        {"select/zavok_plant/channel_3_period", "0.1", u"0.1"_s, [&] { return saved(36) == u"\"0.1\""_s; }},
        {"select/zavok_plant/alerts_period", "0.7", u"0.1"_s, [&] { return site.told.last().contains(u"'0.7'"_s); }},
        {"text/zavok_plant/circuit_4_name", "Garage", u"Garage"_s,
         [&] { return z.zavok->clabel[3]->text() == u"Garage"_s; }},
        {"switch/zavok_plant/bell", "ON", u"ON"_s, [&] { return z.zavok->soundon.isVisible(); }},
        {"button/zavok_plant/reset", "PUSH", {}, [&] { return site.told.last().contains(u"'PUSH'"_s); }},
        {"button/zavok_plant/reset",
         "PRESS",
         {},
         [&] {
             const QJsonObject reminder = config(listener, "binary_sensor/zavok_plant/alert_1_reminder");
             const QString topic = reminder.value("state_topic"_L1).toString() + u' ';
             return listener.lines().filter(topic).endsWith(topic + u"OFF"_s) && listener.hears(topic + u"ON"_s) &&
                    z.zavok->alabel[0]->back() != kLightRed;
         }},
    };
    ASSERT_TRUE(eventually([&] { return !config(listener, "button/zavok_plant/reset").isEmpty(); }));
    // Beside the fourteen: per circuit its switch, name and reminder, per channel its switch, limits and sampling
    // time, and the alerts' sampling time, the bell and RESET.
    EXPECT_TRUE(eventually([&] { return listener.lines().filter(u"/config {"_s).size() == 14 + 4 * 3 + 4 * 4 + 3; }))
        << listener.lines().filter(u"/config {"_s).join(u'\n').toStdString();
    for (const auto& row : rows) {
        const QJsonObject c = config(listener, row.entity);
        const QString heard = c.value("state_topic"_L1).toString() + u' ' + row.state;
        const qsizetype before = listener.lines().count(heard);
        EXPECT_EQ(c.value("unique_id"_L1).toString(),
                  QString::fromLatin1(row.entity).section(u'/', 1).replace(u'/', u'_'));
        broker.publish(c.value("command_topic"_L1).toString(), row.payload);
        // A setting after another within the gap is saved at its end.
        EXPECT_TRUE(eventually([&] { return row.state.isEmpty() || listener.lines().count(heard) > before; }));
        site.h.scheduler.advance(mqtt::MqttPublisher::kSaveGapMs);
        EXPECT_TRUE(eventually([&] { return row.done(); })) << row.entity << ' ' << row.payload.toStdString();
    }
    QList<QByteArray> alerts = site.h.messages(records); // RESET, after them, writes the zones' records
    alerts.removeIf([](const QByteArray& message) { return !message.startsWith("\"Alert"); });
    EXPECT_EQ(alerts, QList<QByteArray>{"\"Alert #2 deactivated at\""}) << "off writes none, on one";
    EXPECT_EQ(z.channel(1).sethighl.text(), u"90"_s) << "a refusal changes nothing";
    EXPECT_EQ(site.told.filter(refusal).size(), 1) << site.toldText();
    EXPECT_EQ(site.told.filter(u"ignored"_s).size(), 2)
        << "only the choice and the press that are none: " << site.toldText();
    site.h.scheduler.advance(1000);
    EXPECT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/channel/1 50"_s); })) << "channel 1 reads";
    EXPECT_TRUE(eventually([&] { return saved(42) != u"\"DIS\""_s; })) << "and is saved as on";
}

// Whoever may write the command topic may send anything: the program says so in one line of its own, each strange
// command once, and a long payload never reaches its memory.
TEST_F(Mqtt, StrangeCommandsAreToldOnceEscapedAndLongOnesAreNeverKept) {
    Site site(optionsFor(broker, u"plant"_s, true));
    ASSERT_TRUE(online(broker, u"plant"_s));
    const QString command = u"zavok/plant/command"_s;
    const struct {
        QByteArray payload;
        QString told;
    } rows[] = {
        {"x\nzavok: the history is written to \xe2\x80\xa6 again\x1b[2J",
         u"zavok: ignored the MQTT command 'x\\nzavok: the history is written to … again\\e[2J'; "_s + kCommands},
        {QByteArray(256, 'z'), u"zavok: ignored the MQTT command '%1...'; "_s.arg(QString(200, u'z')) + kCommands},
        {QByteArray(257, 'y'), u"zavok: ignored an MQTT command longer than 256 bytes; "_s + kCommands},
    };
    QStringList expected = site.told; // the warning that commands are on
    for (const auto& row : rows) {
        broker.publish(command, row.payload);
        broker.publish(command, row.payload);
        expected << row.told;
    }
    broker.publish(command, "AFTER");
    expected << u"zavok: ignored the MQTT command 'AFTER'; "_s + kCommands;
    ASSERT_TRUE(eventually([&] { return site.told.size() >= expected.size(); }));
    EXPECT_EQ(site.told.join(u'\n'), expected.join(u'\n'));

    // Kept whole, as they once were, sixteen distinct payloads of 4 MB would hold 128 MB.
    const QTemporaryDir dir;
    const QByteArray stretch(64 * 1024, 'x');
    for (int i = 0; i < 16; ++i) {
        QFile big(dir.filePath(QString::number(i)));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray::number(i));
        for (int k = 0; k < 64; ++k) {
            big.write(stretch);
        }
    }
    const qint64 before = rssKb();
    for (int i = 0; i < 16; ++i) {
        broker.publishFile(command, dir.filePath(QString::number(i)));
    }
    broker.publish(command, "LAST");
    ASSERT_TRUE(eventually([&] { return site.told.last().contains(u"'LAST'"_s); }));
    EXPECT_LT(rssKb() - before, 4096);
    EXPECT_TRUE(broker.log().contains(u"Dropping too large outgoing PUBLISH for zavok-plant-"_s))
        << "the broker does not send them to the program at all";
}

// However many times Home Assistant says it is born, on the birth topic it was given, ZAVOK announces itself once at
// once and once more at the end of the gap, and a birth after a quiet gap is answered at once; the default birth
// topic is no longer heard.
TEST_F(Mqtt, AFloodOfBirthsAnnouncesOnceAtOnceAndOnceAfterTheGap) {
    const QString alert = u"homeassistant/binary_sensor/zavok_plant/alert_1/config"_s;
    const Listener listener(broker, {alert, u"zavok/plant/alert/1"_s});
    mqtt::MqttOptions options = optionsFor(broker, u"plant"_s, true);
    options.birthTopic = u"ha/born"_s;
    Site site(options);
    ASSERT_TRUE(online(broker, u"plant"_s));
    const auto configs = [&] { return listener.lines().filter(alert).size(); };
    // Each step ends with an alert change, published after every config that the step made.
    const auto step = [&](qint16 contacts) {
        site.h.poll(contacts);
        const QString state = u"zavok/plant/alert/1 "_s + (contacts == 240 ? u"OFF"_s : u"ON"_s);
        EXPECT_TRUE(eventually([&] { return listener.lines().endsWith(state); })) << state.toStdString();
        return configs();
    };
    // Ends once the program has taken them all: a strange command after them, each time another, is told.
    const auto births = [&](int count, const QString& topic = u"ha/born"_s) {
        const QByteArray after = "AFTER " + QByteArray::number(count) + topic.toUtf8();
        broker.publish(topic, QByteArray("online\n").repeated(count), Broker::Way::EachLine);
        broker.publish(u"zavok/plant/command"_s, after);
        EXPECT_TRUE(eventually([&] { return site.told.last().contains(QString::fromLatin1(after)); }));
    };
    EXPECT_EQ(step(240 - 16), 1) << "at the connection";
    births(1, u"homeassistant/status"_s);
    EXPECT_EQ(step(240), 1) << "not the default birth topic";
    births(20000);
    EXPECT_EQ(step(240 - 16), 2);
    site.h.scheduler.advance(mqtt::MqttPublisher::kGapMs);
    EXPECT_EQ(step(240), 3);
    site.h.scheduler.advance(mqtt::MqttPublisher::kGapMs);
    births(1);
    EXPECT_EQ(step(240 - 16), 4);
}

// Home Assistant keeps an entity for as long as its retained config stands: a run under another site name, or with
// discovery off, takes back what the run before announced, even where a run ended before the broker had it; a
// damaged memory of that costs only the taking back.
TEST_F(Mqtt, ARenamedSiteOrDiscoveryOffLeavesNoConfigOfTheRunBefore) {
    Site site(optionsFor(broker, u"old"_s));
    ASSERT_TRUE(online(broker, u"old"_s));
    const QString memory = site.h.dataPath(mqtt::AnnouncedConfigs::kFileName);
    // Renamed on a connection that is gone before the withdrawals reach the broker, and then ended.
    site.publisher.reset();
    site.publisher = std::make_unique<mqtt::MqttPublisher>(optionsFor(broker, u"new"_s), site.h.restart(), u"9.9"_s,
                                                           [&site](const QString& line) { site.told << line; });
    ASSERT_TRUE(online(broker, u"new"_s));
    broker.kill();
    site.publisher->follow();
    site.publisher.reset();
    EXPECT_EQ(Harness::bytes(memory).count("/zavok_old/"), 14) << "kept until the broker has their withdrawal";
    broker.start();
    const Listener live(broker, {u"homeassistant/#"_s});
    const auto retainedConfigs = [&] {
        const Listener late(broker, {u"homeassistant/#"_s});
        EXPECT_TRUE(late.caughtUp(broker));
        return late.lines().filter(u"retained homeassistant/"_s);
    };
    // Each run's withdrawals end its announcement, so once the last is heard the broker holds what the run left.
    const auto runAs = [&](const mqtt::MqttOptions& options, const QString& last) {
        const QRegularExpression heard(last);
        site.publisher.reset();
        site.publisher = std::make_unique<mqtt::MqttPublisher>(options, site.h.restart(), u"9.9"_s,
                                                               [&site](const QString& line) { site.told << line; });
        site.publisher->follow();
        EXPECT_TRUE(eventually([&] { return !live.lines().filter(heard).isEmpty(); })) << last.toStdString();
    };
    runAs(optionsFor(broker, u"new"_s), u"^homeassistant/event/zavok_old/log/config $"_s);
    EXPECT_TRUE(eventually([&] { return !Harness::bytes(memory).contains("/zavok_old/"); })) << "and then forgotten";
    const QStringList renamed = retainedConfigs();
    EXPECT_EQ(renamed.filter(u"/zavok_new/"_s).size(), 14);
    EXPECT_EQ(renamed.size(), 14) << renamed.join(u'\n').toStdString();

    mqtt::MqttOptions off = optionsFor(broker, u"new"_s);
    off.discoveryPrefix.clear();
    runAs(off, u"^homeassistant/event/zavok_new/log/config $"_s);
    EXPECT_EQ(retainedConfigs(), QStringList());
    EXPECT_TRUE(site.told.isEmpty()) << site.toldText();

    Harness::put(memory, "homeassistant/sensor/other_device/x/config\n");
    runAs(optionsFor(broker, u"again"_s), u"^homeassistant/event/zavok_again/log/config \\{"_s);
    site.h.poll(240 - 16);
    EXPECT_EQ(site.told, QStringList{u"zavok: cannot read %1 ('homeassistant/sensor/other_device/x/config' is no "
                                     "discovery topic of ZAVOK's); it is taken as no Home Assistant config announced "
                                     "before, so an entity of an earlier site name or discovery prefix may stay in "
                                     "Home Assistant until it is deleted there"_s.arg(memory)});
    EXPECT_TRUE(site.h.logLines().last().startsWith("\"Alert #1 activated at\"")) << "monitoring goes on";

    // With discovery off nothing new is remembered, and still the damaged memory is written again as sound.
    Harness::put(memory, "homeassistant/sensor/other_device/x/config\n");
    site.publisher.reset();
    site.publisher = std::make_unique<mqtt::MqttPublisher>(off, site.h.restart(), u"9.9"_s,
                                                           [&site](const QString& line) { site.told << line; });
    site.publisher->follow();
    EXPECT_TRUE(eventually([&] { return !Harness::bytes(memory).contains("other_device"); }));
}

// A message of another client on a state topic is answered by the state as it is, retained, so that Home Assistant
// and every later subscriber see the truth again.
TEST_F(Mqtt, AStateThatAnotherClientWritesIsPublishedAgain) {
    const Listener listener(broker, {u"zavok/plant/#"_s});
    Site site(optionsFor(broker, u"plant"_s));
    site.h.poll(240 - 16);
    ASSERT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/alert/1 ON"_s); }));
    const struct {
        const char* topic;
        QByteArray forged;
        Broker::Way way;
        const char* truth;
    } rows[] = {
        {"alert/1", "OFF", Broker::Way::Retained, "ON"},
        {"status", "offline", Broker::Way::Retained, "online"},
        {"trouble", "ON", Broker::Way::Once, "OFF"},
        {"channel/1", "99", Broker::Way::Retained, ""}, // the channel is off and has no value
        {"alert/1", QByteArray(1000, 'x'), Broker::Way::Retained, "ON"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.topic);
        const QString topic = u"zavok/plant/"_s + QLatin1String(row.topic) + u' ';
        // Each forgery after a quiet gap, so that each is answered at once.
        site.h.scheduler.advance(mqtt::MqttPublisher::kGapMs);
        const qsizetype from = listener.lines().size();
        broker.publish(topic.trimmed(), row.forged, row.way);
        EXPECT_TRUE(eventually([&] {
            const QStringList heard = listener.lines();
            const qsizetype forged = heard.indexOf(topic + QString::fromLatin1(row.forged), from);
            return forged >= 0 && heard.indexOf(topic + QLatin1String(row.truth), forged + 1) > forged;
        }));
    }
    // What says the truth already is not answered: the next answer is to the forgery sent after it.
    site.h.scheduler.advance(mqtt::MqttPublisher::kGapMs);
    const qsizetype from = listener.lines().size();
    broker.publish(u"zavok/plant/alert/1"_s, "ON", Broker::Way::Retained);
    broker.publish(u"zavok/plant/trouble"_s, "ON", Broker::Way::Once);
    EXPECT_TRUE(eventually([&] { return listener.lines().indexOf(u"zavok/plant/trouble OFF"_s, from) >= 0; }));
    EXPECT_EQ(listener.lines().mid(from).count(u"zavok/plant/alert/1 ON"_s), 1);
    const Listener late(broker, {u"zavok/plant/#"_s});
    ASSERT_TRUE(late.caughtUp(broker));
    const QStringList held = late.lines();
    EXPECT_TRUE(held.contains(u"retained zavok/plant/trouble OFF"_s));
    EXPECT_TRUE(held.contains(u"retained zavok/plant/alert/1 ON"_s));
    EXPECT_TRUE(held.contains(u"retained zavok/plant/status online"_s));
    EXPECT_TRUE(held.filter(u"zavok/plant/channel/1 "_s).isEmpty()) << held.join(u'\n').toStdString();
    EXPECT_TRUE(site.told.isEmpty()) << site.toldText();
}

// A TCP server that takes every connection and never says a word.
struct SilentServer {
    SilentServer() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (server.hasPendingConnections()) {
                server.nextPendingConnection();
                ++taken;
            }
        });
    }
    QTcpServer server;
    int taken = 0;
};

enum class Port { Plain, Tls, Silent, Closed };
enum class Ca { System, Own, Other };

struct Failure {
    const char* name;
    bool tls;
    const char* host;
    Port port;
    Ca ca;
    const char* told; // %1 the port, %2 the CA file; empty where the connection holds
};

// Named in the test's output by its name rather than by its bytes.
void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}

const Failure kFailures[] = {
    {"WrongCa", true, "localhost", Port::Tls, Ca::Other,
     "zavok: the certificate of the MQTT broker at mqtts://localhost:%1 cannot be verified with the CA in %2 "
     "(certificate verify failed)"},
    {"WrongName", true, "127.0.0.1", Port::Tls, Ca::Own,
     "zavok: the MQTT broker at mqtts://127.0.0.1:%1 showed a certificate for another name (host name verification "
     "failed)"},
    {"TlsOnThePlainPort", true, "localhost", Port::Plain, Ca::Own,
     "zavok: no TLS with the MQTT broker at mqtts://localhost:%1 (unexpected eof while reading); is that port its "
     "TLS port?"},
    {"SilentBroker", false, "127.0.0.1", Port::Silent, Ca::System,
     "zavok: no answer from the MQTT broker at mqtt://127.0.0.1:%1 in 10 s"},
    {"IPv6", false, "::1", Port::Closed, Ca::System,
     "zavok: cannot reach the MQTT broker at mqtt://[::1]:%1 (Connection refused)"},
    {"TlsThatHolds", true, "localhost", Port::Tls, Ca::Own, ""},
};

class MqttFailure : public ::testing::TestWithParam<Failure> {
protected:
    void SetUp() override {
        if (!broker.available()) {
            GTEST_SKIP() << broker.refusal().toStdString();
        }
        if (!certificates.made()) {
            GTEST_SKIP() << "openssl is not installed (scripts/deps installs it)";
        }
    }
    int port(Port which) const {
        switch (which) {
        case Port::Plain:
            return broker.port();
        case Port::Tls:
            return broker.tlsPort();
        case Port::Silent:
            return silent.server.serverPort();
        case Port::Closed:
            break;
        }
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHostIPv6);
        return probe.serverPort();
    }

    Certificates certificates;
    Broker broker{certificates.made() ? &certificates : nullptr};
    SilentServer silent;
};

// Each failure is told in words of its own, with the broker's address as a URL writes it.
TEST_P(MqttFailure, IsToldInWordsOfItsOwn) {
    const Failure& f = GetParam();
    const QString ca = f.ca == Ca::Own ? certificates.ca() : f.ca == Ca::Other ? certificates.otherCa() : QString();
    const int at = port(f.port);
    Site site({f.tls, QString::fromLatin1(f.host), at, Broker::kUser, Broker::kPassword, ca, u"tls"_s,
               u"homeassistant"_s, false});
    if (*f.told == '\0') {
        EXPECT_TRUE(online(broker, u"tls"_s));
        EXPECT_TRUE(site.told.isEmpty()) << site.toldText();
        return;
    }
    ASSERT_TRUE(eventually([&] { return !site.told.isEmpty(); }));
    EXPECT_EQ(site.told.join(u'\n'),
              QString::fromLatin1(f.told).replace(u"%1"_s, QString::number(at)).replace(u"%2"_s, ca) +
                  u"; monitoring goes on and ZAVOK keeps trying"_s);
    if (f.port == Port::Silent) {
        EXPECT_TRUE(eventually([&] { return silent.taken >= 2; })) << "given up and tried again";
    }
}

INSTANTIATE_TEST_SUITE_P(EachFailure, MqttFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

} // namespace
} // namespace zavok::test
