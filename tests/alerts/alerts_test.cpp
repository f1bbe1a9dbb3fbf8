#include "support/started_program.h"

// The four alerts are one design with the alert's number as parameter: each behaviour runs over all four.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using Records = QList<QByteArray>;

// Alert n's contact closed (its bit, 3 + n, low) and the others at rest.
qint16 closed(int n) {
    return qint16(240 - (8 << n));
}
QString rest(int n) {
    return n <= 2 ? u"green"_s : u"cyan"_s;
}
QByteArray record(int n, const char* what) {
    return "\"Alert #" + QByteArray::number(n) + ' ' + what + " at\"";
}
QString colour(std::optional<kit::Rgb> c) {
    const kit::Rgb red{255, 0, 0}, green{0, 255, 0}, cyan{0, 255, 255}, on{0, 130, 0};
    return c == red ? u"red"_s : c == green ? u"green"_s : c == cyan ? u"cyan"_s : c == on ? u"on"_s : u"other"_s;
}

class AlertTest : public StartedProgram {
protected:
    // Alert n's indicator, home marker and status label as colours; '-' marks an indicator or a status label that
    // is disabled.
    QString lights(int n) {
        const auto look = [](const kit::Label* l) -> QString {
            return colour(l->back()) + (l->isEnabled() ? u"" : u"-");
        };
        return look(main().indicator[n - 1]) + u' ' + colour(main().blabel[n - 1]->back()) + u' ' +
               look(main().alabel[n - 1]);
    }
    QString circuit(int n) { return main().enable[n - 1]->text() + u' ' + colour(main().enable[n - 1]->back()); }
};

TEST_F(AlertTest, ContactClosingAndOpeningLeavesAReminderUntilAResetThatKeepsActiveAlertsRed) {
    h.poll(240);
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        h.poll(closed(n));
        EXPECT_EQ(records().mid(2 * n - 2), Records{record(n, "activated")});
        EXPECT_EQ(main().trigger[n - 1]->text(), u"0"_s);
        EXPECT_EQ(lights(n), u"red red red"_s);
        EXPECT_TRUE(main().Timer2.isEnabled());
        h.poll(240);
        EXPECT_EQ(records().last(), record(n, "deactivated"));
        EXPECT_EQ(lights(n), u"%1 %1 red"_s.arg(rest(n))) << "the reminder stays";
        EXPECT_FALSE(main().Timer2.isEnabled());
        main().reset.click();
        EXPECT_EQ(lights(n), u"%1 %1 %1"_s.arg(rest(n)));
    }
    // RESET keeps an alert that is still active red, and leaves the bell to the poll cycle.
    h.poll(240 - 16 - 64); // alerts 1 and 3 active
    h.poll(240 - 16);      // alert 3 back at rest, alert 1 still active
    main().reset.click();
    EXPECT_EQ(lights(1) + u" | "_s + lights(3), u"red red red | cyan cyan cyan"_s);
    EXPECT_TRUE(main().Timer2.isEnabled());
}

// On the very first tick a zero reading leaves every bit unset, which counts as active; later it changes nothing, and
// nor does a reading outside a byte.
TEST_F(AlertTest, TheAlertsOfOneTickAreHandledInOrderAndOnlyTheFirstTickTakesAZeroReading) {
    const auto each = [](const char* what, int first = 1) {
        Records out;
        for (int n = first; n <= 4; ++n) {
            out.append(record(n, what));
        }
        return out;
    };
    h.poll(0);
    EXPECT_EQ(main().trigger[3]->text(), QString());
    EXPECT_TRUE(main().Timer2.isEnabled());
    h.poll(240);
    for (qint16 ignored : {0, 256, -1, 4000, -32768}) {
        h.poll(ignored);
        EXPECT_EQ(main().Text9.text(), QString::number(ignored));
    }
    EXPECT_EQ(main().trigger[0]->text(), u"1"_s);
    EXPECT_EQ(h.port.ports, std::vector<int>(h.port.ports.size(), 513)) << "always the game port";
    main().reset.click(); // the first tick's reminders go
    h.poll(16);           // only alert 1 at rest
    h.poll(240);
    h.poll(5); // bits 0 and 2 only: all four alerts active
    EXPECT_EQ(records(), each("activated") + each("deactivated") + each("activated", 2) + each("deactivated", 2) +
                             each("activated"));
    // A record after midnight goes to the new day's log.
    h.clock.setStart(QDateTime(QDate(2001, 7, 13), QTime(23, 59, 59, 950)).addMSecs(-h.scheduler.now()));
    h.poll(closed(1));
    EXPECT_EQ(h.logLines(u"Jul 14"_s).first(), record(2, "deactivated") + ",\"12:00:00 AM\",\"July 14,2001\"");
}

