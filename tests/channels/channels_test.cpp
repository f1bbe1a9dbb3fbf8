#include "forms/channel_state.h"
#include "platform/state_file.h"
#include "support/started_program.h"

#include <QDir>

#include <vector>

// The four channels are one design with the channel's number as parameter; channel 1 stands for all where the
// number plays no part.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using Events = std::vector<QString>;

// Channel axes and timers that the test drives.
class ChannelTest : public StartedProgram {
protected:
    ChannelForm& form(int n = 1) { return channel(n); }
    // Every reading of channel n's axis from now on.
    void axis(int n, quint32 reading) {
        kit::JOYINFO& stick = h.joysticks.stick[(n - 1) / 2];
        (n % 2 == 1 ? stick.wXpos : stick.wYpos) = reading;
    }
    // ENABLE, then the first tick at the design period.
    void switchOn(int n = 1) {
        form(n).enable.click();
        tick(n);
    }
    // Exactly one period of channel n's timer.
    void tick(int n = 1) { h.scheduler.advance(form(n).Timer1.interval()); }
    QString limits() { return form().setlowl.text() + u'/' + form().sethighl.text(); }
};

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
QString entryFaces(const ChannelForm& w) {
    return faces({&w.changealarm, &w.setcom, &w.setclosecom, &w.setnewlowt, &w.setnewhight});
}
QString calibrationFaces(const ChannelForm& w) {
    return faces(
        {&w.calibrate, &w.calfincom, &w.calsetzerocom, &w.calsetfsdcom, &w.auto_, &w.manual, &w.calzerot, &w.calfsdt});
}

// What reached the watched controls, in order: texts, and widths as "width N"; `seen` adds what else the test
// wants to know at that moment.
struct Trace {
    void watch(kit::Control& control, std::function<QString()> seen = {}) {
        QObject::connect(&control, &kit::Control::changed, [this, &control, seen](kit::Property property) {
            if (property != kit::Property::Text && property != kit::Property::Place) {
                return;
            }
            QString entry = control.name() + u' ' +
                            (property == kit::Property::Text ? control.text() : u"width %1"_s.arg(control.width()));
            events.push_back(seen ? QString(entry + u" | "_s + seen()) : entry);
        });
    }
    Events events;
};

QByteArray lines(const std::vector<quint32>& readings) {
    QByteArray out;
    for (quint32 r : readings) {
        out += QByteArray::number(r) + "\r\n";
    }
    return out;
}

TEST_F(ChannelTest, TheDocumentedExampleScalesTo50) {
    axis(1, 32750);
    switchOn();
    EXPECT_EQ(main().value[0]->text(), u"50"_s);
    EXPECT_EQ(form().Picture1.width(), 3100.0f);
    EXPECT_EQ(main().pic[0]->width(), 1020.0f);
    EXPECT_EQ(form().Text5.text(), u"32750"_s);
    EXPECT_EQ(form().Label1.text(), u"TYPE VALUE BETWEEN 0 and 100"_s);
    EXPECT_EQ(h.joysticks.reads, 101) << "one single reading and a burst of 100";
    EXPECT_EQ(Harness::bytes(h.dataPath(u"x1values.zvk"_s)), lines(std::vector<quint32>(100, 32750)));
    EXPECT_FALSE(form().isVisible()) << "a hidden window samples without showing itself";
    // The period follows the channel's own sampling time from each tick on.
    EXPECT_EQ(form().Timer1.interval(), 500);
    z->zavoktimer->secs[1]->setText(u"2"_s);
    tick();
    EXPECT_EQ(form().Timer1.interval(), 2000);
}

TEST(AcquisitionScaling, ValueAndBarsFollowCalibrationAndMeter) {
    const struct {
        const char *name, *calzvall, *calfvall, *mzero, *mfsd;
        quint32 reading;
        const char* value;
        float bar, meterBar;
    } rows[] = {
        {"at the calibration zero", "1000", "65500", "0", "100", 1000, "0", 100, 20},
        {"at the calibration full scale", "0", "65500", "0", "100", 65500, "100", 6100, 2020},
        {"below the calibration zero", "2000", "65500", "0", "100", 1000, "-2", 100, 20},
        {"a half rounds down to even", "0", "200", "0", "100", 5, "2", 220, 60},
        {"a half rounds up to even", "0", "200", "0", "100", 7, "4", 340, 100},
        {"the meter's low value is added", "0", "65500", "20", "120", 32750, "70", 3100, 1020},
        {"beyond 16 bits saturates", "0", "100", "0", "100", 40000, "32767", 6100, 2020},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        z.channel(1).calzvall.setText(QString::fromLatin1(row.calzvall));
        z.channel(1).calfvall.setText(QString::fromLatin1(row.calfvall));
        z.zavok->mzero[0]->setText(QString::fromLatin1(row.mzero));
        z.zavok->mfsd[0]->setText(QString::fromLatin1(row.mfsd));
        h.joysticks.stick[0].wXpos = row.reading;
        z.channel(1).enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->value[0]->text(), QString::fromLatin1(row.value));
        EXPECT_EQ(z.channel(1).Picture1.width(), row.bar);
        EXPECT_EQ(z.zavok->pic[0]->width(), row.meterBar);
    }
}

