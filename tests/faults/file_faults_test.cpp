#include "inputs/state_file.h"
#include "kit/line_encoding.h"
#include "support/child_process.h"
#include "support/harness.h"
#include "support/history_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zavok::test {
int settingsWriter(const QString& dataDirectory); // real_program_test.cpp
namespace {

using namespace Qt::StringLiterals;

// Faults of the machine itself, made with real kernel limits rather than a fake file layer. The mounts live in a
// mount namespace of this process's own, entered in main while it is the only thread; where that is not permitted,
// the tests that need them skip and mountsRefused says why.
QString mountsRefused = u"not tried"_s;

void enterPrivateMounts() {
    // Mount events must not travel back to the machine's namespace through shared subtrees.
    const char* step = ::unshare(CLONE_NEWNS) != 0                                         ? "unshare(CLONE_NEWNS)"
                       : ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ? "making / private"
                                                                                           : nullptr;
    mountsRefused =
        step ? QString::fromLatin1(step) + u": "_s + QString::fromLocal8Bit(std::strerror(errno)) : QString();
}

// A mount over `path`, made if need be, for as long as the object lives; null when it cannot be made.
class Mount {
public:
    static std::unique_ptr<Mount> tmpfs(const QString& path, qint64 bytes) {
        std::unique_ptr<Mount> m(new Mount(path));
        const QByteArray options = "size=" + QByteArray::number(bytes);
        return m->mount("zavok-test", "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) ? std::move(m) : nullptr;
    }
    // `path` bound onto itself and made read-only; the bind goes again when the second step fails.
    static std::unique_ptr<Mount> readOnly(const QString& path) {
        std::unique_ptr<Mount> m(new Mount(path));
        const bool bound = m->mount(m->path_.constData(), nullptr, MS_BIND, nullptr);
        return bound && m->mount(nullptr, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ? std::move(m) : nullptr;
    }
    ~Mount() {
        if (mounted_) {
            ::umount2(path_.constData(), MNT_DETACH);
        }
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

private:
    explicit Mount(const QString& path) : path_(QFile::encodeName(path)) { QDir().mkpath(path); }
    bool mount(const char* source, const char* type, unsigned long flags, const char* options) {
        const bool done = mountsRefused.isEmpty() && ::mount(source, path_.constData(), type, flags, options) == 0;
        mounted_ = mounted_ || done;
        return done;
    }
    QByteArray path_;
    bool mounted_ = false;
};

// Fills the filesystem that holds `directory` with page-sized files until it takes no more, and names them: removing
// one gives back exactly one page.
QStringList fillUp(const QString& directory) {
    const QByteArray page(4096, 'f');
    QStringList fillers;
    for (;;) {
        QFile file(QDir(directory).filePath(u"filler%1"_s.arg(fillers.size())));
        // Unbuffered, so that the write that does not fit fails here and not in a later flush.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(page) != page.size()) {
            file.remove();
            return fillers;
        }
        fillers << file.fileName();
    }
}

// What the program writes to standard error while the object lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        file_.open();
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }

