#include "forms/channel_state.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

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
        // The name row's buttons are as tall as the name box; each meter starts at its frame's left edge, with its
        // bar in the trough's top-left corner.
        const ChannelForm& w = z.channel(n + 1);
        for (const kit::Button* button : {&w.setname, &w.enable, &w.disable}) {
            EXPECT_EQ(button->height(), w.fname.height()) << qPrintable(button->name());
        }
        EXPECT_EQ(z.zavok->trough[n]->left(), 0);
        EXPECT_EQ(z.zavok->pic[n]->left(), z.zavok->trough[n]->left());
        EXPECT_EQ(z.zavok->pic[n]->top(), z.zavok->trough[n]->top());
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
    QStringList longPhones = Harness::designPhones();
    longPhones[8] = QStringLiteral("250");
    for (int extra = 0; extra < 10; ++extra) {
        longPhones << QStringLiteral("extra");
    }
    QStringList nulPhones = Harness::designPhones();
    nulPhones[25] = QString::fromLatin1("Tank\0A", 6);
    const QByteArray design = "60\r\n3180\r\n60\r\n3480\r\n60\r\n3780\r\n60\r\n4080\r\n"; // as catfile writes

    struct Case {
        const char* name;
        QByteArray cat;
        QByteArray phones;
        QByteArray apnames = {};
        // What the row is about, once start-up is over; the rows without one only must not break anything.
        std::function<void(const Harness&, Zavok&)> check = {};
    };
    const Case cases[] = {
        {"binary", QByteArray("\0\1\2\3\xfe", 5), QByteArray("\"\0\"\r\n\x01\x02", 6)},
        {"ten megabytes", junk, junk, junk},
        {"huge and non-finite", "1e999\r\nnan\r\n-1e39\r\ninf\r\n1e38\r\n2\r\n3\r\n4\r\n", "\"1e999\"\r\n"},
        {"unmatched quotes", "\"12\r\n", "\"/pic\r\n\"0\"\r\n"},
        {"text in numbers", "abc\r\n12abc\r\n\r\n\r\n", Harness::phonesFile({QStringLiteral("x")})},
        {"all three empty", "", "", "",
         [&](const Harness& h, Zavok& z) {
             EXPECT_EQ(z.zavok->clabel[2]->text(), QStringLiteral("Tank Overflow"));
             EXPECT_EQ(z.zavok->mfsd[0]->text(), QStringLiteral("100"));
             EXPECT_EQ(h.bell.beeps, 0) << "an empty phones.zvk is not read";
             z.catfile();
             EXPECT_EQ(Harness::bytes(h.dataPath(QStringLiteral("cat.zvk"))), design);
         }},
        {"all three short: the missing fields read empty", "100\r\n200\r\n300\r\n",
         Harness::phonesFile(Harness::designPhones().mid(0, 10)), "\"Gate\"\r\n\"Shed\"\r\n",
         [](const Harness&, Zavok& z) {
             EXPECT_EQ(z.zavok->indicator[1]->left(), 300);
             EXPECT_EQ(z.zavok->indicator[1]->top(), 0) << "a position past the end becomes 0";
             EXPECT_EQ(z.zavok->indicator[3]->left(), 0);
             EXPECT_EQ(z.zavok->clabel[1]->text(), QStringLiteral("Shed"));
             EXPECT_EQ(z.zavok->clabel[2]->text(), QString());
             EXPECT_EQ(z.channel(1).sethighl.text(), QString());
             EXPECT_EQ(z.channel(4).fname.text(), QString());
             EXPECT_EQ(z.zavok->enable[0]->text(), QString());
             EXPECT_TRUE(z.channel(2).Timer1.isEnabled()) << "an empty value is not \"DIS\"";
         }},
        {"all three long: the lines past the layout are ignored", design + "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n",
         Harness::phonesFile(longPhones), "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n\"E\"\r\n\"F\"\r\n",
         [](const Harness& h, Zavok& z) {
             EXPECT_EQ(z.zavok->indicator[3]->top(), 4080);
             EXPECT_EQ(z.zavok->clabel[3]->text(), QStringLiteral("D"));
             EXPECT_EQ(z.zavok->mfsd[3]->text(), QStringLiteral("250"));
             EXPECT_EQ(z.zavok->value[3]->text(), channel::kDis);
             EXPECT_EQ(h.bell.beeps, 1);
         }},
        {"NUL bytes: inside a text they are kept, a number with one is skipped", QByteArray("1\0\r\n2\r\n", 7),
         Harness::phonesFile(nulPhones), QByteArray("\"Front\0Door\"\r\n", 14),
         [](const Harness& h, Zavok& z) {
             EXPECT_EQ(z.zavok->indicator[0]->left(), 60) << "not a number: the design position stays";
             EXPECT_EQ(z.zavok->indicator[0]->top(), 2);
             EXPECT_EQ(z.zavok->clabel[0]->text(), QString::fromLatin1("Front\0Door", 10));
             EXPECT_EQ(z.channel(1).fname.text(), QString::fromLatin1("Tank\0A", 6));
             EXPECT_EQ(h.bell.beeps, 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.put(h.dataPath(QStringLiteral("cat.zvk")), c.cat);
        h.put(h.dataPath(QStringLiteral("phones.zvk")), c.phones);
        h.put(h.dataPath(QStringLiteral("apnames.zvk")), c.apnames);
        Zavok& z = h.start();
        EXPECT_EQ(h.logLines().first(), QByteArray("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""));
        for (kit::Label* indicator : z.zavok->indicator) {
            EXPECT_TRUE(std::isfinite(indicator->left()));
            EXPECT_TRUE(std::isfinite(indicator->top()));
        }
        if (c.check) {
            c.check(h, z);
        }
        h.scheduler.advance(1000); // monitoring runs on whatever was restored
        z.shutdown();
        EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("phones.zvk"))).count("\r\n"), 46);
    }
}

// A settings file that cannot be opened, even by root, is skipped like a missing one; nothing may wait on it.
TEST(Startup, SettingsFilesThatCannotBeOpenedAreSkippedWithoutWaiting) {
    enum class Obstacle { Fifo, DanglingLink };
    const struct {
        const char* name;
        Obstacle obstacle;
        const char* file;
    } cases[] = {
        {"a FIFO in the place of cat.zvk", Obstacle::Fifo, "cat.zvk"},
        {"a FIFO in the place of phones.zvk", Obstacle::Fifo, "phones.zvk"},
        {"a FIFO in the place of apnames.zvk", Obstacle::Fifo, "apnames.zvk"},
        {"phones.zvk links into a missing directory", Obstacle::DanglingLink, "phones.zvk"},
        {"apnames.zvk links into a missing directory", Obstacle::DanglingLink, "apnames.zvk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        QStringList saved = Harness::designPhones();
        saved[8] = QStringLiteral("250");
        h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(saved));
        h.put(h.dataPath(QStringLiteral("apnames.zvk")), "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n");
        h.put(h.dataPath(QStringLiteral("cat.zvk")), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
        const QString path = h.dataPath(QString::fromLatin1(c.file));
        const QByteArray encoded = QFile::encodeName(path);
        ASSERT_TRUE(QFile::remove(path));
        if (c.obstacle == Obstacle::Fifo) {
            ASSERT_EQ(::mkfifo(encoded.constData(), 0600), 0);
        } else {
            ASSERT_EQ(::symlink(QFile::encodeName(h.root.filePath(QStringLiteral("gone/x.zvk"))).constData(),
                                encoded.constData()),
                      0);
        }
        Zavok& z = h.start();
        const QByteArray file(c.file);
        EXPECT_EQ(z.zavok->indicator[3]->top(), file == "cat.zvk" ? 4080 : 8);
        EXPECT_EQ(z.zavok->clabel[3]->text(),
                  file == "apnames.zvk" ? QStringLiteral("Freezer Alarm") : QStringLiteral("D"));
        EXPECT_EQ(z.zavok->mfsd[3]->text(), file == "phones.zvk" ? QStringLiteral("100") : QStringLiteral("250"));
        EXPECT_EQ(h.logLines().first(), QByteArray("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""));
        z.zavok->clabel[0]->setText(QStringLiteral("Gate"));
        z.labname(); // neither may these wait on the FIFO
        z.catfile();
        z.shutdown();
        EXPECT_TRUE(z.hasEnded());
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