TEST_F(ChannelTest, SmallChangesOfTheAverageAreHeld) {
    form().enable.click();
    for (const auto& [reading, shown] :
         {std::pair(30000u, "30000"), {30014u, "30000"}, {30015u, "30015"}, {30001u, "30015"}}) {
        axis(1, reading);
        tick();
        EXPECT_EQ(form().Text5.text(), QString::fromLatin1(shown)) << reading;
    }
}

TEST_F(ChannelTest, TheSampleFileHoldsTheBurstInReadingOrder) {
    // A longer file from an earlier run must leave no tail behind.
    Harness::put(h.dataPath(u"x1values.zvk"_s), lines(std::vector<quint32>(150, 4294967295u)));
    int call = 0;
    h.joysticks.reader = [&](int, kit::JOYINFO& info) { info.wXpos = 32700 + quint32(call++ % 2); };
    switchOn();
    std::vector<quint32> burst;
    for (int i = 1; i <= 100; ++i) {
        burst.push_back(32700 + quint32(i % 2));
    }
    EXPECT_EQ(Harness::bytes(h.dataPath(u"x1values.zvk"_s)), lines(burst));
    EXPECT_EQ(form().Text1.text(), u"32700"_s);
    EXPECT_EQ(form().Text5.text(), u"32700.5"_s);
}

TEST_F(ChannelTest, EachChannelReadsItsOwnAxisIntoItsOwnFile) {
    const char* files[] = {"x1values.zvk", "y1values.zvk", "x2values.zvk", "y2values.zvk"};
    for (int n = 1; n <= 4; ++n) {
        axis(n, quint32(6550 * n));
        form(n).enable.click();
    }
    h.scheduler.advance(1000);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(main().value[n - 1]->text(), QString::number(10 * n)) << n;
        EXPECT_EQ(form(n).Picture1.width(), float(100 + 600 * n)) << n;
        EXPECT_EQ(main().pic[n - 1]->width(), float(20 + 200 * n)) << n;
        EXPECT_EQ(Harness::bytes(h.dataPath(QString::fromLatin1(files[n - 1]))),
                  lines(std::vector<quint32>(100, quint32(6550 * n))));
    }
}

TEST(AcquisitionFile, AChannelWhoseSampleFileFailsKeepsWorkingFromTheBurst) {
    for (const bool noDirectory : {true, false}) {
        SCOPED_TRACE(noDirectory ? "no data directory" : "a sample file that cannot be opened");
        Harness h;
        Zavok& z = h.start();
        if (noDirectory) {
            QDir(h.dataDirectory).removeRecursively();
        } else {
            QDir().mkpath(h.dataPath(u"x1values.zvk"_s));
        }
        h.joysticks.stick[0].wXpos = 32750;
        z.channel(1).enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->value[0]->text(), u"50"_s);
        EXPECT_TRUE(z.channel(1).Timer1.isEnabled());
    }
}

TEST_F(ChannelTest, ACalibrationNarrowerThanTheMeterShowsTheWindowOnEveryTick) {
    axis(1, 32750);
    switchOn();
    form().calfvall.setText(u"50"_s); // C = 50 < S = 100
    axis(1, 40000);
    for (int i = 0; i < 2; ++i) {
        form().hide();
        tick();
        EXPECT_TRUE(form().isVisible());
        EXPECT_EQ(main().value[0]->text(), u"50"_s);
        EXPECT_EQ(form().Picture1.width(), 3100.0f);
        EXPECT_EQ(main().pic[0]->width(), 1020.0f);
    }
}