    // Everything written so far; the capture goes on.
    QByteArray text() const {
        std::fflush(stderr);
        return Harness::bytes(file_.fileName());
    }

private:
    int saved_ = ::dup(STDERR_FILENO);
    QTemporaryFile file_;
};

constexpr qint16 kAtRest = 240;
constexpr qint16 kAlert1 = 240 - 16;

// A run with saved settings, channel 1 enabled and sampling at its saved 0.5 s, and every contact at rest.
class FileFaultTest : public ::testing::Test {
protected:
    // Settings whose every file differs from what a first run would write.
    void saveSettings() {
        saved = {{u"phones.zvk"_s, Harness::phones({{8, u"250"_s}, {42, u"0"_s}})},
                 {u"apnames.zvk"_s, "\"Gate\"\r\n\"Shed\"\r\n\"Tank\"\r\n\"Cellar\"\r\n"},
                 {u"cat.zvk"_s, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"}};
        for (const auto& [name, content] : saved.asKeyValueRange()) {
            h.put(h.dataPath(name), content);
        }
    }

    // Saves the settings and, once `meanwhile` has run, starts the program, whose every record is heard from then on.
    void start(const std::function<void()>& meanwhile = {}) {
        h.beforeStartup = [this](Zavok& program) {
            program.log.observe([this](const ActivityLog::Record& r) {
                heard << '"' + r.message.toLatin1() + "\",\"" + r.time.toLatin1() + "\",\"" + r.date.toLatin1() + '"';
            });
        };
        saveSettings();
        if (meanwhile) {
            meanwhile();
        }
        h.port.value = kAtRest;
        z = &h.start();
        h.joysticks.stick[0].wXpos = 13100;
        h.scheduler.advance(1000); // the first channel tick, after which it samples every 500 ms
    }

    // One second more of monitoring, with alert 1 coming and going and channel 1's value following the axis.
    void expectMonitoring() {
        const std::size_t polls = h.port.ports.size();
        auto& stick = h.joysticks.stick[0].wXpos;
        const bool high = stick == 13100;
        stick = high ? 32750 : 13100;
        h.port.value = kAlert1;
        h.scheduler.advance(500);
        EXPECT_EQ(z->zavok->alabel[0]->back(), kLightRed) << "the alert shows";
        h.port.value = kAtRest;
        h.scheduler.advance(500);
        EXPECT_EQ(h.port.ports.size() - polls, 10u);
        EXPECT_EQ(z->zavok->value[0]->text(), high ? u"50"_s : u"20"_s);
    }

    // Monitoring goes on around the user's changes, which all show though none can be saved.
    void expectChangesShown() {
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
    }

    // EXIT ends the program however the saving went. A phones.zvk that could not be written is named in full; one
    // that was written is not mentioned at all. What EXIT said.
    QString expectOrderlyEnd(bool phonesWritten) {
        int ended = 0;
        z->onEnded = [&ended] { ++ended; };
        const qsizetype before = h.told.size();
        z->zavok->exit.click();
        const QString told = h.told.mid(before).join(u'\n');
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(told.contains(phonesWritten ? u"phones.zvk"_s : h.dataPath(u"phones.zvk"_s)), !phonesWritten)
            << "told: " << told.toStdString();
        return told;
    }

    // How many of the lines the program said contain `words`.
    qsizetype toldCount(const QString& words) const {
        return std::count_if(h.told.begin(), h.told.end(), [&words](const QString& l) { return l.contains(words); });
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
    QMap<QString, QByteArray> saved;
    QList<QByteArray> heard; // every record the program made, as its line in the log reads
};

// The faults that take a mount of the test's own.
class DiskFaultTest : public FileFaultTest {
protected:
    void SetUp() override {
        if (!mountsRefused.isEmpty()) {
            GTEST_SKIP() << "needs its own mount namespace (root or CAP_SYS_ADMIN): " << mountsRefused.toStdString();
        }
    }
};

// Neither settings nor log can be written: the data directory is removed while the program runs, and the day's log
// is a link to /dev/full, which takes the open and refuses every write until the link goes. The records wait, and the
// first poll tick after the link has gone writes them all, in order. No mount is needed, so this runs where the disk
// faults are skipped.
TEST_F(FileFaultTest, DataDirectoryRemovedAndTheDaysLogOnAFullDevice) {
    const QString log = h.logPath(u"Jul 13"_s);
    ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(log).constData()), 0);
    start();
    ASSERT_TRUE(QDir(h.dataDirectory).removeRecursively());
    expectMonitoring();
    ASSERT_TRUE(QFile::remove(log));
    const qsizetype waited = heard.size();
    h.scheduler.advance(100); // one poll tick, which makes no record of its own
    EXPECT_EQ(h.logLines(), heard) << "the tick wrote what waited";
    expectChangesShown(); // the sample file cannot be made: the burst itself serves
    expectOrderlyEnd(false);
    EXPECT_FALSE(QDir(h.dataDirectory).exists()) << "saving makes no directories of its own";
    expectWholeRecords();
    EXPECT_EQ(h.logLines(), heard);
    EXPECT_EQ(toldCount(u"the activity log cannot be written to "_s + log + u": No space left on device"_s), 1)
        << h.told.join(u'\n').toStdString();
    EXPECT_EQ(toldCount(u"the activity log is written to "_s + log +
                        u" again, with the %1 records that waited"_s.arg(waited)),
              1)
        << h.told.join(u'\n').toStdString();
}

// The settings on a read-only disk are read all the same; once the disk takes writes again, EXIT saves quietly.
TEST_F(DiskFaultTest, ReadOnlyDataDirectory) {
    start([this] { mount = Mount::readOnly(h.dataDirectory); });
    ASSERT_TRUE(mount);
    EXPECT_EQ(z->zavok->mfsd[3]->text(), u"250"_s);
    expectChangesShown();
    mount.reset();
    expectOrderlyEnd(true);
}

// Settings and logs on one full disk: the log records that no longer fit wait, whole. With one page free again, the
// settings files longer than a page fail half way, and as many waiting records as fit go in, whole, in order. At the
// end the program says how many records are lost.
TEST_F(DiskFaultTest, SettingsAndLogOnAFullDisk) {
    ASSERT_TRUE(mount = Mount::tmpfs(h.root.filePath(u"data"_s), 64 << 10));
    h.logDirectory = h.dataDirectory;
    start();
    const QStringList fillers = fillUp(h.dataDirectory);
    // The log's last page has room for some records and then for part of one; no new page can be had.
    for (int i = 0; i < 100; ++i) {
        expectMonitoring();
    }
    expectWholeRecords();
    const qsizetype kept = h.logLines().size();
    EXPECT_LT(kept, 2 + 200) << "the disk was full, yet every record was written";
    EXPECT_EQ(h.logLines(), heard.first(kept));
    ASSERT_TRUE(QFile::remove(fillers.value(0)));
    // Each of these files is now longer than a page: its first page can be written, the rest cannot.
    const QString longName(10000, u'n');
    h.dialogs.answerInput(longName);
    z->zavok->clabel[0]->click();
    EXPECT_EQ(z->zavok->clabel[0]->text(), longName);
    z->zavok->Label5.setText(QString(10000, u'p'));
    expectMonitoring();
    const qsizetype later = h.logLines().size();
    EXPECT_GT(later, kept + 2) << "the page taken by more than the records of the last second";
    EXPECT_EQ(h.logLines(), heard.first(later));
    expectWholeRecords();
    const QString told = expectOrderlyEnd(false);
    EXPECT_TRUE(
        told.contains(u"ends with %1 records of the activity log that could not be written to %2; they are lost"_s
                          .arg(heard.size() - later)
                          .arg(h.logPath(u"Jul 13"_s))))
        << told.toStdString();
    EXPECT_EQ(toldCount(u"activity log cannot be written"_s), 1);
    for (const auto& [name, content] : saved.asKeyValueRange()) {
        EXPECT_EQ(Harness::bytes(h.dataPath(name)), content) << name.toStdString();
    }
    // A replacement that did not complete leaves nothing behind either.
    const QStringList left = QDir(h.dataDirectory).entryList({u"*.zvk.*"_s}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
}

// The disk is full for a hundred seconds, and the log's last page fills up: the records made meanwhile wait, and the
// first poll tick after the disk has room again writes them all, whole and in order, and says so once.
TEST_F(DiskFaultTest, LogOnADiskFullForAWhileLosesNoRecord) {
    ASSERT_TRUE(mount = Mount::tmpfs(h.root.filePath(u"data"_s), 64 << 10));
    h.logDirectory = h.dataDirectory;
    start();
    const QStringList fillers = fillUp(h.dataDirectory);
    for (int i = 0; i < 100; ++i) {
        expectMonitoring();
    }
    expectWholeRecords();
    for (const QString& filler : fillers) {
        ASSERT_TRUE(QFile::remove(filler));
    }
    h.scheduler.advance(100);
    EXPECT_EQ(h.logLines(), heard);
    expectOrderlyEnd(true);
    EXPECT_EQ(h.logLines(), heard);
    EXPECT_EQ(toldCount(u"activity log cannot be written to"_s), 1) << h.told.join(u'\n').toStdString();
    EXPECT_EQ(toldCount(u"activity log is written to"_s), 1);
    EXPECT_EQ(toldCount(u"lost"_s), 0);
}

// The records that wait are bounded. At the bound nothing is lost; beyond it the oldest go, and once the file takes
// records again their number stands where they were, with the time of the last one lost. The observers heard every
// record as it was made, and never the count.
TEST(ActivityLogBacklog, BeyondItsBoundTheOldestRecordsAreCountedAndTheCountStandsWhereTheyWere) {
    constexpr qsizetype kBound = 3;
    for (const int refused : {3, 4, 5}) {
        SCOPED_TRACE(refused);
        const QTemporaryDir dir;
        kit::ClockTexts clock;
        clock.nowdate = u"July 13,2001"_s;
        clock.logday = u"Jul 13"_s;
        QStringList told;
        ActivityLog log(
            clock, dir.path(), [&told](const QString& line) { told << line; }, kBound);
        QStringList heard;
        log.observe([&heard](const ActivityLog::Record& r) { heard << r.message; });
        const auto append = [&](int n) {
            clock.nowtime = u"08:00:%1 AM"_s.arg(n, 2, 10, QChar(u'0'));
            log.append(u"record %1 at"_s.arg(n), {RecordKind::Started});
        };
        const auto line = [&](const QString& message, int n) {
            return kit::line({kit::quotedField(message), kit::quotedField(u"08:00:%1 AM"_s.arg(n, 2, 10, QChar(u'0'))),
                              kit::quotedField(clock.nowdate)});
        };
        ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(log.fileName()).constData()), 0);
        for (int n = 1; n <= refused; ++n) {
            append(n);
        }
        ASSERT_TRUE(QFile::remove(log.fileName()));
        append(refused + 1);
        append(refused + 2);

        const int lost = refused - int(kBound);
        QByteArray expected = lost == 0 ? QByteArray() : line(u"%1 records lost at"_s.arg(lost), lost);
        for (int n = lost + 1; n <= refused + 2; ++n) {
            expected += line(u"record %1 at"_s.arg(n), n);
        }
        EXPECT_EQ(Harness::bytes(log.fileName()), lost == 1 ? expected.replace("1 records", "1 record") : expected);
        EXPECT_EQ(heard.size(), refused + 2);
        EXPECT_EQ(heard.last(), u"record %1 at"_s.arg(refused + 2));
        EXPECT_EQ(told.size(), lost == 0 ? 2 : 3) << told.join(u'\n').toStdString();
        EXPECT_TRUE(told.last().endsWith(u"again, with the %1 records that waited"_s.arg(kBound)))
            << told.join(u'\n').toStdString();
    }
}

// A record that waits keeps the file of its day, which takes it when it can; the next day's file takes its own records
// meanwhile. So does the count of those dropped: until its file takes it, it is neither told nor forgotten.
TEST(ActivityLogBacklog, AWaitingRecordAndTheCountOfTheDroppedGoToTheFileOfTheirDay) {
    const QTemporaryDir dir;
    kit::ClockTexts clock{u"11:59:58 PM"_s, u"July 13,2001"_s, u"Jul 13"_s};
    QStringList told;
    const ActivityLog log(
        clock, dir.path(), [&told](const QString& line) { told << line; }, 1);
    const QString july13 = log.fileName();
    ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(july13).constData()), 0);
    log.append(u"Alert #2 activated at"_s, {RecordKind::AlertActivated, 2});
    clock.nowtime = u"11:59:59 PM"_s;
    log.append(u"Alert #1 activated at"_s, {RecordKind::AlertActivated, 1});
    clock = {u"12:00:00 AM"_s, u"July 14,2001"_s, u"Jul 14"_s};
    log.append(u"Alert #1 deactivated at"_s, {RecordKind::AlertDeactivated, 1});
    EXPECT_EQ(Harness::bytes(log.fileName()), "\"Alert #1 deactivated at\",\"12:00:00 AM\",\"July 14,2001\"\r\n");
    EXPECT_EQ(told.filter(u"lost"_s), QStringList()) << "the count is not in its file yet";
    ASSERT_TRUE(QFile::remove(july13));
    log.writeWaiting();
    EXPECT_EQ(Harness::bytes(july13), "\"1 record lost at\",\"11:59:58 PM\",\"July 13,2001\"\r\n"
                                      "\"Alert #1 activated at\",\"11:59:59 PM\",\"July 13,2001\"\r\n");
    EXPECT_EQ(told.filter(u"lost 1 record"_s).size(), 1) << told.join(u'\n').toStdString();
    EXPECT_TRUE(told.last().endsWith(u"again, with the 1 record that waited"_s)) << told.join(u'\n').toStdString();
}

