#include "forms/channel_state.h"
#include "support/started_program.h"
#include "support/watchdog.h"

#include <cerrno>
#include <vector>

// The four channels are one design with the channel's number as parameter; channel 1 stands for all where the
// number does not matter.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using Events = std::vector<QString>;

// What channel n shows: its value, the width of its window's bar and of the main window's meter bar.
QString shown(Zavok& z, int n = 1) {
    return u"%1 %2 %3"_s.arg(z.zavok->value[n - 1]->text())
        .arg(z.channel(n).Picture1.width())
        .arg(z.zavok->pic[n - 1]->width());
}

// How controls look, one word each: the name, then '+' shown and enabled, '-' shown and disabled, '.' hidden
// and disabled, '*' hidden but enabled; text boxes add 'L' when locked. One comparison then checks a state.
QString faces(std::initializer_list<const kit::Control*> controls) {
    QStringList words;
    for (const kit::Control* c : controls) {
        QString word =
            c->name() + QChar(c->isVisible() ? (c->isEnabled() ? u'+' : u'-') : (c->isEnabled() ? u'*' : u'.'));
        if (const auto* box = qobject_cast<const kit::TextBox*>(c); box && box->isLocked()) {
            word += u'L';
        }
        words.append(word);
    }
    return words.join(u' ');
}

class ChannelTest : public StartedProgram {
protected:
    ChannelForm& form(int n = 1) { return channel(n); }
    // Every reading of channel n's axis from now on.
    void axis(int n, quint32 reading) {
        kit::JOYINFO& stick = h.joysticks.stick[(n - 1) / 2];
        (n % 2 == 1 ? stick.wXpos : stick.wYpos) = reading;
    }
    void switchOn(int n = 1, quint32 reading = 32750) {
        axis(n, reading);
        form(n).enable.click();
        tick(n);
    }
    void tick(int n = 1) { h.scheduler.advance(form(n).Timer1.interval()); }
    void enter(const QString& low, const QString& high, int n = 1) {
        form(n).changealarm.click();
        form(n).setnewlowt.typed(low);
        form(n).setnewhight.typed(high);
        form(n).setcom.click();
    }
    QString limits(int n = 1) { return form(n).setlowl.text() + u'/' + form(n).sethighl.text(); }
    QString stored(int n = 1) { return form(n).calzvall.text() + u'/' + form(n).calfvall.text(); }
    QString entryFaces(int n = 1) {
        const ChannelForm& w = form(n);
        return faces({&w.changealarm, &w.setcom, &w.setclosecom, &w.setnewlowt, &w.setnewhight});
    }
    // The calibration frame's controls, named without their common "cal".
    QString calibrationFaces(int n = 1) {
        const ChannelForm& w = form(n);
        return faces({&w.calibrate, &w.calfincom, &w.calsetzerocom, &w.calsetfsdcom, &w.auto_, &w.manual, &w.calzerot,
                      &w.calfsdt})
            .replace(u" cal"_s, u" "_s); // short enough for one line
    }
    // AUTO mode on a sampling channel: each step takes the live reading.
    void autoReadings(int n, quint32 zero, quint32 fullScale) {
        axis(n, zero);
        tick(n);
        form(n).calsetzerocom.click();
        axis(n, fullScale);
        tick(n);
        EXPECT_EQ(form(n).calzerot.text(), QString::number(zero)) << "the accepted zero no longer follows the input";
        EXPECT_EQ(form(n).calfsdt.text(), QString::number(fullScale));
        form(n).calsetfsdcom.click();
    }
};

