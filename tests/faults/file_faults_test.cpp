#include "faults/machine.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace zavok::test {
namespace {

#define REQUIRE_PRIVATE_MOUNTS()                                                                                       \
    if (!havePrivateMounts())                                                                                          \
    GTEST_SKIP() << "needs a mount namespace of its own (root or CAP_SYS_ADMIN): "                                     \
                 << privateMountsRefusal().toStdString()

constexpr kit::Rgb kLightRed{255, 0, 0};
constexpr qint16 kAtRest = 240;
constexpr qint16 kAlert1 = 240 - 16;

// A run with saved settings, channel 1 enabled and sampling at its saved 0.5 s, and every contact at rest.
class FileFaultTest : public ::testing::Test {
protected:
    // Settings whose every file differs from what a first run would write.
    void saveSettings() {
        QStringList phones = Harness::designPhones();
        phones[8] = QStringLiteral("250"); // mfsd4
        phones[42] = QStringLiteral("0");  // value1: channel 1 enabled
        h.put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(phones));
        h.put(h.dataPath(QStringLiteral("apnames.zvk")), "\"Gate\"\r\n\"Shed\"\r\n\"Tank\"\r\n\"Cellar\"\r\n");
        h.put(h.dataPath(QStringLiteral("cat.zvk")), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
        for (const QString& file : settingsFiles()) {
            saved.append(Harness::bytes(h.dataPath(file)));
        }
    }

    static QStringList settingsFiles() {
        return {QStringLiteral("phones.zvk"), QStringLiteral("apnames.zvk"), QStringLiteral("cat.zvk")};
    }

    void start() {
        h.port.value = kAtRest;
        z = &h.start();
        h.joysticks.stick[0].wXpos = 13100;
        h.scheduler.advance(1000); // the first channel tick, after which it samples every 500 ms
    }

    // One second more of monitoring: ten poll ticks, two bursts of channel 1, its value following the axis, and
    // alert 1 coming and going on its indicator.
    void expectMonitoring() {
        const std::size_t polls = h.port.ports.size();
        const int reads = h.joysticks.reads;
        auto& stick = h.joysticks.stick[0].wXpos;
        const bool high = stick == 13100;
        stick = high ? 32750 : 13100;
        h.port.value = kAlert1;
        h.scheduler.advance(500);
        EXPECT_EQ(z->zavok->alabel[0]->back(), kLightRed) << "the alert shows";
        h.port.value = kAtRest;
        h.scheduler.advance(500);
        EXPECT_EQ(h.port.ports.size() - polls, 10u);
        EXPECT_EQ(h.joysticks.reads - reads, 2 * 101);
        EXPECT_EQ(z->zavok->value[0]->text(), high ? QStringLiteral("50") : QStringLiteral("20"));
    }

    // The user renames circuit 2, sends indicator 1 home and sets new alarm limits on channel 1: all of it shows,
    // whether or not it can be saved.
    void changeSettings() {
        h.dialogs.answerInput(QStringLiteral("Garage"));
        z->zavok->clabel[1]->click();
        EXPECT_EQ(z->zavok->clabel[1]->text(), QStringLiteral("Garage"));
        z->zavok->alabel[0]->click();
        EXPECT_EQ(z->zavok->indicator[0]->left(), z->zavok->blabel[0]->left());
        ChannelForm& w = z->channel(1);
        w.changealarm.click();
        w.setnewlowt.typed(QStringLiteral("10"));
        w.setnewhight.typed(QStringLiteral("90"));
        w.setcom.click();
        EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), QStringLiteral("10/90"));
    }

    // EXIT ends the program however the saving went; a phones.zvk that could not be written is told.
    void expectOrderlyEnd(bool phonesWritten) {
        int ended = 0;
        z->onEnded = [&ended] { ++ended; };
        QByteArray told;
        {
            const StderrCapture err;
            z->zavok->exit.click();
            told = err.text();
        }
        EXPECT_TRUE(z->hasEnded());
        EXPECT_EQ(ended, 1);
        for (kit::Window* w : z->desktop.windows()) {
            for (kit::Timer* t : w->timers()) {
                EXPECT_FALSE(t->isRunning()) << qPrintable(t->name());
            }
        }
        if (phonesWritten) {
            EXPECT_FALSE(told.contains("phones.zvk")) << told.toStdString();
        } else {
            EXPECT_TRUE(told.contains(QFile::encodeName(h.dataPath(QStringLiteral("phones.zvk")))))
                << "told: " << told.toStdString();
        }
    }

    void expectSettingsUnchanged() {
        const QStringList files = settingsFiles();
        for (qsizetype i = 0; i < files.size(); ++i) {
            EXPECT_EQ(Harness::bytes(h.dataPath(files[i])), saved[i]) << files[i].toStdString();
        }
        // A replacement that did not complete leaves nothing behind either.
        const QStringList left = QDir(h.dataDirectory).entryList({QStringLiteral("*.zvk.*")}, QDir::Files);
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
    }

    // Every line of the day's log is one whole record.
    void expectWholeRecords() {
        const QByteArray content = Harness::bytes(h.logPath(QStringLiteral("Jul 13")));
        EXPECT_TRUE(content.isEmpty() || content.endsWith("\r\n")) << "the last record was cut";
        for (const QByteArray& line : h.logLines()) {
            EXPECT_TRUE(line.startsWith('"') && line.endsWith("AM\",\"July 13,2001\"") && line.count('"') == 6)
                << line.toStdString();
        }
    }

    Harness h;
    Zavok* z = nullptr;
    QList<QByteArray> saved;
};

