#include "platform/mqtt_publisher.h"
#include "support/harness.h"
#include "support/mqtt_broker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

// The MQTT publisher against a real broker of the test's own, with the program on virtual time.
namespace zavok::test {
namespace {

constexpr kit::Rgb kLightRed{255, 0, 0};

// One site of ZAVOK publishing to the broker.
struct Site {
    Site(const Broker& broker, const QString& name, bool commands = false,
         const QString& password = Broker::kPassword) {
        Zavok& z = h.start();
        const platform::MqttOptions options{.tls = false,
                                            .host = QStringLiteral("127.0.0.1"),
                                            .port = broker.port(),
                                            .user = Broker::kUser,
                                            .password = password,
                                            .caFile = {},
                                            .site = name,
                                            .discoveryPrefix = QStringLiteral("homeassistant"),
                                            .commands = commands};
        publisher = std::make_unique<platform::MqttPublisher>(options, z, QStringLiteral("9.9"),
                                                              [this](const QString& line) { told << line; });
        publisher->follow();
    }
    void poll(qint16 reading) {
        h.port.value = reading;
        h.scheduler.advance(100);
    }
    MainForm& form() { return *h.z().zavok; }

    Harness h;
    QStringList told;
    std::unique_ptr<platform::MqttPublisher> publisher;
};

// The last config heard on a discovery topic.
QJsonObject config(const Listener& listener, const QString& topic) {
    const QStringList lines = listener.lines();
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->startsWith(topic + u' ')) {
            return QJsonDocument::fromJson(line->mid(topic.size() + 1).toUtf8()).object();
        }
    }
    return {};
}

void command(const Broker& broker, const QString& topic, const QString& payload) {
    QProcess::execute(QStringLiteral("mosquitto_pub"),
                      {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                       QString::number(broker.port()), QStringLiteral("-u"), Broker::kUser, QStringLiteral("-P"),
                       Broker::kPassword, QStringLiteral("-t"), topic, QStringLiteral("-m"), payload});
}

#define NEED_BROKER(broker)                                                                                            \
    if (!(broker).available()) {                                                                                       \
        GTEST_SKIP() << (broker).refusal().toStdString();                                                              \
    }

TEST(Mqtt, DiscoveryStatesRecordsAndTroubleReachTheBroker) {
    Broker broker;
    NEED_BROKER(broker);
    Listener listener(broker);
    Site site(broker, QStringLiteral("plant"));
    ASSERT_TRUE(eventually([&] { return listener.hears(QStringLiteral("zavok/plant/trouble OFF")); }));
    EXPECT_TRUE(listener.hears(QStringLiteral("zavok/plant/status online")));
    const QJsonObject alert =
        config(listener, QStringLiteral("homeassistant/binary_sensor/zavok_plant/alert_1/config"));
    EXPECT_EQ(alert.value(QStringLiteral("name")).toString(), QStringLiteral("Front Door"));
    EXPECT_EQ(alert.value(QStringLiteral("unique_id")).toString(), QStringLiteral("zavok_plant_alert_1"));
    EXPECT_EQ(alert.value(QStringLiteral("state_topic")).toString(), QStringLiteral("zavok/plant/alert/1"));
    EXPECT_EQ(alert.value(QStringLiteral("availability_topic")).toString(), QStringLiteral("zavok/plant/status"));
    const QJsonObject device = alert.value(QStringLiteral("device")).toObject();
    EXPECT_EQ(device.value(QStringLiteral("name")).toString(), QStringLiteral("ZAVOK plant"));
    EXPECT_EQ(device.value(QStringLiteral("sw_version")).toString(), QStringLiteral("9.9"));
    EXPECT_EQ(config(listener, QStringLiteral("homeassistant/sensor/zavok_plant/channel_3/config"))
                  .value(QStringLiteral("state_class")),
              QStringLiteral("measurement"));
    EXPECT_EQ(config(listener, QStringLiteral("homeassistant/binary_sensor/zavok_plant/trouble/config"))
                  .value(QStringLiteral("device_class")),
              QStringLiteral("problem"));
    EXPECT_TRUE(config(listener, QStringLiteral("homeassistant/button/zavok_plant/reset/config")).isEmpty())
        << "no buttons without commands";

    site.poll(240 - 16);
    site.h.port.faultText = QStringLiteral("the port is gone");
    site.poll(240 - 16);
    site.h.joysticks.stick[0].wXpos = 32750;
    site.h.z().channel(1).enable.click();
    site.h.scheduler.advance(1000);
    site.form().clabel[0]->setText(QStringLiteral("Garage"));
    for (const char* line :
         {R"(zavok/plant/alert/1 ON)",
          R"(zavok/plant/log {"message":"Alert #1 activated at","time":"08:15:20 AM","date":"July 13,2001"})",
          R"(zavok/plant/trouble ON)", R"(zavok/plant/trouble/reason the port is gone)", R"(zavok/plant/channel/1 50)",
          R"(zavok/plant/channel/1/available online)", R"(zavok/plant/zone/1 Normal)"}) {
        EXPECT_TRUE(eventually([&] { return listener.hears(QString::fromUtf8(line)); })) << line;
    }
    EXPECT_TRUE(eventually([&] {
        return config(listener, QStringLiteral("homeassistant/binary_sensor/zavok_plant/alert_1/config"))
                   .value(QStringLiteral("name")) == QStringLiteral("Garage");
    })) << "a renamed circuit is announced again";
    const Listener late(broker, QStringLiteral("zavok/plant/alert/1"));
    EXPECT_TRUE(eventually([&] { return late.hears(QStringLiteral("retained zavok/plant/alert/1 ON")); }));
}