// A clock set back past midnight while neither day's file takes records leaves one day's records waiting in two runs,
// with the other day's between them: once the files take them, each run goes to its file at the first write, in order.
TEST(ActivityLogBacklog, ADayWhoseRecordsWaitInTwoRunsTakesBothAtOnce) {
    const QTemporaryDir dir;
    kit::ClockTexts clock{u"12:00:01 AM"_s, u"July 14,2001"_s, u"Jul 14"_s};
    const ActivityLog log(clock, dir.path(), {});
    const QString july14 = log.fileName();
    clock = {u"11:59:59 PM"_s, u"July 13,2001"_s, u"Jul 13"_s};
    const QString july13 = log.fileName();
    for (const QString& file : {july13, july14}) {
        ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(file).constData()), 0);
    }
    log.append(u"Alert #1 activated at"_s, {RecordKind::AlertActivated, 1});
    clock = {u"12:00:01 AM"_s, u"July 14,2001"_s, u"Jul 14"_s};
    log.append(u"Alert #2 activated at"_s, {RecordKind::AlertActivated, 2});
    clock = {u"11:59:59 PM"_s, u"July 13,2001"_s, u"Jul 13"_s};
    log.append(u"Alert #3 activated at"_s, {RecordKind::AlertActivated, 3});
    for (const QString& file : {july13, july14}) {
        ASSERT_TRUE(QFile::remove(file));
    }
    log.writeWaiting();
    EXPECT_EQ(Harness::bytes(july13), "\"Alert #1 activated at\",\"11:59:59 PM\",\"July 13,2001\"\r\n"
                                      "\"Alert #3 activated at\",\"11:59:59 PM\",\"July 13,2001\"\r\n");
    EXPECT_EQ(Harness::bytes(july14), "\"Alert #2 activated at\",\"12:00:01 AM\",\"July 14,2001\"\r\n");
}

