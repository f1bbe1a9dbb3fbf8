#include "support/started_program.h"

// The four zones are one design with the zone's number as parameter: the tables run over all four.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using Records = QList<QByteArray>;

constexpr kit::Rgb kNormalFrame{128, 128, 255};
constexpr kit::Rgb kAlarmFrame{255, 0, 255};
const QString kNames[] = {u"Pressure"_s, u"Volume"_s, u"Temperature"_s, u"Flow"_s};

// Every answer out of range, not a number or off the order is refused and asked again: blanks, quotes, numbers
// beyond a double and ten thousand characters among them.
TEST(MeterScale, AnswersAreCheckedRoundedAndStored) {
    const QMap<QChar, QString> refusal{{u'L', u"ERROR : Type the low value for the meter between 0 to 100"_s},
                                       {u'F', u"ERROR : Type the full scale value for the meter between 0 to 500"_s},
                                       {u'O', u"ERROR : Full Scale value should be greater than Low value"_s}};
    const struct {
        const char* name;
        QString answers;      // in the order the boxes ask, split at '|'
        const char* refusals; // every refusal shown, in order, by its letter above
        const char* captions; // low/full afterwards
    } cases[] = {
        {"bounds", u"0|500"_s, "", "0/500"},
        {"equal", u"100|100|0|100"_s, "O", "0/100"},
        {"low refused", u"101|-1|abc||   |1e999|-1e999|nan|inf|\"5\"|5|50"_s, "LLLLLLLLLL", "5/50"},
        {"full refused", u"0|500.4|1e999|1e308|\"50\"|499.6"_s, "FFFF", "0/500"},
        {"rounded", u"10.4|10.6"_s, "", "10/11"},
        {"rounded equal", u"11.5|11.6|12.5|13.5"_s, "O", "12/14"},
        {"exponent and blanks", u" 1e1 |2E2"_s, "", "10/200"},
        {"underflow reads as zero, and so does a negative zero", u"1e-999|1e-999|-0|1"_s, "O", "0/1"},
        {"ten thousand characters",
         QString(9999, u'0') + u"5|"_s + QString(10000, u'7') + u'|' + QString(9998, u'0') + u"50"_s, "F", "5/50"},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        MainForm& form = *h.start().zavok;
        for (const QString& a : c.answers.split(u'|')) {
            h.dialogs.answerInput(a);
        }
        // Either caption opens the same dialog, beginning with the low value; the rows take the four meters in turn.
        const int i = row % 4;
        (row++ % 2 == 0 ? form.mzero : form.mfsd)[i]->click();
        QString shown;
        for (const auto& asked : h.dialogs.asked) {
            if (asked.kind == u"message"_s) {
                EXPECT_EQ(asked.title, u"CAUTION !!! CAUTION !!! CAUTION !!!"_s);
                shown += refusal.key(asked.text, u'?');
            } else {
                EXPECT_TRUE(asked.title.startsWith(u"METER #%1 "_s.arg(i + 1))) << qPrintable(asked.title);
            }
        }
        EXPECT_EQ(shown, QString::fromLatin1(c.refusals));
        EXPECT_EQ(form.mzero[i]->text() + u'/' + form.mfsd[i]->text(), QString::fromLatin1(c.captions));
    }
}

// Channels switched on by hand, so that the tests write values straight into the zones.
class ZoneTest : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        for (int k = 1; k <= 4; ++k) {
            channel(k).disable.setEnabled(true);
            channel(k).Timer1.setEnabled(false); // the values come from the test, not the joysticks
        }
    }

    void scale(int zone, const char* low, const char* full, const char* lowAlarm, const char* highAlarm) {
        main().mzero[zone - 1]->setText(QString::fromLatin1(low));
        main().mfsd[zone - 1]->setText(QString::fromLatin1(full));
        channel(zone).setlowl.setText(QString::fromLatin1(lowAlarm));
        channel(zone).sethighl.setText(QString::fromLatin1(highAlarm));
    }

    QString show(int zone, const char* value) {
        main().value[zone - 1]->setText(QString::fromLatin1(value));
        return main().flabel[zone - 1]->text();
    }
};