TEST_F(ChannelTest, TheDocumentedExampleScalesTo50EachChannelItsOwnAxisAndANarrowCalibrationShowsTheWindow) {
    switchOn();
    EXPECT_EQ(form().Label1.text(), u"TYPE VALUE BETWEEN 0 and 100"_s);
    // Each channel reads its own axis into its own file; channel 1's reading is 5 tenths of the axis.
    const char* files[] = {"x1values.zvk", "y1values.zvk", "x2values.zvk", "y2values.zvk"};
    for (int n = 2; n <= 4; ++n) {
        switchOn(n, quint32(6550 * n));
    }
    for (int n = 1; n <= 4; ++n) {
        const int tenths = n == 1 ? 5 : n;
        EXPECT_EQ(shown(*z, n), u"%1 %2 %3"_s.arg(10 * tenths).arg(100 + 600 * tenths).arg(20 + 200 * tenths));
        EXPECT_EQ(Harness::bytes(h.dataPath(QString::fromLatin1(files[n - 1]))),
                  QByteArray(QByteArray::number(6550 * tenths) + "\r\n").repeated(100));
    }
    EXPECT_FALSE(form().isVisible()) << "a hidden window samples without showing itself";
    form().calfvall.setText(u"50"_s); // C = 50 < S = 100
    axis(1, 40000);
    tick();
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(shown(*z), u"50 3100 1020"_s);
    // The period follows each channel's own sampling time from its next tick on.
    for (int n = 1; n <= 4; ++n) {
        z->zavoktimer->secs[n]->setText(QString::number(n + 1));
    }
    tick();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(form(n).Timer1.interval(), 1000 * (n + 1)) << n;
    }
}

// The rows take the four channels in turn; each channel's readings lie too far apart for a held average to stand in.
// A meter whose low mark is not 0 tells its span from its full-scale mark.
TEST_F(ChannelTest, ValueAndBarsFollowCalibrationAndMeter) {
    const struct {
        const char *name, *calzvall, *calfvall, *mzero, *mfsd;
        quint32 reading;
        QString shown;
    } rows[] = {
        {"at the calibration zero", "1000", "65500", "0", "100", 1000, u"0 100 20"_s},
        {"at the calibration full scale", "0", "65500", "0", "100", 65500, u"100 6100 2020"_s},
        {"below the calibration zero", "2000", "65500", "0", "100", 1000, u"-2 100 20"_s},
        {"a half rounds down to even", "0", "200", "0", "100", 5, u"2 220 60"_s},
        {"the meter's low value is added", "0", "65500", "20", "120", 32750, u"70 3100 1020"_s},
        {"a half rounds up to even", "0", "200", "0", "100", 7, u"4 340 100"_s},
        {"beyond 16 bits saturates", "0", "100", "0", "100", 40000, u"32767 6100 2020"_s},
        {"over the span, not the full-scale mark", "0", "65500", "50", "100", 32750, u"75 3100 1020"_s},
        {"a calibration as wide as the span", "100", "160", "50", "110", 130, u"80 3100 1020"_s},
        {"a bar from the low mark", "0", "80", "60", "100", 60, u"90 4600 1520"_s},
    };
    for (int n = 1; n <= 4; ++n) {
        axis(n, 32750); // a burst of zeros would switch a channel off before its row
        form(n).enable.click();
    }
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        n = n % 4 + 1;
        form(n).calzvall.setText(QString::fromLatin1(row.calzvall));
        form(n).calfvall.setText(QString::fromLatin1(row.calfvall));
        main().mzero[n - 1]->setText(QString::fromLatin1(row.mzero));
        main().mfsd[n - 1]->setText(QString::fromLatin1(row.mfsd));
        axis(n, row.reading);
        tick(n);
        EXPECT_EQ(shown(*z, n), row.shown) << n;
    }
}

