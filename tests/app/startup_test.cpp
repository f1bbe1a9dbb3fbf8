#include "channels/channel_state.h"
#include "support/harness.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>

namespace zavok::test {
namespace {

constexpr kit::Rgb kCircuitOn{0, 130, 0};
constexpr kit::Rgb kCircuitOff{255, 0, 0};
constexpr kit::Rgb kDesignCircuit{0, 128, 0};

TEST(Startup, FirstRunCreatesTheDataDirectoryAndKeepsEveryDesignValue) {
    Harness h;
    Zavok& z = h.start();
    for (const char* file : {"phones.zvk", "cat.zvk", "apnames.zvk"}) {
        const QFileInfo info(h.dataPath(QString::fromLatin1(file)));
        EXPECT_TRUE(info.isFile()) << file;
        EXPECT_EQ(info.size(), 0) << file;
    }
    EXPECT_TRUE(h.bytes(h.logPath(QStringLiteral("Jul 13")))
                    .startsWith("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\"\r\n"));
    EXPECT_EQ(z.zavok->Text1.text(), QStringLiteral("Jul 13"));
    EXPECT_EQ(h.bell.beeps, 0) << "an empty phones.zvk is not read, so no picture path is missing";
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(z.zavok->enable[n]->back(), kCircuitOn);
        EXPECT_TRUE(z.zavok->indicator[n]->isEnabled());
        EXPECT_EQ(z.zavok->flabel[n]->text(), z.channel(n + 1).fname.text());
        EXPECT_EQ(z.zavok->value[n]->text(), channel::kDis);
        EXPECT_FALSE(z.channel(n + 1).Timer1.isEnabled());
        EXPECT_TRUE(z.channel(n + 1).enable.isVisible());
        EXPECT_FALSE(z.channel(n + 1).disable.isEnabled());
        EXPECT_EQ(z.zavok->pic[n]->width(), 20);
        EXPECT_FALSE(z.channel(n + 1).isVisible());
    }
    EXPECT_FALSE(z.zavoktimer->isVisible());
    EXPECT_EQ(z.zavok->flabel[2]->text(), QStringLiteral("Temperature"));
}

TEST(Startup, SavedSettingsComeBackIntoTheirControls) {
    Harness h;
    QStringList saved = Harness::designPhones();
    saved[0] = QStringLiteral("/pictures/house.bmp");
    saved[8] = QStringLiteral("250");            // mfsd4
    saved[10] = QStringLiteral("90");            // zavokform1 sethighl
    saved[25] = QStringLiteral("Tank 1, north"); // fname of channel 1
    saved[31] = QStringLiteral("DISABLED");      // enable3
    saved[32] = QStringLiteral("disabled");      // enable4: not an exact match, changes nothing
    saved[35] = QStringLiteral("2");             // secs2
    saved[42] = QStringLiteral("42");            // value1: channel 1 enabled
    saved[43] = QStringLiteral("DIS");           // value2
    saved[44] = QStringLiteral("17");
    h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(saved));
    h.put(h.dataPath(QStringLiteral("apnames.zvk")), "\"Front Door\"\r\n\"Garage Door\"\r\n\"T\"\r\n\"F\"\r\n");
    h.put(h.dataPath(QStringLiteral("cat.zvk")), "1440\r\n-120\r\n3\r\n4\r\n5\r\n6\r\n7.5\r\n8\r\n");
    h.pictures.pictures.insert(QStringLiteral("/pictures/house.bmp"));

    Zavok& z = h.start();
    EXPECT_EQ(z.zavok->Image1.picture(), QStringLiteral("/pictures/house.bmp"));
    EXPECT_EQ(z.zavok->mfsd[3]->text(), QStringLiteral("250"));
    EXPECT_EQ(z.channel(1).sethighl.text(), QStringLiteral("90"));
    EXPECT_EQ(z.channel(1).fname.text(), QStringLiteral("Tank 1, north"));
    EXPECT_EQ(z.zavoktimer->secs[2]->text(), QStringLiteral("2"));
    EXPECT_EQ(z.zavok->clabel[1]->text(), QStringLiteral("Garage Door"));
    EXPECT_EQ(z.zavok->indicator[0]->left(), 1440);
    EXPECT_EQ(z.zavok->indicator[0]->top(), -120);
    EXPECT_EQ(z.zavok->indicator[3]->left(), 7.5f);

    EXPECT_EQ(z.zavok->enable[2]->back(), kCircuitOff);
    EXPECT_FALSE(z.zavok->indicator[2]->isEnabled());
    EXPECT_FALSE(z.zavok->alabel[2]->isEnabled());
    EXPECT_EQ(z.zavok->enable[3]->back(), kDesignCircuit);
    EXPECT_TRUE(z.zavok->indicator[3]->isEnabled());

