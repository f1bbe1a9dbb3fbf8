#include "faults/machine.h"
#include "platform/state_file.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

constexpr kit::Rgb kLightRed{255, 0, 0};
constexpr qint16 kAtRest = 240;
constexpr qint16 kAlert1 = 240 - 16;
const QStringList kSettings{u"phones.zvk"_s, u"apnames.zvk"_s, u"cat.zvk"_s};

// A run with saved settings, channel 1 enabled and sampling at its saved 0.5 s, and every contact at rest.
class FileFaultTest : public ::testing::Test {
protected:
    // Settings whose every file differs from what a first run would write.
    void saveSettings() {
        QStringList phones = Harness::designPhones();
        phones[8] = u"250"_s; // mfsd4
        phones[42] = u"0"_s;  // value1: channel 1 enabled
        h.put(h.dataPath(kSettings[0]), Harness::phonesFile(phones));
        h.put(h.dataPath(kSettings[1]), "\"Gate\"\r\n\"Shed\"\r\n\"Tank\"\r\n\"Cellar\"\r\n");
        h.put(h.dataPath(kSettings[2]), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
        for (const QString& file : kSettings) {
            saved.append(Harness::bytes(h.dataPath(file)));
        }
    }

    // `directory` on a tmpfs of 64 kB.
    bool smallDisk(const QString& directory) {
        QDir().mkpath(directory);
        return bool(mount = Mount::tmpfs(directory, 64 << 10));
    }

    // Saves the settings and, once `meanwhile` has run, starts the program.
    void start(const std::function<void()>& meanwhile = {}) {
        saveSettings();
        if (meanwhile) {
            meanwhile();
        }
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
        EXPECT_EQ(z->zavok->value[0]->text(), high ? u"50"_s : u"20"_s);
    }

    // Monitoring goes on around the user's changes to the settings, and EXIT ends the run though none of them can
    // be saved: the user renames circuit 2, sends indicator 1 home and sets new alarm limits on channel 1, and all
    // of it shows.
    void expectChangesShownButNotSaved() {
        expectMonitoring();
        h.dialogs.answerInput(u"Garage"_s);
        z->zavok->clabel[1]->click();
        EXPECT_EQ(z->zavok->clabel[1]->text(), u"Garage"_s);
        z->zavok->alabel[0]->click();
        EXPECT_EQ(z->zavok->indicator[0]->left(), z->zavok->blabel[0]->left());
        ChannelForm& w = z->channel(1);
        w.changealarm.click();
        w.setnewlowt.typed(u"10"_s);
        w.setnewhight.typed(u"90"_s);
        w.setcom.click();
        EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), u"10/90"_s);
        expectMonitoring();
        expectOrderlyEnd(false);
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
        // Written, it is not mentioned at all; not written, it is named in full.
        EXPECT_EQ(told.contains(phonesWritten ? "phones.zvk" : QFile::encodeName(h.dataPath(kSettings[0]))),
                  !phonesWritten)
            << "told: " << told.toStdString();
    }

    void expectSettingsUnchanged() {
        for (qsizetype i = 0; i < kSettings.size(); ++i) {
            EXPECT_EQ(Harness::bytes(h.dataPath(kSettings[i])), saved[i]) << kSettings[i].toStdString();
        }
        // A replacement that did not complete leaves nothing behind either.
        const QStringList left = QDir(h.dataDirectory).entryList({u"*.zvk.*"_s}, QDir::Files);
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
    }

    // Every line of the day's log is one whole record.
    void expectWholeRecords() {
        const QByteArray content = Harness::bytes(h.logPath(u"Jul 13"_s));
        EXPECT_TRUE(content.isEmpty() || content.endsWith("\r\n")) << "the last record was cut";
        for (const QByteArray& line : h.logLines()) {
            EXPECT_TRUE(line.startsWith('"') && line.endsWith("AM\",\"July 13,2001\"") && line.count('"') == 6)
                << line.toStdString();
        }
    }

    Harness h;
    std::unique_ptr<Mount> mount;
    Zavok* z = nullptr;
    QList<QByteArray> saved;
};

// The faults that take a mount of the test's own.
class DiskFaultTest : public FileFaultTest {
protected:
    void SetUp() override {
        if (!mountsRefused.isEmpty()) {
            GTEST_SKIP() << "needs a mount namespace of its own (root or CAP_SYS_ADMIN): "
                         << mountsRefused.toStdString();
        }
    }
};

TEST_F(FileFaultTest, DataDirectoryRemovedWhileRunning) {
    start();
    ASSERT_TRUE(QDir(h.dataDirectory).removeRecursively());
    expectChangesShownButNotSaved(); // the sample file cannot be made: the burst itself serves
    EXPECT_FALSE(QDir(h.dataDirectory).exists()) << "saving makes no directories of its own";
    EXPECT_TRUE(h.logLines().last().startsWith("\"ZAVOK closed at\""));
}

TEST_F(FileFaultTest, TheDaysLogOnAFullDevice) {
    // /dev/full takes the open and refuses every write with ENOSPC.
    const QString log = h.logPath(u"Jul 13"_s);
    ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(log).constData()), 0);
    start();
    expectMonitoring();
    ASSERT_TRUE(QFile::remove(log));
    expectMonitoring();
    expectWholeRecords();
    EXPECT_EQ(h.logLines().size(), 2) << "the two records of the second alert, and nothing of what went before";
    expectOrderlyEnd(true);
}