// Every reader and writer of a file returns at once, goes without what it could not read or write, and the program
// goes on monitoring.
TEST(UnusualFiles, NothingWaitsOnAFifoOrStumblesOnADirectoryWhereAFileShouldBe) {
    for (const auto& o : kObstacles) {
        SCOPED_TRACE(o.name);
        Harness h;
        const QString chosen = h.root.filePath(u"chosen.txt"_s);
        const QString inputs = h.root.filePath(u"inputs"_s);
        for (const QString& path : {h.logPath(u"Jul 13"_s), h.dataPath(u"x1values.zvk"_s), chosen, inputs}) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            ASSERT_EQ(o.make(QFile::encodeName(path).constData()), 0) << path.toStdString();
        }
        Zavok& z = h.start();
        h.port.value = kAlert1;
        h.joysticks.stick[0].wXpos = 32750;
        z.channel(1).enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->alabel[0]->back(), kLightRed) << "the alert shows without its record";
        EXPECT_EQ(z.zavok->value[0]->text(), u"50"_s) << "without its sample file, the burst itself serves";
        z.zavok->log.click();
        z.zavoklog->Text1.setText(u"the log shown before"_s);
        h.dialogs.answerFile(chosen);
        z.zavoklog->Command1.click();
        EXPECT_EQ(z.zavoklog->Text1.text(), QString()) << "a log chosen in the log window";
        z.shutdown();
        const QString lost = u"records of the activity log that could not be written to "_s + h.logPath(u"Jul 13"_s);
        EXPECT_EQ(h.told.filter(lost).size(), 1) << h.told.join(u'\n').toStdString();

        QStringList told;
        inputs::StateFileSource source(
            inputs, [&told](const QString& line) { told << line; }, [] { return 0; });
        EXPECT_EQ(source.Inzavok(513), 0xFF) << "every contact at rest";
        kit::JOYINFO info{1, 1, 1, 1};
        source.joyGetPos(0, info);
        EXPECT_EQ(info.wXpos + info.wYpos, 0u);
        EXPECT_TRUE(told.size() == 1 && told[0].startsWith(u"zavok: cannot read the input state file"_s))
            << told.join(u'\n').toStdString();
    }
}