// The held average outlives a stop and a restart of its channel.
TEST_F(ChannelTest, SmallChangesOfTheAverageAreHeldAndTheSampleFileHoldsTheBurstInReadingOrder) {
    const struct {
        quint32 reading;
        const char* held;
        bool restarted;
    } rows[] = {{30000, "30000", false}, {30014, "30000", false}, {30015, "30015", false},
                {30001, "30015", false}, {30029, "30015", true},  {30030, "30030", true}};
    form(3).enable.click();
    for (const auto& row : rows) {
        if (row.restarted) {
            form(3).disable.click();
            form(3).enable.click();
        }
        axis(3, row.reading);
        tick(3);
        EXPECT_EQ(form(3).Text5.text(), QString::fromLatin1(row.held)) << row.reading;
    }
    form(3).disable.click(); // the burst below is channel 1's alone
    // A longer file from an earlier run must leave no tail behind.
    Harness::put(h.dataPath(u"x1values.zvk"_s), QByteArray("4294967295\r\n").repeated(150));
    int call = 0;
    h.joysticks.reader = [&](int, kit::JOYINFO& info) { info.wXpos = 32700 + quint32(call++ % 2); };
    {
        // A successful call leaves errno as it was: an interruption told long before must not make the read back
        // retry at the file's end.
        const Watchdog limit("the sample file's read back");
        errno = EINTR;
        switchOn();
    }
    EXPECT_EQ(Harness::bytes(h.dataPath(u"x1values.zvk"_s)), QByteArray("32701\r\n32700\r\n").repeated(50));
    EXPECT_EQ(form().Text1.text() + u'/' + form().Text5.text(), u"32700/32700.5"_s);
}

// Both ways off, the channel is off before its zone classifies the value: a burst of zeros (no input) and DISABLE.
TEST_F(ChannelTest, NoInputOrDisableSwitchesOffBeforeTheValueIsClassifiedAndEnableSwitchesBackOn) {
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        switchOn(n);
        // What reached the zone's label and value, with the channel's state at that moment.
        Events events;
        const QObject watching;
        for (kit::Control* c : {main().flabel[n - 1], main().value[n - 1]}) {
            QObject::connect(c, &kit::Control::changed, &watching, [&, c, n] {
                events.push_back(c->name() + u' ' + c->text() + u" | "_s + faces({&form(n).disable}) +
                                 (form(n).Timer1.isEnabled() ? u" on" : u" off"));
            });
        }
        if (n == 1) {
            axis(1, 0);
            tick();
        } else {
            form(2).disable.click();
        }
        EXPECT_EQ(events, (Events{u"flabel%1 %2 | disable. off"_s.arg(n).arg(n == 1 ? u"NO INPUT" : u"DISABLED"),
                                  u"value%1 DIS | disable. off"_s.arg(n),
                                  // the zone's own reaction
                                  u"flabel%1 %2 | disable. off"_s.arg(n).arg(n == 1 ? u"Pressure" : u"Volume")}));
        EXPECT_EQ(shown(*z, n), u"DIS 100 20"_s);
        EXPECT_EQ(faces({&form(n).enable, &form(n).disable}), u"enable+ disable."_s);
    }
    const int reads = h.joysticks.reads;
    axis(1, 32750);
    EXPECT_TRUE(form(2).enable.hasFocus());
    // ENABLE restarts sampling at the last period and hands the focus to CHANGE.
    form().enable.click();
    EXPECT_EQ(faces({&form().enable, &form().disable}), u"enable. disable+"_s);
    EXPECT_EQ(main().flabel[0]->text(), u"ENABLED"_s) << "until the first value changes it";
    EXPECT_TRUE(form().changealarm.hasFocus());
    h.scheduler.advance(499);
    EXPECT_EQ(h.joysticks.reads, reads);
    h.scheduler.advance(1);
    EXPECT_EQ(h.joysticks.reads, reads + 101) << "one single reading and a burst of 100";
    EXPECT_EQ(main().value[0]->text(), u"50"_s);
    // While an alarm entry is open CHANGE is hidden: its low box takes the focus.
    form().disable.click();
    form().changealarm.click();
    form().setnewhight.setFocus();
    form().enable.click();
    EXPECT_TRUE(form().setnewlowt.hasFocus());
}