// Both ways off, the channel is off before its zone classifies the value: a burst of zeros (no input) and DISABLE.
TEST_F(ChannelTest, NoInputOrDisableSwitchesOffBeforeTheValueIsClassified) {
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const int i = n - 1;
        axis(n, 32750);
        switchOn(n);
        ASSERT_EQ(main().value[i]->text(), u"50"_s);
        Trace trace;
        auto state = [this, n]() -> QString {
            return faces({&form(n).disable}) + (form(n).Timer1.isEnabled() ? u" on" : u" off");
        };
        trace.watch(*main().flabel[i], state);
        trace.watch(*main().value[i], state);
        trace.watch(form(n).Picture1);
        trace.watch(*main().pic[i]);
        const QString name = n == 1 ? u"Pressure"_s : u"Volume"_s;
        if (n == 1) {
            axis(1, 0);
            tick();
        } else {
            form(2).disable.click();
        }
        EXPECT_EQ(trace.events, (Events{u"flabel%1 %2 | disable. off"_s.arg(n).arg(n == 1 ? u"NO INPUT" : u"DISABLED"),
                                        u"value%1 DIS | disable. off"_s.arg(n),
                                        u"flabel%1 %2 | disable. off"_s.arg(n).arg(name), // the zone's own reaction
                                        u"Picture1 width 100"_s, u"pic%1 width 20"_s.arg(n)}));
        EXPECT_EQ(faces({&form(n).enable, &form(n).disable}), u"enable+ disable."_s);
    }
    EXPECT_TRUE(h.dialogs.asked.empty());
    const int reads = h.joysticks.reads;
    axis(1, 32750);
    h.scheduler.advance(10000);
    EXPECT_EQ(h.joysticks.reads, reads) << "off until the user presses ENABLE";
}

// The whole program reading its inputs from a state file, as `--input=file:PATH` runs it.
TEST(StateFileChannel, AStateFileAxisReachesTheZoneAndItsSampleFile) {
    Harness h;
    const QString state = h.root.filePath(u"inputs.txt"_s);
    Harness::put(state, "240 32750 0 0 0\n");
    platform::StateFileSource source(
        state, [](const QString&) {}, [&h] { return h.scheduler.now(); });
    QStringList saved = Harness::designPhones();
    saved[42] = u"0"_s; // channel 1 was enabled at the last shutdown
    Harness::put(h.dataPath(u"phones.zvk"_s), Harness::phonesFile(saved));
    // Every joystick reading comes from the state file.
    h.joysticks.reader = [&source](int id, kit::JOYINFO& info) { source.joyGetPos(id, info); };
    Zavok& z = h.start();

    h.scheduler.advance(1000);
    EXPECT_EQ(z.zavok->value[0]->text(), u"50"_s);
    EXPECT_EQ(Harness::bytes(h.dataPath(u"x1values.zvk"_s)), lines(std::vector<quint32>(100, 32750)));

    QStringList zoneTexts;
    QObject::connect(z.zavok->flabel[0], &kit::Control::changed, [&] { zoneTexts.append(z.zavok->flabel[0]->text()); });
    Harness::put(state, "240 0 0 0 0\n");
    h.scheduler.advance(500);
    EXPECT_EQ(z.zavok->value[0]->text(), u"DIS"_s);
    EXPECT_FALSE(z.channel(1).Timer1.isEnabled());
    EXPECT_TRUE(z.channel(1).enable.isEnabled());
    EXPECT_TRUE(zoneTexts.contains(u"NO INPUT"_s));

    z.shutdown();
    const QList<QByteArray> phones = Harness::bytes(h.dataPath(u"phones.zvk"_s)).split('\n');
    ASSERT_GE(phones.size(), 43);
    EXPECT_EQ(phones[42], "\"DIS\"\r");
}

TEST_F(ChannelTest, RenamingReachesTheZoneAndTheSamplingTimeButton) {
    ChannelForm& w = form(2);
    w.fname.doubleClick();
    EXPECT_EQ(faces({&w.fname, &w.setname}), u"fname+ setname+"_s);
    w.fname.typed(u"Tank A"_s);
    EXPECT_EQ(main().flabel[1]->text(), u"Volume"_s) << "SET NAME, not typing, renames the zone";
    w.setname.click();
    EXPECT_EQ(main().flabel[1]->text(), u"Tank A"_s);
    EXPECT_EQ(z->zavoktimer->time[2]->text(), u"Tank A"_s);
    EXPECT_EQ(faces({&w.fname, &w.setname}), u"fname+L setname*"_s);

    w.fname.doubleClick();
    w.fname.typed(u"6\" main"_s);
    EXPECT_EQ(w.fname.text(), u"6' main"_s) << "a double quote could not be saved";
}