TEST_F(AlertTest, TheSamplingTimeSetsThePollPeriodWithinSaneBounds) {
    const std::pair<const char*, int> cases[] = {{"0.5", 500}, {"2.5", 2500}, {"", 100}, {"1e9", 60000}};
    for (const auto& [secs, interval] : cases) {
        z->zavoktimer->secs[0]->setText(QString::fromLatin1(secs));
        h.scheduler.advance(main().Timer1.interval());
        EXPECT_EQ(main().Timer1.interval(), interval) << secs;
    }
}

TEST_F(AlertTest, BellBeepsPerRunningTimerOnlyWhileSwitchedOn) {
    h.poll(240);
    h.poll(224); // Timer2 starts now
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 0) << "the bell starts off";
    main().soundoff.click();
    EXPECT_TRUE(!main().soundoff.isVisible() && !main().soundoff.isEnabled() && main().soundon.isVisible() &&
                main().soundon.isEnabled());
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 2) << "every half second, though the poll re-enables Timer2 ten times a second";
    main().zoneBell[0]->setEnabled(true); // a zone in alarm as well
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 6);
    main().soundon.click();
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 6);
    EXPECT_TRUE(main().soundoff.isVisible() && main().soundoff.isEnabled() && !main().soundon.isVisible() &&
                !main().soundon.isEnabled());
}

// Off, a circuit ignores its alert and keeps the bell quiet; switching it off clears its colours but not its home
// marker's, and switching it on always writes the alert's state.
TEST_F(AlertTest, EachCircuitSwitchedOffIgnoresItsAlertAndSwitchedOnWritesItsState) {
    h.poll(240);
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        h.poll(closed(n));
        const auto written = records().size();
        main().enable[n - 1]->click(); // off while active
        EXPECT_EQ(circuit(n), u"DISABLED red"_s);
        h.poll(240);
        h.poll(closed(n));
        EXPECT_EQ(lights(n), u"%1- red %1-"_s.arg(rest(n)));
        EXPECT_FALSE(main().Timer2.isEnabled());
        main().alabel[n - 1]->click(); // takes no clicks while the circuit is off: cat.zvk stays unwritten
        main().enable[n - 1]->click(); // on while active
        EXPECT_EQ(circuit(n), u"ENABLED on"_s);
        EXPECT_EQ(records().last(), record(n, "activated"));
        EXPECT_EQ(lights(n), u"red red red"_s);
        h.poll(240);
        main().enable[n - 1]->click();
        main().enable[n - 1]->click(); // on again while at rest
        EXPECT_EQ(records().mid(written + 1), (Records{record(n, "deactivated"), record(n, "deactivated")}))
            << "neither switching off nor the polls while off write anything";
        EXPECT_EQ(lights(n), u"%1 %1 %1"_s.arg(rest(n)));
    }
    main().indicator[1]->setLeft(100); // nor does moving an indicator save anything
    EXPECT_EQ(h.bytes(h.dataPath(u"cat.zvk"_s)), QByteArray());
}

TEST_F(AlertTest, RenameSavesAllFourNamesAndTheStatusLabelSendsItsIndicatorHomeAndSavesEveryPosition) {
    h.dialogs.answerInput(u"Garage 'Door'"_s);
    main().clabel[3]->click();
    EXPECT_EQ(h.dialogs.asked.at(0).proposal, u"Freezer Alarm"_s) << "the name it has";
    EXPECT_EQ(main().clabel[3]->text(), u"Garage 'Door'"_s);
    EXPECT_EQ(z->alerts->circuits.newname(4), u"Garage 'Door'"_s);
    h.dialogs.answerInput(QString()); // cancelled: the empty name is taken and saved
    main().clabel[1]->click();
    EXPECT_EQ(main().clabel[1]->text(), QString());
    EXPECT_EQ(h.bytes(h.dataPath(u"apnames.zvk"_s)),
              "\"Front Door\"\r\n\"\"\r\n\"Tank Overflow\"\r\n\"Garage 'Door'\"\r\n");
    main().indicator[0]->setLeft(1000);
    main().indicator[2]->setLeft(2000);
    main().indicator[2]->setTop(500);
    main().alabel[2]->click(); // indicator 3 goes home, onto its marker, and indicator 1 stays where it was
    EXPECT_EQ(h.bytes(h.dataPath(u"cat.zvk"_s)), "1000\r\n3180\r\n60\r\n3480\r\n60\r\n3780\r\n60\r\n4080\r\n");
}

} // namespace
} // namespace zavok::test