    EXPECT_TRUE(z.channel(1).Timer1.isEnabled());
    EXPECT_TRUE(z.channel(1).disable.isVisible());
    EXPECT_FALSE(z.channel(1).enable.isEnabled());
    EXPECT_FALSE(z.channel(2).Timer1.isEnabled());
    EXPECT_TRUE(z.channel(2).enable.isVisible());
    EXPECT_EQ(z.zavok->pic[1]->width(), 20);
}

TEST(Startup, PicturePathRules) {
    {
        Harness h; // no picture ever chosen: the bell sounds once, the built-in picture stays
        h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(Harness::designPhones()));
        Zavok& z = h.start();
        EXPECT_EQ(h.bell.beeps, 1);
        EXPECT_EQ(z.zavok->Image1.picture(), kit::kFloorPlanPicture);
    }
    {
        Harness h; // a path that is no picture: kept in Label5, the picture unchanged
        QStringList saved = Harness::designPhones();
        saved[0] = QStringLiteral("/etc/hostname");
        h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(saved));
        Zavok& z = h.start();
        EXPECT_EQ(h.bell.beeps, 0);
        EXPECT_EQ(z.zavok->Label5.text(), QStringLiteral("/etc/hostname"));
        EXPECT_EQ(z.zavok->Image1.picture(), kit::kFloorPlanPicture);
    }
}

TEST(Startup, AShortPhonesFileLeavesTheMissingFieldsEmpty) {
    Harness h;
    QStringList saved = Harness::designPhones();
    saved.removeLast(); // 45 lines: value4 becomes empty, which is not "DIS"
    h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(saved));
    Zavok& z = h.start();
    EXPECT_EQ(z.zavok->value[3]->text(), QString());
    EXPECT_TRUE(z.channel(4).Timer1.isEnabled());
    EXPECT_FALSE(z.channel(3).Timer1.isEnabled());
}

// Damaged data directories never stop start-up: what cannot be used is skipped, the rest stands.
TEST(Startup, DamagedSettingsFilesAreSkippedValueByValue) {
    const QByteArray junk = QByteArray(10 << 20, '\xff');
    struct Case {
        const char* name;
        QByteArray cat;
        QByteArray phones;
    };
    const Case cases[] = {
        {"binary", QByteArray("\0\1\2\3\xfe", 5), QByteArray("\"\0\"\r\n\x01\x02", 6)},
        {"ten megabytes", junk, junk},
        {"huge and non-finite", "1e999\r\nnan\r\n-1e39\r\ninf\r\n1e38\r\n2\r\n3\r\n4\r\n", "\"1e999\"\r\n"},
        {"unmatched quotes", "\"12\r\n", "\"/pic\r\n\"0\"\r\n"},
        {"text in numbers", "abc\r\n12abc\r\n\r\n\r\n", Harness::phonesFile({QStringLiteral("x")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.put(h.dataPath(QStringLiteral("cat.zvk")), c.cat);
        h.put(h.dataPath(QStringLiteral("phones.zvk")), c.phones);
        Zavok& z = h.start();
        EXPECT_EQ(h.logLines().first(), QByteArray("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""));
        for (kit::Label* indicator : z.zavok->indicator) {
            EXPECT_TRUE(std::isfinite(indicator->left()));
            EXPECT_TRUE(std::isfinite(indicator->top()));
        }
        z.shutdown();
        EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("phones.zvk"))).count("\r\n"), 46);
    }
}

TEST(Startup, WithoutADataDirectoryTheProgramStillStartsAndLogs) {
    Harness h;
    h.put(h.root.filePath(QStringLiteral("data")), "a file where the directory's parent should be");
    Zavok& z = h.start();
    EXPECT_EQ(h.logLines().first(), QByteArray("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""));
    EXPECT_EQ(z.zavok->clabel[0]->text(), QStringLiteral("Front Door"));
    z.shutdown(); // the settings cannot be written; the program ends all the same
    EXPECT_TRUE(z.hasEnded());
    EXPECT_EQ(h.logLines().last(), QByteArray("\"ZAVOK closed at\",\"08:15:20 AM\",\"July 13,2001\""));
}

TEST(Startup, ADirectoryWhereASettingsFileShouldBeIsSkipped) {
    Harness h;
    QDir().mkpath(h.dataPath(QStringLiteral("apnames.zvk")));
    h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(Harness::designPhones()));
    Zavok& z = h.start();
    EXPECT_EQ(z.zavok->clabel[3]->text(), QStringLiteral("Freezer Alarm"));
    EXPECT_EQ(h.bell.beeps, 1) << "the steps after the broken one still ran";
}

} // namespace
} // namespace zavok::test