TEST_F(ChannelTest, EnableRestartsSamplingAtTheLastPeriodAndFocusesChange) {
    axis(1, 32750);
    switchOn();
    form().disable.click();
    EXPECT_TRUE(form().enable.hasFocus());

    form().enable.click();
    EXPECT_EQ(faces({&form().enable, &form().disable}), u"enable. disable+"_s);
    EXPECT_EQ(main().flabel[0]->text(), u"ENABLED"_s) << "until the first value changes it";
    EXPECT_TRUE(form().changealarm.hasFocus());
    const int reads = h.joysticks.reads;
    h.scheduler.advance(499);
    EXPECT_EQ(h.joysticks.reads, reads);
    h.scheduler.advance(1);
    EXPECT_EQ(h.joysticks.reads, reads + 101);
    EXPECT_EQ(main().value[0]->text(), u"50"_s);

    // While an alarm entry is open CHANGE is hidden: its low box takes the focus, and the channel is still on.
    form().disable.click();
    form().changealarm.click();
    form().setnewhight.setFocus();
    form().enable.click();
    EXPECT_TRUE(form().Timer1.isEnabled());
    EXPECT_TRUE(form().setnewlowt.hasFocus());
}

TEST_F(ChannelTest, TheCloseImageAbandonsBothFramesAndKeepsSampling) {
    axis(1, 32750);
    switchOn();
    ChannelForm& w = form();
    w.show();
    w.fname.doubleClick();
    w.changealarm.click();
    w.setnewlowt.typed(u"30"_s);
    w.calibrate.click();
    w.auto_.click();
    w.calsetzerocom.click(); // the full-scale step in MANUAL mode

    w.fclose.click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(faces({&w.fname, &w.setname}), u"fname+L setname*"_s);
    EXPECT_EQ(entryFaces(w), u"changealarm+ setcom. setclosecom- setnewlowt-L setnewhight-L"_s);
    EXPECT_EQ(calibrationFaces(w) + u' ' + faces({&w.calclosecom}),
              u"calibrate+ calfincom. calsetzerocom- calsetfsdcom- auto- manual* calzerot-L calfsdt-L calclosecom-"_s);
    EXPECT_EQ(w.setnewlowt.text() + w.calzerot.text() + w.calfsdt.text(), QString());
    EXPECT_EQ(w.Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(w.setlowl.text() + u'/' + w.calzvall.text() + u'/' + w.calfvall.text(), u"0/0/65500"_s);
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

// The previous limits of every row are "10" and "90".
TEST(AlarmLimits, EntriesAreCheckedLowThenHighThenOrder) {
    const char* lowOff = "Please enter a value for LOW ALARM between 0 and 100";
    const char* highOff = "Please enter a value for HIGH ALARM between 0 and 100";
    const char* order = "High Alarm should be greater than Low Alarm";
    const struct {
        const char *name, *mzero, *mfsd, *low, *high;
        const char* message; // empty when the pair is taken
        const char* limits;
    } rows[] = {
        {"inside the meter", "0", "100", "20", "80", "", "20/80"},
        {"on the meter's bounds", "0", "100", "0", "100", "", "0/100"},
        {"kept as typed", "0", "100", " 25", "90 ", "", " 25/90 "},
        {"low below the meter", "0", "100", "-1", "50", lowOff, "10/90"},
        {"low not a number", "0", "100", "abc", "50", lowOff, "10/90"},
        {"low with a tail", "0", "100", "10x", "50", lowOff, "10/90"},
        {"only the first failure is told", "0", "100", "abc", "xyz", lowOff, "10/90"},
        {"high empty", "0", "100", "10", "", highOff, "10/90"},
        {"high above the meter", "0", "100", "10", "101", highOff, "10/90"},
        {"equal", "0", "100", "50", "50", order, "10/90"},
        {"reversed", "0", "100", "60", "40", order, "10/90"},
        {"the meter as its captions read", "10", "250", "5", "50",
         "Please enter a value for LOW ALARM between 10 and 250", "10/90"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(3);
        z.zavok->mzero[2]->setText(QString::fromLatin1(row.mzero));
        z.zavok->mfsd[2]->setText(QString::fromLatin1(row.mfsd));
        w.setlowl.setText(u"10"_s);
        w.sethighl.setText(u"90"_s);
        w.changealarm.click();
        w.setnewlowt.typed(QString::fromLatin1(row.low));
        w.setnewhight.typed(QString::fromLatin1(row.high));
        w.setcom.click();

        EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), QString::fromLatin1(row.limits));
        EXPECT_EQ(w.setnewlowt.text() + w.setnewhight.text(), QString());
        if (*row.message == '\0') {
            EXPECT_TRUE(h.dialogs.asked.empty());
            EXPECT_EQ(entryFaces(w), u"changealarm+ setcom. setclosecom+ setnewlowt-L setnewhight-L"_s);
        } else {
            ASSERT_EQ(h.dialogs.asked.size(), 1u);
            EXPECT_EQ(h.dialogs.asked[0].title, u"CAUTION !!! CAUTION !!! CAUTION !!!"_s);
            EXPECT_EQ(h.dialogs.asked[0].text, QString::fromLatin1(row.message));
            // Editing again, in front of the user, to type both limits anew.
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(entryFaces(w), u"changealarm. setcom+ setclosecom- setnewlowt+ setnewhight+"_s);
            EXPECT_TRUE(w.setnewlowt.hasFocus());
        }
    }
}

TEST_F(ChannelTest, ATickWhileALimitRefusalIsOpenSeesOnlyTheOldLimits) {
    form().setlowl.setText(u"10"_s);
    form().sethighl.setText(u"90"_s);
    axis(1, 32750);
    switchOn();
    Events seen; // the limits as the zone finds them when a new value arrives
    QObject::connect(main().value[0], &kit::Control::changed, [&] { seen.push_back(limits()); });
    h.dialogs.whileNextMessage([&] {
        axis(1, 6550);
        tick();
        axis(1, 13100);
        tick();
    });
    form().changealarm.click();
    form().setnewlowt.typed(u"60"_s);
    form().setnewhight.typed(u"40"_s);
    form().setcom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 1u);
    EXPECT_EQ(h.dialogs.asked[0].text, u"High Alarm should be greater than Low Alarm"_s);
    EXPECT_EQ(seen, (Events{u"10/90"_s, u"10/90"_s}));
    EXPECT_EQ(limits(), u"10/90"_s);
}

