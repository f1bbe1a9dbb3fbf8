#include "platform/mqtt_publisher.h"
#include "support/harness.h"
#include "support/mqtt_broker.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

// The MQTT publisher against a real broker of the test's own, with the program on virtual time.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

struct Site {
    Site(const Broker& broker, const QString& name, bool commands = false,
         const QString& password = Broker::kPassword) {
        publisher = std::make_unique<platform::MqttPublisher>(
            platform::MqttOptions{
                false, u"127.0.0.1"_s, broker.port(), Broker::kUser, password, {}, name, u"homeassistant"_s, commands},
            h.start(), u"9.9"_s, [this](const QString& line) { told << line; });
        publisher->follow();
    }

    Harness h;
    QStringList told;
    std::unique_ptr<platform::MqttPublisher> publisher;
};

// The last config heard on the discovery topic of `what`, as in "binary_sensor/zavok_plant/alert_1".
QJsonObject config(const Listener& listener, const char* what) {
    const QString topic = u"homeassistant/"_s + QLatin1String(what) + u"/config "_s;
    const QStringList heard = listener.lines().filter(topic);
    return heard.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(heard.last().mid(topic.size()).toUtf8()).object();
}

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
    Site site(broker, u"plant"_s);
    ASSERT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/trouble OFF"_s); }));
    const QJsonObject alert = config(listener, "binary_sensor/zavok_plant/alert_1");
    EXPECT_EQ(alert.value("unique_id"_L1).toString(), u"zavok_plant_alert_1"_s);
    EXPECT_EQ(alert.value("state_topic"_L1).toString(), u"zavok/plant/alert/1"_s);
    EXPECT_EQ(alert.value("availability_topic"_L1).toString(), u"zavok/plant/status"_s);
    EXPECT_EQ(alert["device"_L1]["name"_L1].toString(), u"ZAVOK plant"_s);
    EXPECT_EQ(alert["device"_L1]["sw_version"_L1].toString(), u"9.9"_s);
    EXPECT_EQ(config(listener, "sensor/zavok_plant/channel_3").value("state_class"_L1).toString(), u"measurement"_s);
    EXPECT_EQ(config(listener, "binary_sensor/zavok_plant/trouble").value("device_class"_L1).toString(), u"problem"_s);
    EXPECT_TRUE(config(listener, "button/zavok_plant/reset").isEmpty()) << "no buttons without commands";

    site.h.poll(240 - 16);
    site.h.port.faultText = u"the port is gone"_s;
    site.h.poll(240 - 16);
    site.h.joysticks.stick[0].wXpos = 32750;
    site.h.z().channel(1).enable.click();
    site.h.scheduler.advance(1000);
    site.h.z().zavok->clabel[0]->setText(u"Garage"_s);
    for (const char* line :
         {R"(zavok/plant/alert/1 ON)",
          R"(zavok/plant/log {"message":"Alert #1 activated at","time":"08:15:20 AM","date":"July 13,2001"})",
          R"(zavok/plant/trouble ON)", R"(zavok/plant/trouble/reason the port is gone)", R"(zavok/plant/channel/1 50)",
          R"(zavok/plant/channel/1/available online)", R"(zavok/plant/zone/1 Normal)"}) {
        EXPECT_TRUE(eventually([&] { return listener.hears(QString::fromUtf8(line)); })) << line;
    }
    EXPECT_TRUE(eventually([&] {
        return config(listener, "binary_sensor/zavok_plant/alert_1").value("name"_L1) == u"Garage"_s;
    })) << "a renamed circuit is announced again";
    const Listener late(broker, {u"zavok/plant/alert/1"_s});
    EXPECT_TRUE(eventually([&] { return late.hears(u"retained zavok/plant/alert/1 ON"_s); }));
}

TEST_F(Mqtt, EveryRecordMadeWhileTheBrokerIsDownArrivesOnceAndInOrder) {
    Site site(broker, u"plant"_s);
    {
        const Listener listener(broker, {u"zavok/plant/status"_s});
        ASSERT_TRUE(eventually([&] { return listener.hearsLiveOrRetained(u"zavok/plant/status online"_s); }));
    }
    broker.kill();
    ASSERT_TRUE(eventually([&] { return !site.told.isEmpty(); })) << "the loss is told";
    QStringList expected;
    for (int round = 0; round < 3; ++round) {
        site.h.poll(240 - 16);
        site.h.poll(240);
        expected << u"Alert #1 activated at"_s << u"Alert #1 deactivated at"_s;
    }
    // The records are not retained: the program may come back only once the listener is there.
    broker.admitProgram(false);
    broker.start();
    const Listener listener(broker, {u"zavok/plant/#"_s});
    broker.admitProgram(true);
    // The states come after the records the connection's loss held back.
    ASSERT_TRUE(eventually([&] { return listener.hears(u"zavok/plant/trouble OFF"_s); }));
    QStringList heard;
    for (const QString& line : listener.lines().filter(u"zavok/plant/log "_s)) {
        heard << QJsonDocument::fromJson(line.mid(16).toUtf8()).object().value("message"_L1).toString();
    }
    EXPECT_EQ(heard, expected);
}

TEST_F(Mqtt, ARefusedLoginIsToldOnceWhileMonitoringGoesOn) {
    Site site(broker, u"plant"_s, false, u"wrong"_s);
    ASSERT_TRUE(eventually([&] { return broker.log().count(u"not authorised"_s) >= 2; })) << "tried again";
    site.h.poll(240 - 16);
    EXPECT_TRUE(site.h.logLines().last().startsWith("\"Alert #1 activated at\""));
    EXPECT_EQ(site.told,
              QStringList{u"zavok: the MQTT broker at mqtt://127.0.0.1:%1 refused ZAVOK (Connection Refused: "
                          "not authorised.); monitoring goes on and ZAVOK keeps trying"_s.arg(broker.port())});
}

TEST_F(Mqtt, TwoSitesKeepApartAndOnlyOneThatTakesCommandsIsCommanded) {
    Listener listener(broker);
    Site a(broker, u"a"_s);
    Site b(broker, u"b"_s, true);
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
    broker.publish(u"zavok/b/command"_s, "SELF DESTRUCT");
    ASSERT_TRUE(eventually([&] { return b.told.size() == 1; }));
    EXPECT_TRUE(b.told.first().contains(u"'SELF DESTRUCT'"_s));
    EXPECT_NE(b.h.z().zavok->alabel[0]->back(), kLightRed) << "RESET cleared the reminder";
    EXPECT_TRUE(b.h.z().zavok->soundon.isVisible()) << "the bell is on";
    EXPECT_EQ(a.h.z().zavok->alabel[0]->back(), kLightRed) << "a site without commands takes none";
    EXPECT_TRUE(a.told.isEmpty());
}

} // namespace
} // namespace zavok::test