// The program with channels 1 and 2 on, reading 20, and its history in the data directory, on a disk that a fault
// may break. The writer speaks on the real standard error, which the rig captures.
struct HistoryFaultRig {
    HistoryFaultRig() : run(h) { h.joysticks.stick[0] = {13100, 13100, 0, 0}; } // both read 20

    void saveSettings() const { Harness::put(h.dataPath(u"phones.zvk"_s), HistoryRun::phones()); }

    void monitorFor(qint64 ms) {
        const std::size_t polls = h.port.ports.size();
        h.scheduler.advance(ms);
        EXPECT_EQ(h.port.ports.size() - polls, std::size_t(ms / 100));
        EXPECT_EQ(h.z().zavok->value[0]->text(), u"20"_s);
    }

    bool told(const QByteArray& words) const {
        return eventually([&] { return err.text().contains(words); });
    }

    Harness h;
    HistoryRun run;
    StderrCapture err;
    std::unique_ptr<Mount> mount;
};

// Each fault comes, stays for two minutes and goes. Meanwhile monitoring goes on, the program says once that the
// history waits and once that it is written again, and when the program ends every reading is in the history: 539
// of each channel, one every 500 ms from 1 s after the start to the end 270 s later.
TEST(HistoryFaults, MonitoringGoesOnAndTheHistoryResumesWithNothingLost) {
    enum Fault { ReadOnly, FullDisk, Lock };
    const char* names[] = {"a read-only data directory", "a full disk", "a lock held by another program"};
    for (const Fault f : {ReadOnly, FullDisk, Lock}) {
        SCOPED_TRACE(names[f]);
        if (f != Lock && !mountsRefused.isEmpty()) {
            std::cerr << "skipped, needs a mount namespace of its own: " << names[f] << '\n';
            continue;
        }
        HistoryFaultRig r;
        if (f == FullDisk) {
            ASSERT_TRUE(r.mount = Mount::tmpfs(r.h.dataDirectory, 1 << 20));
        }
        r.saveSettings();
        if (f == ReadOnly) { // from the start
            ASSERT_TRUE(r.mount = Mount::readOnly(r.h.dataDirectory));
        }
        r.h.start();
        r.monitorFor(60'000);
        // The others come once the history has been written once.
        EXPECT_TRUE(f == ReadOnly || eventually([&r] { return QFile::exists(r.run.path()); }));
        const QStringList fillers = f == FullDisk ? fillUp(r.h.dataDirectory) : QStringList();
        std::optional<OtherProgram> other;
        if (f == Lock) {
            ASSERT_TRUE(other.emplace(r.run.path()).exec("BEGIN EXCLUSIVE"));
        }
        r.monitorFor(120'000);
        EXPECT_TRUE(r.told("zavok: the history cannot be written to ")) << r.err.text().toStdString();
        for (const QString& filler : fillers) {
            ASSERT_TRUE(QFile::remove(filler));
        }
        other.reset();
        if (f == ReadOnly) {
            r.mount.reset();
        }
        r.monitorFor(60'000);
        EXPECT_TRUE(r.told("zavok: the history is written to ")) << r.err.text().toStdString();
        r.monitorFor(30'000);
        r.run.end();
        const QByteArray told = r.err.text();
        EXPECT_EQ(told.count("history cannot be written") + told.count("history is written to"), 2)
            << told.toStdString();

        const auto rows = r.run.rows();
        EXPECT_EQ(rows.size(), 10u) << "five minutes of two channels";
        std::map<int, int> readings;
        for (const auto& row : rows) {
            readings[row.channel] += row.count;
        }
        EXPECT_EQ(readings, (std::map<int, int>{{1, 539}, {2, 539}}));
    }
}

// A file that is no database is moved aside, kept as it was, and a new history starts in its place; a file of a
// later version is left as it is, and the program says why it keeps no history.
TEST(HistoryFaults, ADamagedFileIsMovedAsideAndANewerOneLeftAlone) {
    for (const bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "damaged" : "newer");
        HistoryFaultRig r;
        r.saveSettings();
        if (damaged) {
            Harness::put(r.run.path(), QByteArray(20000, 'z'));
        } else {
            ASSERT_TRUE(OtherProgram(r.run.path()).exec("PRAGMA user_version = 99"));
        }
        const QByteArray before = Harness::bytes(r.run.path());
        r.h.start();
        r.monitorFor(90'000);
        r.run.end();
        const QString aside = r.run.path() + u".damaged-2001-07-13"_s;
        EXPECT_EQ(Harness::bytes(damaged ? aside : r.run.path()), before);
        EXPECT_EQ(QFile::exists(aside), damaged);
        const QByteArray why = damaged ? QFile::encodeName(aside) : "written by a later version of ZAVOK";
        EXPECT_TRUE(r.err.text().contains(why)) << r.err.text().toStdString();
        if (damaged) {
            EXPECT_EQ(r.run.rows().size(), 4u) << "two minutes of two channels";
        }
    }
}

} // namespace
} // namespace zavok::test

int main(int argc, char** argv) {
    // The crash tests start this program again as a writer of the settings files, to kill it at random moments.
    if (argc == 3 && std::strcmp(argv[1], "--settings-writer") == 0) {
        return zavok::test::settingsWriter(QString::fromLocal8Bit(argv[2]));
    }
    zavok::test::enterPrivateMounts();
    // The history's database driver is a plugin, which Qt loads through the application object.
    const QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
