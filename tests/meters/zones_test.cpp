#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

constexpr kit::Rgb kNormalFrame{128, 128, 255};
constexpr kit::Rgb kAlarmFrame{255, 0, 255};

// A started program whose channels are switched on by hand, so that tests write values straight into the zones.
class ZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        z = &h.start();
        for (int k = 1; k <= 4; ++k) {
            z->channel(k).disable.setEnabled(true);
            z->channel(k).Timer1.setEnabled(false); // the values come from the test, not the joysticks
        }
        start = h.logLines().size();
    }

    void scale(int zone, const char* low, const char* full, const char* lowAlarm, const char* highAlarm) {
        z->zavok->mzero[zone - 1]->setText(QString::fromLatin1(low));
        z->zavok->mfsd[zone - 1]->setText(QString::fromLatin1(full));
        z->channel(zone).setlowl.setText(QString::fromLatin1(lowAlarm));
        z->channel(zone).sethighl.setText(QString::fromLatin1(highAlarm));
    }

    QString show(int zone, const char* value) {
        z->zavok->value[zone - 1]->setText(QString::fromLatin1(value));
        return z->zavok->flabel[zone - 1]->text();
    }

    QList<QByteArray> records() const { return h.messages(start); }

    Harness h;
    Zavok* z = nullptr;
    qsizetype start = 0;
};

TEST_F(ZoneTest, ClassificationTable) {
    struct Case {
        const char* value;
        const char* label;
    };
    const Case cases[] = {{"90", "HIGH ALARM"}, {"100", "HIGH ALARM"}, {"101", "H.CAL ERROR"}, {"-1", "L.CAL ERROR"},
                          {"0", "LOW ALARM"},   {"50", "Volume"},      {"20", "Volume"},       {"19", "LOW ALARM"},
                          {"80", "Volume"},     {"81", "HIGH ALARM"},  {"DIS", "LOW ALARM"}};
    scale(2, "0", "100", "20", "80");
    for (const Case& c : cases) {
        EXPECT_EQ(show(2, c.value), QString::fromLatin1(c.label)) << c.value;
    }
}

TEST_F(ZoneTest, OverlappingLimitsShowTheLowAlarmFirst) {
    scale(3, "0", "100", "60", "40");
    EXPECT_EQ(show(3, "50"), QStringLiteral("LOW ALARM"));
}

TEST_F(ZoneTest, ZoneOneNeedsAValueAboveTheLowMarkForAHighAlarm) {
    for (int k = 1; k <= 4; ++k) {
        scale(k, "10", "100", "5", "5");
        EXPECT_EQ(show(k, "10"), k == 1 ? z->channel(1).fname.text() : QStringLiteral("HIGH ALARM")) << k;
        EXPECT_EQ(show(k, "11"), QStringLiteral("HIGH ALARM")) << k;
    }
}

TEST_F(ZoneTest, ADisabledChannelIsAlwaysNormal) {
    scale(4, "10", "100", "20", "80");
    show(4, "50");
    EXPECT_EQ(show(4, "DIS"), QStringLiteral("L.CAL ERROR")) << "DIS reads as 0 while the channel is on";
    EXPECT_TRUE(z->zavok->zoneBell[3]->isEnabled());
    z->channel(4).disable.setEnabled(false);
    EXPECT_EQ(show(4, "500"), QStringLiteral("Flow"));
    EXPECT_FALSE(z->zavok->zoneBell[3]->isEnabled());
}

TEST_F(ZoneTest, AlarmFrameLatchesUntilResetAndTheBellFollowsTheState) {
    scale(1, "0", "100", "20", "80");
    EXPECT_EQ(z->zavok->frame[0]->back(), kNormalFrame);
    show(1, "90");
    EXPECT_EQ(z->zavok->frame[0]->back(), kAlarmFrame);
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 0) << "the bell timer runs silently while the bell is off";
    z->zavok->soundoff.click();
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 2);

    show(1, "50");
    EXPECT_EQ(z->zavok->flabel[0]->text(), QStringLiteral("Pressure"));
    EXPECT_FALSE(z->zavok->zoneBell[0]->isEnabled());
    EXPECT_EQ(z->zavok->frame[0]->back(), kAlarmFrame);
    z->zavok->reset.click();
    EXPECT_EQ(z->zavok->frame[0]->back(), kNormalFrame);
}

TEST_F(ZoneTest, EachChangeOfStateIsLoggedOnce) {
    scale(1, "0", "100", "20", "80");
    show(1, "10");
    show(1, "5");  // same band: no record
    show(1, "90"); // straight to high
    show(1, "50");
    show(1, "120");
    show(1, "-5");
    EXPECT_EQ(records(),
              (QList<QByteArray>{"\"Pressure Low Alarm at\"", "\"Pressure High Alarm at\"", "\"Pressure Normal at\"",
                                 "\"Pressure High Calibration Error at\"", "\"Pressure Low Calibration Error at\""}));
}

TEST_F(ZoneTest, MessagesAreBuiltFromTheCurrentName) {
    scale(2, "0", "100", "20", "80");
    z->channel(2).fname.setText(QStringLiteral("HIGH ALARM"));
    show(2, "10");
    show(2, "50"); // back to the name, which equals an alarm text: the alarm texts are tested first
    z->channel(2).fname.setText(QString());
    show(2, "10");
    z->channel(2).fname.setText(QStringLiteral("Tank 2"));
    z->zavok->flabel[1]->setText(QStringLiteral("Tank 2")); // a rename during the alarm
    z->zavok->flabel[1]->setText(QStringLiteral("NO INPUT"));
    z->zavok->flabel[1]->setText(QStringLiteral("ENABLED"));
    EXPECT_EQ(records(), (QList<QByteArray>{"\"HIGH ALARM Low Alarm at\"", "\"HIGH ALARM High Alarm at\"",
                                            "\" Low Alarm at\"", "\"Tank 2 Normal at\""}));
}

TEST_F(ZoneTest, ResetDuringAnAlarmWritesTwoRecords) {
    scale(2, "0", "100", "20", "80");
    show(2, "90");
    z->zavok->reset.click();
    EXPECT_EQ(records(),
              (QList<QByteArray>{"\"Volume High Alarm at\"", "\"Volume Normal at\"", "\"Volume High Alarm at\""}));
    EXPECT_EQ(z->zavok->frame[1]->back(), kAlarmFrame);
}

TEST(ZoneStartup, AFirstStartLogsTheZoneNamesAfterTheStartRecordAndNothingElse) {
    Harness h;
    h.start();
    EXPECT_EQ(h.logLines(), (QList<QByteArray>{"\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Pressure Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Volume Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Temperature Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Flow Normal at\",\"08:15:20 AM\",\"July 13,2001\""}));
}

} // namespace
} // namespace zavok::test