// '*' stands for the zone's own name, which it shows when the value is normal. Zone 1 has always needed a value
// above the meter's low value for a high alarm.
TEST_F(ZoneTest, ClassificationTableOfEveryZoneWhileItsChannelIsOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"90", "HIGH ALARM"},  {"100", "HIGH ALARM"}, {"101", "H.CAL ERROR"},
        {"-1", "L.CAL ERROR"}, {"0", "LOW ALARM"},    {"50", "*"},
        {"20", "*"},           {"19", "LOW ALARM"},   {"80", "*"},
        {"81", "HIGH ALARM"},  {"DIS", "LOW ALARM"}};
    for (int k = 1; k <= 4; ++k) {
        scale(k, "0", "100", "20", "80");
        for (const auto& [value, label] : cases) {
            EXPECT_EQ(show(k, value), *label == '*' ? kNames[k - 1] : QString::fromLatin1(label)) << k << ' ' << value;
        }
        scale(k, "10", "100", "5", "5");
        EXPECT_EQ(show(k, "10"), k == 1 ? kNames[0] : u"HIGH ALARM"_s) << k;
        EXPECT_EQ(show(k, "11"), u"HIGH ALARM"_s) << k;
    }
    scale(3, "0", "100", "60", "40");
    EXPECT_EQ(show(3, "50"), u"LOW ALARM"_s) << "overlapping limits show the low alarm first";
    scale(4, "10", "100", "20", "80");
    show(4, "50");
    EXPECT_EQ(show(4, "DIS"), u"L.CAL ERROR"_s) << "DIS reads as 0 while the channel is on";
    EXPECT_TRUE(main().zoneBell[3]->isEnabled());
    channel(4).disable.setEnabled(false);
    EXPECT_EQ(show(4, "500"), u"Flow"_s) << "a channel that is off is always normal";
    EXPECT_FALSE(main().zoneBell[3]->isEnabled());
}

TEST_F(ZoneTest, AlarmFrameLatchesUntilResetAndTheBellFollowsTheState) {
    for (int k = 1; k <= 4; ++k) {
        scale(k, "0", "100", "20", "80");
        show(k, "90");
        EXPECT_EQ(main().frame[k - 1]->back(), kAlarmFrame);
        EXPECT_TRUE(main().zoneBell[k - 1]->isEnabled());
    }
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 0) << "the bell timers run silently while the bell is off";
    main().soundoff.click();
    h.scheduler.advance(1000);
    EXPECT_EQ(h.bell.beeps, 8);
    for (int k = 1; k <= 4; ++k) {
        show(k, "50");
        EXPECT_FALSE(main().zoneBell[k - 1]->isEnabled());
        EXPECT_EQ(main().frame[k - 1]->back(), kAlarmFrame);
    }
    main().reset.click();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(main().frame[k - 1]->back(), kNormalFrame);
    }
}

// RESET gives a zone its name back and classifies it anew: an alarm still standing is written twice.
TEST_F(ZoneTest, EachChangeOfStateIsLoggedOnceUnderTheNameOfTheMoment) {
    scale(3, "0", "100", "20", "80");
    show(3, "90");
    main().reset.click();
    EXPECT_EQ(main().frame[2]->back(), kAlarmFrame);
    scale(1, "0", "100", "20", "80");
    for (const char* value : {"10", "5", "90", "50", "120", "-5"}) {
        show(1, value);
    }
    scale(2, "0", "100", "20", "80");
    channel(2).fname.setText(u"HIGH ALARM"_s);
    show(2, "10");
    show(2, "50"); // back to the name, which equals an alarm text: the alarm texts are tested first
    channel(2).fname.setText(QString());
    show(2, "10");
    channel(2).fname.setText(u"Tank 2"_s);
    main().flabel[1]->setText(u"Tank 2"_s); // a rename during the alarm
    main().flabel[1]->setText(u"NO INPUT"_s);
    main().flabel[1]->setText(u"ENABLED"_s);
    EXPECT_EQ(records(),
              (Records{"\"Temperature High Alarm at\"", "\"Temperature Normal at\"", "\"Temperature High Alarm at\"",
                       "\"Pressure Low Alarm at\"", "\"Pressure High Alarm at\"", "\"Pressure Normal at\"",
                       "\"Pressure High Calibration Error at\"", "\"Pressure Low Calibration Error at\"",
                       "\"HIGH ALARM Low Alarm at\"", "\"HIGH ALARM High Alarm at\"", "\" Low Alarm at\"",
                       "\"Tank 2 Normal at\""}));
}

} // namespace
} // namespace zavok::test