TEST_F(ChannelTest, CloseServesOnceAfterAnAcceptedLimitEntry) {
    auto enter = [this](const QString& low, const QString& high) {
        form().show();
        form().changealarm.click();
        form().setnewlowt.typed(low);
        form().setnewhight.typed(high);
        form().setcom.click();
    };
    enter(u"10"_s, u"90"_s);
    EXPECT_TRUE(form().isVisible()) << "an accepted entry leaves the window open";
    form().setclosecom.click();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(form().setclosecom.isEnabled());

    enter(u"20"_s, u"80"_s);
    form().fclose.click();
    EXPECT_FALSE(form().setclosecom.isEnabled()) << "the close image takes CLOSE away too";
    EXPECT_EQ(form().setlowl.text(), u"20"_s);
}

// AUTO mode on a sampling channel: each step takes the live reading.
class CalibrationTest : public ChannelTest {
protected:
    void autoReadings(quint32 zero, quint32 fullScale) {
        axis(1, zero);
        tick();
        form().calsetzerocom.click();
        axis(1, fullScale);
        tick();
        EXPECT_EQ(form().calzerot.text(), QString::number(zero)) << "the accepted zero no longer follows the input";
        EXPECT_EQ(form().calfsdt.text(), QString::number(fullScale));
        form().calsetfsdcom.click();
    }
    QString stored() { return form().calzvall.text() + u'/' + form().calfvall.text(); }
};