TEST_F(DiskFaultTest, ReadOnlyDataDirectory) {
    start([this] { mount = Mount::readOnly(h.dataDirectory); });
    ASSERT_TRUE(mount);
    // Read although they could not be opened for appending first.
    EXPECT_EQ(z->zavok->mfsd[3]->text(), u"250"_s);
    EXPECT_EQ(z->zavok->clabel[3]->text(), u"Cellar"_s);
    EXPECT_EQ(z->zavok->indicator[3]->top(), 8);
    expectChangesShownButNotSaved();
    expectSettingsUnchanged();
}

TEST_F(DiskFaultTest, FullDataDirectory) {
    ASSERT_TRUE(smallDisk(h.root.filePath(u"data"_s)));
    start();
    ASSERT_GT(fillUp(h.dataDirectory), 0);
    expectChangesShownButNotSaved();
    expectSettingsUnchanged();
}

TEST_F(DiskFaultTest, SettingsWritesThatFailHalfWay) {
    ASSERT_TRUE(smallDisk(h.root.filePath(u"data"_s)));
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

TEST_F(DiskFaultTest, WorkingDirectoryNotWritable) {
    start();
    const QByteArray before = Harness::bytes(h.logPath(u"Jul 13"_s));
    const qsizetype records = h.logLines().size();
    ASSERT_TRUE(mount = Mount::readOnly(h.logDirectory));
    expectMonitoring(); // alert 1 came and went: its two records are dropped
    EXPECT_EQ(Harness::bytes(h.logPath(u"Jul 13"_s)), before);
    // Writable again: only the records that could not be written are missing.
    mount.reset();
    expectMonitoring();
    expectWholeRecords();
    const auto log = h.logLines();
    ASSERT_EQ(log.size(), records + 2);
    EXPECT_TRUE(log[records].startsWith("\"Alert #1 activated at\",\"08:15:22 AM\""));
    EXPECT_TRUE(log[records + 1].startsWith("\"Alert #1 deactivated at\",\"08:15:22 AM\""));
    expectOrderlyEnd(true);
}

TEST_F(DiskFaultTest, ALogRecordThatFailsHalfWayIsDroppedWhole) {
    ASSERT_TRUE(smallDisk(h.logDirectory));
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

// What can stand where the program expects a file, even for root: a FIFO (an ordinary open of it waits for the
// other end), a directory, and a link into a directory that is not there.
const struct {
    const char* name;
    int (*make)(const char* path);
} kObstacles[] = {{"FIFO", [](const char* path) { return ::mkfifo(path, 0600); }},
                  {"directory", [](const char* path) { return ::mkdir(path, 0700); }},
                  {"dangling link", [](const char* path) { return ::symlink("/nonexistent-zavok-test/file", path); }}};

// Every reader and writer of a file returns at once, goes without what it could not read or write, and the program
// goes on monitoring.
TEST(UnusualFiles, NothingWaitsOnAFifoOrStumblesOnADirectoryWhereAFileShouldBe) {
    for (const auto& o : kObstacles) {
        SCOPED_TRACE(o.name);
        const auto place = [&o](const QString& path) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            ASSERT_EQ(o.make(QFile::encodeName(path).constData()), 0);
        };
        {
            SCOPED_TRACE("the day's log");
            Harness h;
            place(h.logPath(u"Jul 13"_s));
            Zavok& z = h.start();
            h.port.value = kAlert1;
            h.scheduler.advance(100);
            EXPECT_EQ(z.zavok->alabel[0]->back(), kLightRed) << "the alert shows without its record";
            z.shutdown();
            EXPECT_TRUE(z.hasEnded());
        }
        {
            SCOPED_TRACE("channel 1's sample file");
            Harness h;
            place(h.dataPath(u"x1values.zvk"_s));
            Zavok& z = h.start();
            h.joysticks.stick[0].wXpos = 32750;
            z.channel(1).enable.click();
            h.scheduler.advance(1000);
            EXPECT_EQ(z.zavok->value[0]->text(), u"50"_s) << "the burst itself serves";
        }
        {
            SCOPED_TRACE("a log chosen in the log window");
            Harness h;
            Zavok& z = h.start();
            const QString chosen = h.root.filePath(u"chosen.txt"_s);
            place(chosen);
            z.zavok->log.click();
            z.zavoklog->Text1.setText(u"the log shown before"_s);
            h.dialogs.answerFile(chosen);
            z.zavoklog->Command1.click();
            EXPECT_EQ(z.zavoklog->Text1.text(), QString());
        }
        {
            SCOPED_TRACE("the input state file");
            QTemporaryDir dir;
            place(dir.filePath(u"inputs"_s));
            QStringList told;
            platform::StateFileSource source(
                dir.filePath(u"inputs"_s), [&told](const QString& line) { told << line; }, [] { return qint64(0); });
            EXPECT_EQ(source.Inzavok(513), 0xFF) << "every contact at rest";
            kit::JOYINFO info{1, 1, 1, 1};
            source.joyGetPos(0, info);
            EXPECT_EQ(info.wXpos + info.wYpos, 0u);
            ASSERT_EQ(told.size(), 1);
            EXPECT_TRUE(told[0].startsWith(u"zavok: cannot read the input state file"_s)) << told[0].toStdString();
        }
    }
}

} // namespace
} // namespace zavok::test
