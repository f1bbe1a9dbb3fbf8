#include "alerts/alert_fixture.h"

namespace zavok::test {
namespace {

using Records = QList<QByteArray>;

TEST_F(AlertTest, ContactClosingAndOpeningLeavesAReminderUntilReset) {
    poll(240);
    EXPECT_TRUE(records().isEmpty());
    EXPECT_FALSE(form().Timer2.isEnabled());

    poll(224); // bit 4 falls: alert 1 active
    EXPECT_EQ(records(), Records{"\"Alert #1 activated at\""});
    EXPECT_EQ(h.logLines().last(), QByteArray("\"Alert #1 activated at\",\"08:15:20 AM\",\"July 13,2001\""));
    EXPECT_EQ(form().trigger[0]->text(), QStringLiteral("0"));
    for (kit::Label* l : {form().indicator[0], form().blabel[0], form().alabel[0]}) {
        EXPECT_EQ(l->back(), kLightRed) << qPrintable(l->name());
    }
    EXPECT_TRUE(form().Timer2.isEnabled());

    poll(240);
    EXPECT_EQ(records(), (Records{"\"Alert #1 activated at\"", "\"Alert #1 deactivated at\""}));
    EXPECT_EQ(form().indicator[0]->back(), kLightGreen);
    EXPECT_EQ(form().blabel[0]->back(), kLightGreen);
    EXPECT_EQ(form().alabel[0]->back(), kLightRed) << "the reminder stays";
    EXPECT_FALSE(form().Timer2.isEnabled());

    form().reset.click();
    EXPECT_EQ(form().alabel[0]->back(), kLightGreen);
    EXPECT_EQ(records().size(), 2);
}

TEST_F(AlertTest, ResetKeepsAnActiveAlertRedAndGivesEachAlertItsOwnRestColour) {
    poll(240);
    poll(240 - 16 - 64); // alerts 1 and 3 active
    poll(240 - 16);      // alert 3 back at rest, alert 1 still active
    form().reset.click();
    EXPECT_EQ(form().alabel[0]->back(), kLightRed);
    EXPECT_EQ(form().alabel[2]->back(), kLightCyan);
    EXPECT_TRUE(form().Timer2.isEnabled()) << "RESET leaves the bell to the poll cycle";
}

TEST_F(AlertTest, AlertsOfOneTickAreHandledInOrder) {
    poll(240);
    poll(5); // bits 0 and 2 only: all four alerts active
    EXPECT_EQ(records(), (Records{"\"Alert #1 activated at\"", "\"Alert #2 activated at\"", "\"Alert #3 activated at\"",
                                  "\"Alert #4 activated at\""}));
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(form().trigger[n]->text(), QStringLiteral("0"));
    }
}

TEST_F(AlertTest, AZeroReadingChangesNothingExceptOnTheVeryFirstTick) {
    poll(0); // every bit still unset: the triggers become empty and unset counts as active
    EXPECT_EQ(records(), (Records{"\"Alert #1 activated at\"", "\"Alert #2 activated at\"", "\"Alert #3 activated at\"",
                                  "\"Alert #4 activated at\""}));
    EXPECT_EQ(form().trigger[3]->text(), QString());
    EXPECT_TRUE(form().Timer2.isEnabled());

    poll(240);
    const auto before = records().size();
    poll(0);
    EXPECT_EQ(records().size(), before);
    EXPECT_EQ(form().trigger[0]->text(), QStringLiteral("1"));
    EXPECT_EQ(form().Text9.text(), QStringLiteral("0"));
}

TEST_F(AlertTest, ReadingsOutsideAByteChangeNoAlert) {
    poll(240);
    for (qint16 bad : {qint16(256), qint16(-1), qint16(4000), qint16(-32768)}) {
        poll(bad);
        EXPECT_EQ(form().Text9.text(), QString::number(bad));
    }
    EXPECT_TRUE(records().isEmpty());
    EXPECT_EQ(h.port.ports, std::vector<int>(h.port.ports.size(), 513)) << "always the game port";
    EXPECT_EQ(h.port.writes, 0);
}

TEST_F(AlertTest, ReadingSixteenLeavesOnlyAlertOneAtRest) {
    poll(240);
    poll(16);
    EXPECT_EQ(records(),
              (Records{"\"Alert #2 activated at\"", "\"Alert #3 activated at\"", "\"Alert #4 activated at\""}));
    EXPECT_EQ(form().alabel[0]->back(), kLightGreen);
}

TEST_F(AlertTest, SamplingTimeSetsThePollPeriodWithinSaneBounds) {
    struct Case {
        const char* secs;
        int interval;
    };
    for (const Case& c : {Case{"0.5", 500}, Case{"60", 60000}, Case{"0.1", 100}, Case{"2.5", 2500}, Case{"0", 100},
                          Case{"abc", 100}, Case{"1e9", 60000}, Case{"", 100}}) {
        z->zavoktimer->secs[0]->setText(QString::fromLatin1(c.secs));
        h.scheduler.advance(form().Timer1.interval());
        EXPECT_EQ(form().Timer1.interval(), c.interval) << c.secs;
    }
}

TEST_F(AlertTest, BellBeepsPerRunningTimerOnlyWhileSwitchedOn) {
    poll(240);
    poll(224); // Timer2 starts now
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 0) << "the bell starts off";
    EXPECT_TRUE(form().soundoff.isVisible());

    form().soundoff.click();
    EXPECT_FALSE(form().soundoff.isVisible());
    EXPECT_TRUE(form().soundon.isVisible() && form().soundon.isEnabled());
    EXPECT_EQ(form().soundon.text(), QStringLiteral("BELL ON "));
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 2) << "every half second, though the poll re-enables Timer2 ten times a second";

    form().zoneBell[0]->setEnabled(true); // a zone in alarm as well
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 6);

    form().soundon.click();
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 6);
    EXPECT_TRUE(form().soundoff.isEnabled());
}

TEST_F(AlertTest, ARecordAfterMidnightGoesToTheNewDay) {
    poll(240);
    h.clock.setStart(QDateTime(QDate(2001, 7, 13), QTime(23, 59, 59, 950)).addMSecs(-h.scheduler.now()));
    poll(224);
    EXPECT_EQ(h.logLines(QStringLiteral("Jul 14")),
              QList<QByteArray>{"\"Alert #1 activated at\",\"12:00:00 AM\",\"July 14,2001\""});
}

} // namespace
} // namespace zavok::test