TEST(Mqtt, EveryRecordMadeWhileTheBrokerIsDownArrivesOnceAndInOrder) {
    Broker broker;
    NEED_BROKER(broker);
    Site site(broker, QStringLiteral("plant"));
    {
        const Listener listener(broker, QStringLiteral("zavok/plant/status"));
        ASSERT_TRUE(eventually([&] { return listener.hears(QStringLiteral("retained zavok/plant/status online")); }));
    }
    broker.kill();
    ASSERT_TRUE(eventually([&] { return !site.told.isEmpty(); })) << "the loss is told";
    QStringList expected;
    for (int round = 0; round < 3; ++round) {
        site.poll(240 - 16);
        site.poll(240);
        expected << QStringLiteral("Alert #1 activated at") << QStringLiteral("Alert #1 deactivated at");
    }
    broker.start();
    const Listener listener(broker, QStringLiteral("zavok/plant/#"));
    // The states come after the records the connection's loss held back.
    ASSERT_TRUE(eventually([&] { return listener.hears(QStringLiteral("zavok/plant/trouble OFF")); }));
    QStringList heard;
    for (const QString& line : listener.lines()) {
        if (line.startsWith(QStringLiteral("zavok/plant/log "))) {
            heard
                << QJsonDocument::fromJson(line.mid(16).toUtf8()).object().value(QStringLiteral("message")).toString();
        }
    }
    EXPECT_EQ(heard, expected);
}

TEST(Mqtt, ARefusedLoginIsToldOnceWhileMonitoringGoesOn) {
    Broker broker;
    NEED_BROKER(broker);
    Site site(broker, QStringLiteral("plant"), false, QStringLiteral("wrong"));
    ASSERT_TRUE(eventually([&] { return broker.log().count(QStringLiteral("not authorised")) >= 2; })) << "tried again";
    site.poll(240 - 16);
    EXPECT_TRUE(site.h.logLines().last().startsWith("\"Alert #1 activated at\""));
    EXPECT_EQ(site.told,
              QStringList{QStringLiteral("zavok: the MQTT broker at mqtt://127.0.0.1:%1 refused ZAVOK "
                                         "(Connection Refused: not authorised.); monitoring goes on and ZAVOK "
                                         "keeps trying")
                              .arg(broker.port())});
}

TEST(Mqtt, TwoSitesKeepApartAndOnlyOneThatTakesCommandsIsCommanded) {
    Broker broker;
    NEED_BROKER(broker);
    Listener listener(broker);
    Site a(broker, QStringLiteral("a"));
    Site b(broker, QStringLiteral("b"), true);
    ASSERT_TRUE(eventually([&] {
        return listener.hears(QStringLiteral("zavok/a/trouble OFF")) &&
               listener.hears(QStringLiteral("zavok/b/trouble OFF"));
    }));
    for (Site* site : {&a, &b}) {
        site->poll(240 - 16);
        site->poll(240); // each keeps the reminder of its alert
    }
    ASSERT_TRUE(eventually([&] { return listener.hears(QStringLiteral("zavok/b/alert/1 ON")); }));
    EXPECT_EQ(listener.lines().count(QStringLiteral("zavok/a/alert/1 ON")), 1) << "each site's alert on its own topic";

    command(broker, QStringLiteral("zavok/a/command"), QStringLiteral("RESET"));
    command(broker, QStringLiteral("zavok/b/command"), QStringLiteral("RESET"));
    command(broker, QStringLiteral("zavok/b/command"), QStringLiteral("BELL ON"));
    command(broker, QStringLiteral("zavok/b/command"), QStringLiteral("SELF DESTRUCT"));
    ASSERT_TRUE(eventually([&] { return b.told.size() == 1; }));
    EXPECT_TRUE(b.told.first().contains(QStringLiteral("'SELF DESTRUCT'")));
    EXPECT_NE(b.form().alabel[0]->back(), kLightRed) << "RESET cleared the reminder";
    EXPECT_TRUE(b.form().soundon.isVisible()) << "the bell is on";
    EXPECT_EQ(a.form().alabel[0]->back(), kLightRed) << "a site without commands takes none";
    EXPECT_TRUE(a.told.isEmpty());
}

} // namespace
} // namespace zavok::test