TEST_F(ChannelTest, RenamingReachesTheZoneAndTheCloseImageAbandonsEveryEntryAndKeepsSampling) {
    switchOn();
    ChannelForm& w = form();
    w.show();
    w.fname.doubleClick();
    w.fname.typed(u"Tank A"_s);
    EXPECT_EQ(main().flabel[0]->text(), u"Pressure"_s) << "SET NAME, not typing, renames the zone";
    w.setname.click();
    EXPECT_EQ(main().flabel[0]->text() + u'/' + z->zavoktimer->time[1]->text(), u"Tank A/Tank A"_s);
    EXPECT_EQ(faces({&w.fname, &w.setname}), u"fname+L setname*"_s);
    w.fname.doubleClick();
    w.fname.typed(u"6\" main"_s);
    EXPECT_EQ(w.fname.text(), u"Tank A"_s) << "a double quote could not be saved";
    w.changealarm.click();
    w.setnewlowt.typed(u"30"_s);
    w.calibrate.click();
    w.auto_.click();
    w.calsetzerocom.click(); // the full-scale step in MANUAL mode
    w.fclose.click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(main().flabel[0]->text() + u' ' + shown(*z), u"Tank A 50 3100 1020"_s) << "the zone keeps what it showed";
    EXPECT_EQ(faces({&w.fname, &w.setname}), u"fname+L setname*"_s);
    EXPECT_EQ(entryFaces(), u"changealarm+ setcom. setclosecom- setnewlowt-L setnewhight-L"_s);
    EXPECT_EQ(calibrationFaces() + u' ' + faces({&w.calclosecom}),
              u"calibrate+ fincom. setzerocom- setfsdcom- auto- manual* zerot-L fsdt-L calclosecom-"_s);
    EXPECT_EQ(w.setnewlowt.text() + w.calzerot.text() + w.calfsdt.text(), QString());
    EXPECT_EQ(w.Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(w.setlowl.text() + u'/' + stored(), u"0/0/65500"_s);
    axis(1, 13100);
    tick();
    EXPECT_EQ(main().value[0]->text(), u"20"_s) << "the channel goes on sampling";
    // The desktop's close command is the close image.
    w.show();
    w.calibrate.click();
    w.requestClose();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.calibrate.isVisible());
}

// The meter of every row reads 0 to 100 unless the row says otherwise; the rows take the four channels in turn, the
// refused ones first, so that each meets its channel's limits as designed, 0 and 100.
TEST_F(ChannelTest, LimitEntriesAreCheckedLowThenHighThenOrder) {
    const QString lowOff = u"Please enter a value for LOW ALARM between 0 and 100"_s;
    const QString highOff = u"Please enter a value for HIGH ALARM between 0 and 100"_s;
    const QString order = u"High Alarm should be greater than Low Alarm"_s;
    const struct {
        const char *name, *low, *high;
        QString message; // empty when the pair is taken
        const char* limits;
        const char *mzero = "0", *mfsd = "100";
    } rows[] = {
        {"low below the meter", "-1", "50", lowOff, "0/100"},
        {"low with a tail", "10x", "50", lowOff, "0/100"},
        {"only the first failure is told", "abc", "xyz", lowOff, "0/100"},
        {"high empty", "10", "", highOff, "0/100"},
        {"high above the meter", "10", "101", highOff, "0/100"},
        {"equal", "50", "50", order, "0/100"},
        {"the meter as its captions read", "5", "50", u"Please enter a value for LOW ALARM between 10 and 250"_s,
         "0/100", "10", "250"},
        {"inside the meter", "20", "80", {}, "20/80"},
        {"on the meter's bounds", "0", "100", {}, "0/100"},
        {"kept as typed", " 25", "90 ", {}, " 25/90 "},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        n = n % 4 + 1;
        form(n).fclose.click(); // abandons the entry a refusal left open
        h.dialogs.asked.clear();
        main().mzero[n - 1]->setText(QString::fromLatin1(row.mzero));
        main().mfsd[n - 1]->setText(QString::fromLatin1(row.mfsd));
        enter(QString::fromLatin1(row.low), QString::fromLatin1(row.high), n);
        EXPECT_EQ(limits(n), QString::fromLatin1(row.limits));
        EXPECT_EQ(form(n).setnewlowt.text() + form(n).setnewhight.text(), QString());
        if (row.message.isEmpty()) {
            EXPECT_TRUE(h.dialogs.asked.empty());
            EXPECT_EQ(entryFaces(n), u"changealarm+ setcom. setclosecom+ setnewlowt-L setnewhight-L"_s);
        } else {
            ASSERT_EQ(h.dialogs.asked.size(), 1u);
            EXPECT_EQ(h.dialogs.asked[0].title, u"CAUTION !!! CAUTION !!! CAUTION !!!"_s);
            EXPECT_EQ(h.dialogs.asked[0].text, row.message);
            // Editing again, in front of the user, to type both limits anew.
            EXPECT_TRUE(form(n).isVisible());
            EXPECT_EQ(entryFaces(n), u"changealarm. setcom+ setclosecom- setnewlowt+ setnewhight+"_s);
            EXPECT_TRUE(form(n).setnewlowt.hasFocus());
        }
    }
}

