#include "channel_fixture.h"

#include <QDir>

namespace zavok::test {
namespace {

QByteArray lines(const std::vector<quint32>& readings) {
    QByteArray out;
    for (quint32 r : readings) {
        out += QByteArray::number(r) + "\r\n";
    }
    return out;
}

using AcquisitionTest = ChannelTest;

TEST_F(AcquisitionTest, TheDocumentedExampleScalesTo50) {
    axis(1, 32750);
    switchOn();
    EXPECT_EQ(main().value[0]->text(), QStringLiteral("50"));
    EXPECT_EQ(form().Picture1.width(), 3100.0f);
    EXPECT_EQ(main().pic[0]->width(), 1020.0f);
    EXPECT_EQ(form().Text5.text(), QStringLiteral("32750"));
    EXPECT_EQ(form().Label1.text(), QStringLiteral("TYPE VALUE BETWEEN 0 and 100"));
    EXPECT_EQ(h.joysticks.reads, 101) << "one single reading and a burst of 100";
    EXPECT_EQ(Harness::bytes(h.dataPath(QStringLiteral("x1values.zvk"))), lines(std::vector<quint32>(100, 32750)));
    EXPECT_FALSE(form().isVisible()) << "a hidden window samples without showing itself";
    // The period follows the channel's own sampling time from each tick on.
    EXPECT_EQ(form().Timer1.interval(), 500);
    z->zavoktimer->secs[1]->setText(QStringLiteral("2"));
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

TEST_F(AcquisitionTest, SmallChangesOfTheAverageAreHeld) {
    const struct {
        quint32 reading;
        const char* shown;
    } steps[] = {{30000, "30000"}, {30014, "30000"}, {30015, "30015"}, {30001, "30015"}};
    form().enable.click();
    for (const auto& step : steps) {
        axis(1, step.reading);
        tick();
        EXPECT_EQ(form().Text5.text(), QString::fromLatin1(step.shown)) << step.reading;
    }
}

TEST_F(AcquisitionTest, TheSampleFileHoldsTheBurstInReadingOrder) {
    // A longer file from an earlier run must leave no tail behind.
    Harness::put(h.dataPath(QStringLiteral("x1values.zvk")), lines(std::vector<quint32>(150, 4294967295u)));
    int call = 0;
    h.joysticks.reader = [&](int, kit::JOYINFO& info) { info.wXpos = 32700 + quint32(call++ % 2); };
    switchOn();
    std::vector<quint32> burst;
    for (int i = 1; i <= 100; ++i) {
        burst.push_back(32700 + quint32(i % 2));
    }
    EXPECT_EQ(Harness::bytes(h.dataPath(QStringLiteral("x1values.zvk"))), lines(burst));
    EXPECT_EQ(form().Text1.text(), QStringLiteral("32700"));
    EXPECT_EQ(form().Text5.text(), QStringLiteral("32700.5"));
}

TEST_F(AcquisitionTest, EachChannelReadsItsOwnAxisIntoItsOwnFile) {
    const char* files[] = {"x1values.zvk", "y1values.zvk", "x2values.zvk", "y2values.zvk"};
    for (int n = 1; n <= 4; ++n) {
        axis(n, quint32(6550 * n));
        form(n).enable.click();
    }
    h.scheduler.advance(1000);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(main().value[n - 1]->text(), QString::number(10 * n)) << n;
        EXPECT_EQ(Harness::bytes(h.dataPath(QString::fromLatin1(files[n - 1]))),
                  lines(std::vector<quint32>(100, quint32(6550 * n))));
    }
}

TEST(AcquisitionFile, AChannelWhoseSampleFileFailsKeepsWorkingFromTheBurst) {
    const struct {
        const char* name;
        std::function<void(Harness&)> spoil;
    } rows[] = {
        {"no data directory", [](Harness& h) { QDir(h.dataDirectory).removeRecursively(); }},
        {"a sample file that cannot be opened",
         [](Harness& h) { QDir().mkpath(h.dataPath(QStringLiteral("x1values.zvk"))); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        row.spoil(h);
        h.joysticks.stick[0].wXpos = 32750;
        z.channel(1).enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("50"));
        EXPECT_TRUE(z.channel(1).Timer1.isEnabled());
    }
}

TEST_F(AcquisitionTest, ACalibrationNarrowerThanTheMeterShowsTheWindowOnEveryTick) {
    axis(1, 32750);
    switchOn();
    form().calfvall.setText(QStringLiteral("50")); // C = 50 < S = 100
    axis(1, 40000);
    for (int i = 0; i < 2; ++i) {
        form().hide();
        tick();
        EXPECT_TRUE(form().isVisible());
        EXPECT_EQ(main().value[0]->text(), QStringLiteral("50"));
        EXPECT_EQ(form().Picture1.width(), 3100.0f);
        EXPECT_EQ(main().pic[0]->width(), 1020.0f);
    }
}

TEST_F(AcquisitionTest, ABurstOfZerosSwitchesTheChannelOff) {
    axis(1, 32750);
    switchOn();
    Trace trace;
    auto timer = [this] { return QString::fromLatin1(form().Timer1.isEnabled() ? "timer on" : "timer off"); };
    trace.watch(*main().flabel[0], timer);
    trace.watch(*main().value[0], timer);
    trace.watch(form().Picture1);
    trace.watch(*main().pic[0]);
    axis(1, 0);
    tick();
    EXPECT_EQ(
        trace.events,
        (std::vector<QString>{QStringLiteral("flabel1 NO INPUT | timer off"), QStringLiteral("value1 DIS | timer off"),
                              QStringLiteral("flabel1 Pressure | timer off"), // the zone's reaction
                              QStringLiteral("Picture1 width 100"), QStringLiteral("pic1 width 20")}));
    EXPECT_EQ(faces({&form().enable, &form().disable}), QStringLiteral("enable+ disable."));
    EXPECT_TRUE(h.dialogs.asked.empty());
    const int reads = h.joysticks.reads;
    axis(1, 32750);
    h.scheduler.advance(10000);
    EXPECT_EQ(h.joysticks.reads, reads) << "off until the user presses ENABLE";
}

} // namespace
} // namespace zavok::test