TEST_F(CalibrationTest, AutoModeTakesTheLiveReadingsAndFinalizeNeedsMoreThanTenCountsPerUnit) {
    axis(1, 32750);
    switchOn();
    form().calibrate.click();
    EXPECT_EQ(calibrationFaces(form()),
              u"calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual* calzerot+ calfsdt-"_s);
    EXPECT_EQ(form().calzerot.text(), u"0"_s);
    EXPECT_EQ(form().Label3.text(), u"MOVE SENSOR TO MINIMUM AND CLICK SET ZERO"_s);

    autoReadings(1000, 2000);
    EXPECT_EQ(calibrationFaces(form()),
              u"calibrate. calfincom+ calsetzerocom- calsetfsdcom- auto- manual. calzerot-L calfsdt-"_s);
    EXPECT_EQ(form().Label3.text(), u"PRESS FINALIZE CALIBRATION TO SET VALUES"_s);
    form().calfincom.click(); // D = 1000 is not more than 10 x 100: back to the zero step
    EXPECT_EQ(calibrationFaces(form()),
              u"calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual. calzerot+L calfsdt-"_s);
    EXPECT_EQ(form().Label3.text(), u"ERROR : CAL F.S.D > CAL ZERO VALUE BY (10 * METER F.S.D)"_s);
    EXPECT_EQ(form().calzerot.text() + u'/' + form().calfsdt.text(), u"0/"_s);
    EXPECT_EQ(stored(), u"0/65500"_s);

    autoReadings(1000, 2001);
    form().calfincom.click();
    EXPECT_EQ(stored(), u"1000/2001"_s);
    EXPECT_EQ(form().Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(form().calzerot.text() + form().calfsdt.text(), QString());
    EXPECT_TRUE(form().calclosecom.hasFocus());
    tick(); // the new calibration serves from the next tick: (2001 - 1000) x 100 / 1001
    EXPECT_EQ(main().value[0]->text(), u"100"_s);

    form().show();
    form().calclosecom.click();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(form().calclosecom.isEnabled()) << "CLOSE serves once per completed calibration";
}

TEST_F(CalibrationTest, ManualModePrefillsTheEndsOfTheAxisAndWarnsOfNonNumbers) {
    axis(1, 32750);
    switchOn();
    form().calibrate.click();
    form().auto_.click();
    EXPECT_EQ(calibrationFaces(form()),
              u"calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto. manual+ calzerot+ calfsdt-"_s);
    EXPECT_EQ(form().calzerot.text(), u"0"_s);
    EXPECT_TRUE(form().calzerot.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"ENTER VALUE = MINIMUM POSITION OF SENSOR"_s);

    form().calzerot.typed(u"abc"_s);
    tick();
    EXPECT_EQ(form().calzerot.text(), u"abc"_s) << "the live reading stays out of MANUAL mode";
    form().calsetzerocom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 1u);
    EXPECT_EQ(h.dialogs.asked[0].title, u"Caution"_s);
    EXPECT_EQ(h.dialogs.asked[0].text, u"Please enter a value equal to your sensor minimum in the ONLINE ZERO VALUE "
                                       u"BOX before you press SET ZERO"_s);
    EXPECT_EQ(form().calzerot.text(), u"0"_s);
    EXPECT_TRUE(form().calsetzerocom.isEnabled()) << "the zero step stays open";

    form().calzerot.typed(u" 500"_s);
    form().calsetzerocom.click();
    EXPECT_EQ(form().calfsdt.text(), u"65535"_s);
    EXPECT_TRUE(form().calfsdt.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"ENTER VALUE = MAXIMUM POSITION OF SENSOR"_s);
    form().calfsdt.typed(QString());
    form().calsetfsdcom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 2u);
    EXPECT_EQ(h.dialogs.asked[1].text, u"Please enter a value equal to your sensor maximum in the ONLINE F.S.D VALUE "
                                       u"BOX before you press SET F.S.D"_s);
    EXPECT_EQ(form().calfsdt.text(), u"65535"_s);

    form().calsetfsdcom.click();
    EXPECT_TRUE(form().auto_.isVisible()) << "the mode buttons' place is not left empty";
    form().calfincom.click();
    EXPECT_EQ(stored(), u" 500/65535"_s) << "stored exactly as typed";
    axis(1, 13500);
    tick(); // " 500" reads as 500: (13500 - 500) x 100 / 65035 gives 20, where the old calibration gave 21
    EXPECT_EQ(main().value[0]->text(), u"20"_s);
}

TEST_F(CalibrationTest, ManualSwitchesBackToAutoInEitherStep) {
    form().calibrate.click(); // the channel is off: "0" stays in the zero box, and is a reading like any other
    form().auto_.click();
    form().manual.click();
    EXPECT_EQ(calibrationFaces(form()),
              u"calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual. calzerot+L calfsdt-L"_s);
    EXPECT_TRUE(form().calsetzerocom.hasFocus());
    form().calsetzerocom.click();
    form().auto_.click();
    form().manual.click();
    EXPECT_TRUE(form().calfsdt.isLocked());
    EXPECT_TRUE(form().calsetfsdcom.hasFocus());
    EXPECT_EQ(form().Label3.text(), u"MOVE SENSOR TO MAXIMUM AND CLICK SET F.S.D"_s);
}

} // namespace
} // namespace zavok::test