TEST_F(ChannelTest, ATickWhileALimitRefusalIsOpenSeesTheOldLimitsAndCloseServesOnceAfterAnAcceptedEntry) {
    switchOn();
    Events seen; // the limits as the zone finds them when a new value arrives
    QObject::connect(main().value[0], &kit::Control::changed, [&] { seen.push_back(limits()); });
    h.dialogs.whileNextMessage([&] {
        axis(1, 6550);
        tick();
        axis(1, 13100);
        tick();
    });
    enter(u"60"_s, u"40"_s);
    EXPECT_EQ(seen, (Events{u"0/100"_s, u"0/100"_s}));
    enter(u"10"_s, u"90"_s);
    EXPECT_TRUE(form().isVisible()) << "an accepted entry leaves the window open";
    form().setclosecom.click();
    EXPECT_FALSE(form().isVisible() || form().setclosecom.isEnabled());
}

TEST_F(ChannelTest, CalibrationInAutoModeTakesTheLiveReadingsAndFinalizeNeedsMoreThanTenCountsPerUnit) {
    // Channel 2's meter from 50 to 100: FINALIZE measures against its full-scale mark, not its span or another's.
    const int n = 2;
    main().mzero[n - 1]->setText(u"50"_s);
    main().mfsd[0]->setText(u"50"_s);
    switchOn(n);
    form(n).calibrate.click();
    EXPECT_EQ(calibrationFaces(n), u"calibrate. fincom- setzerocom+ setfsdcom- auto+ manual* zerot+ fsdt-"_s);
    EXPECT_EQ(form(n).calzerot.text(), u"0"_s);
    EXPECT_EQ(form(n).Label3.text(), u"MOVE SENSOR TO MINIMUM AND CLICK SET ZERO"_s);
    autoReadings(n, 1000, 2000);
    EXPECT_EQ(calibrationFaces(n), u"calibrate. fincom+ setzerocom- setfsdcom- auto- manual. zerot-L fsdt-"_s);
    EXPECT_EQ(form(n).Label3.text(), u"PRESS FINALIZE CALIBRATION TO SET VALUES"_s);
    form(n).calfincom.click(); // D = 1000 is not more than 10 x 100: back to the zero step
    EXPECT_EQ(calibrationFaces(n), u"calibrate. fincom- setzerocom+ setfsdcom- auto+ manual. zerot+L fsdt-"_s);
    EXPECT_EQ(form(n).Label3.text(), u"ERROR : CAL F.S.D > CAL ZERO VALUE BY (10 * METER F.S.D)"_s);
    EXPECT_EQ(form(n).calzerot.text() + u'/' + form(n).calfsdt.text() + u' ' + stored(n), u"0/ 0/65500"_s);
    autoReadings(n, 1000, 2001);
    form(n).calfincom.click();
    EXPECT_EQ(calibrationFaces(n), u"calibrate+ fincom. setzerocom- setfsdcom- auto- manual. zerot-L fsdt-"_s);
    EXPECT_EQ(stored(n), u"1000/2001"_s);
    EXPECT_EQ(form(n).Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(form(n).calzerot.text() + form(n).calfsdt.text(), QString());
    EXPECT_TRUE(form(n).calclosecom.hasFocus());
    tick(n); // the new calibration serves from the next tick: 50 + (2001 - 1000) x 50 / 1001
    EXPECT_EQ(main().value[n - 1]->text(), u"100"_s);
    form(n).show();
    form(n).calclosecom.click();
    EXPECT_FALSE(form(n).isVisible());
    EXPECT_FALSE(form(n).calclosecom.isEnabled()) << "CLOSE serves once per completed calibration";
}

TEST_F(ChannelTest, CalibrationInManualModePrefillsTheEndsOfTheAxisAndWarnsOfNonNumbers) {
    const QString warning =
        u"Please enter a value equal to your sensor %1 in the ONLINE %2 VALUE BOX before you press SET %3"_s;
    switchOn();
    form().calibrate.click();
    form().auto_.click();
    EXPECT_EQ(calibrationFaces(), u"calibrate. fincom- setzerocom+ setfsdcom- auto. manual+ zerot+ fsdt-"_s);
    EXPECT_EQ(form().calzerot.text(), u"0"_s);
    EXPECT_TRUE(form().calzerot.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"ENTER VALUE = MINIMUM POSITION OF SENSOR"_s);
    form().manual.click(); // back to AUTO and on in MANUAL, here and in the full-scale step
    EXPECT_EQ(calibrationFaces(), u"calibrate. fincom- setzerocom+ setfsdcom- auto+ manual. zerot+L fsdt-L"_s);
    EXPECT_TRUE(form().calsetzerocom.hasFocus());
    form().auto_.click();
    form().calzerot.typed(u"abc"_s);
    tick();
    EXPECT_EQ(form().calzerot.text(), u"abc"_s) << "the live reading stays out of MANUAL mode";
    form().calsetzerocom.click();
    EXPECT_EQ(h.dialogs.asked.at(0).title + u": "_s + h.dialogs.asked.at(0).text,
              u"Caution: "_s + warning.arg(u"minimum", u"ZERO", u"ZERO"));
    EXPECT_EQ(form().calzerot.text(), u"0"_s);
    EXPECT_TRUE(form().calsetzerocom.isEnabled()) << "the zero step stays open";
    form().calzerot.typed(u" 500"_s);
    form().calsetzerocom.click();
    EXPECT_EQ(form().calfsdt.text(), u"65535"_s);
    form().manual.click();
    EXPECT_TRUE(form().calfsdt.isLocked());
    EXPECT_TRUE(form().calsetfsdcom.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"MOVE SENSOR TO MAXIMUM AND CLICK SET F.S.D"_s);
    form().auto_.click();
    EXPECT_FALSE(form().calfsdt.isLocked()) << "MANUAL lets the full scale be typed";
    EXPECT_TRUE(form().calfsdt.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"ENTER VALUE = MAXIMUM POSITION OF SENSOR"_s);
    form().calfsdt.typed(QString());
    form().calsetfsdcom.click();
    EXPECT_EQ(h.dialogs.asked.at(1).text, warning.arg(u"maximum", u"F.S.D", u"F.S.D"));
    EXPECT_EQ(form().calfsdt.text(), u"65535"_s);
    form().calsetfsdcom.click();
    EXPECT_TRUE(form().auto_.isVisible()) << "the mode buttons' place is not left empty";
    form().calfincom.click();
    EXPECT_EQ(stored(), u" 500/65535"_s) << "stored exactly as typed";
    axis(1, 13500);
    tick(); // " 500" reads as 500: (13500 - 500) x 100 / 65035 gives 20, where the old calibration gave 21
    EXPECT_EQ(main().value[0]->text(), u"20"_s);
}

} // namespace
} // namespace zavok::test