TEST_F(FileFaultTest, DataDirectoryRemovedWhileRunning) {
    saveSettings();
    start();
    ASSERT_TRUE(QDir(h.dataDirectory).removeRecursively());
    expectMonitoring(); // the sample file cannot be made: the burst itself serves
    changeSettings();
    expectMonitoring();
    expectOrderlyEnd(false);
    EXPECT_FALSE(QDir(h.dataDirectory).exists()) << "saving makes no directories of its own";
    EXPECT_TRUE(h.logLines().last().startsWith("\"ZAVOK closed at\""));
}

TEST_F(FileFaultTest, ReadOnlyDataDirectory) {
    REQUIRE_PRIVATE_MOUNTS();
    saveSettings();
    const auto mount = Mount::readOnly(h.dataDirectory);
    ASSERT_TRUE(mount);
    start();
    // Read although they could not be opened for appending first.
    EXPECT_EQ(z->zavok->mfsd[3]->text(), QStringLiteral("250"));
    EXPECT_EQ(z->zavok->clabel[3]->text(), QStringLiteral("Cellar"));
    EXPECT_EQ(z->zavok->indicator[3]->top(), 8);
    expectMonitoring();
    changeSettings();
    expectMonitoring();
    expectOrderlyEnd(false);
    expectSettingsUnchanged();
}

TEST_F(FileFaultTest, FullDataDirectory) {
    REQUIRE_PRIVATE_MOUNTS();
    QDir().mkpath(h.root.filePath(QStringLiteral("data")));
    const auto mount = Mount::tmpfs(h.root.filePath(QStringLiteral("data")), 64 << 10);
    ASSERT_TRUE(mount);
    saveSettings();
    start();
    ASSERT_GT(fillUp(h.dataDirectory), 0);
    expectMonitoring();
    changeSettings();
    expectMonitoring();
    expectOrderlyEnd(false);
    expectSettingsUnchanged();
}

TEST_F(FileFaultTest, SettingsWritesThatFailHalfWay) {
    REQUIRE_PRIVATE_MOUNTS();
    QDir().mkpath(h.root.filePath(QStringLiteral("data")));
    const auto mount = Mount::tmpfs(h.root.filePath(QStringLiteral("data")), 64 << 10);
    ASSERT_TRUE(mount);
    saveSettings();
    start();
    ASSERT_TRUE(removeFiller(h.dataDirectory, fillUp(h.dataDirectory) - 1)); // one page free
    // Each of these files is now longer than a page: its first page can be written, the rest cannot.
    const QString longName(10000, u'n');
    h.dialogs.answerInput(longName);
    z->zavok->clabel[0]->click();
    EXPECT_EQ(z->zavok->clabel[0]->text(), longName) << "shown, even though it cannot be saved";
    z->zavok->Label5.setText(QString(10000, u'p'));
    expectMonitoring();
    expectOrderlyEnd(false);
    expectSettingsUnchanged();
}

TEST_F(FileFaultTest, WorkingDirectoryNotWritable) {
    REQUIRE_PRIVATE_MOUNTS();
    saveSettings();
    start();
    const QByteArray before = Harness::bytes(h.logPath(QStringLiteral("Jul 13")));
    const qsizetype records = h.logLines().size();
    {
        const auto mount = Mount::readOnly(h.logDirectory);
        ASSERT_TRUE(mount);
        expectMonitoring(); // alert 1 came and went: its two records are dropped
        EXPECT_EQ(Harness::bytes(h.logPath(QStringLiteral("Jul 13"))), before);
    }
    // Writable again: only the records that could not be written are missing.
    expectMonitoring();
    expectWholeRecords();
    const auto log = h.logLines();
    ASSERT_EQ(log.size(), records + 2);
    EXPECT_TRUE(log[records].startsWith("\"Alert #1 activated at\",\"08:15:22 AM\""));
    EXPECT_TRUE(log[records + 1].startsWith("\"Alert #1 deactivated at\",\"08:15:22 AM\""));
    expectOrderlyEnd(true);
}

TEST_F(FileFaultTest, TheDaysLogOnAFullDevice) {
    // /dev/full takes the open and refuses every write with ENOSPC.
    const QString log = h.logPath(QStringLiteral("Jul 13"));
    ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(log).constData()), 0);
    saveSettings();
    start();
    expectMonitoring();
    ASSERT_TRUE(QFile::remove(log));
    expectMonitoring();
    expectWholeRecords();
    EXPECT_EQ(h.logLines().size(), 2) << "the two records of the second alert, and nothing of what went before";
    expectOrderlyEnd(true);
}

TEST_F(FileFaultTest, ALogRecordThatFailsHalfWayIsDroppedWhole) {
    REQUIRE_PRIVATE_MOUNTS();
    const auto mount = Mount::tmpfs(h.logDirectory, 64 << 10);
    ASSERT_TRUE(mount);
    saveSettings();
    start();
    ASSERT_GT(fillUp(h.logDirectory), 0);
    // The log's last page has room for some records and then for part of one; no new page can be had.
    for (int i = 0; i < 100; ++i) {
        expectMonitoring();
    }
    expectWholeRecords();
    const qsizetype kept = h.logLines().size();
    EXPECT_LT(kept, 2 + 200) << "the disk was full, yet every record was written";
    ASSERT_TRUE(removeFiller(h.logDirectory, 0));
    expectMonitoring();
    expectWholeRecords();
    EXPECT_EQ(h.logLines().size(), kept + 2) << "room again: the next records are whole, right after the last";
}

} // namespace
} // namespace zavok::test
