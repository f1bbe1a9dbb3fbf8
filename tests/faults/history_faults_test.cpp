#include "faults/machine.h"
#include "support/history_run.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

#include <numeric>
#include <optional>

namespace zavok::test {

using namespace Qt::StringLiterals;
namespace {

constexpr quint32 kTwenty = 13100;
constexpr int kPatience = 10000;

// The program with channels 1 and 2 on, reading 20, and its history in the data directory, on a disk that a fault
// may break. The writer speaks on the real standard error, which the rig captures.
struct HistoryFaultRig {
    HistoryFaultRig() : run(h) {
        QDir().mkpath(h.dataDirectory);
        h.joysticks.stick[0] = {kTwenty, kTwenty, 0, 0};
    }

    void saveSettings() const { Harness::put(h.dataPath(u"phones.zvk"_s), Harness::phonesFile(HistoryRun::phones())); }

    // Monitoring goes on: the poll cycle reads the port, and the channels show their value.
    void monitorFor(qint64 ms) {
        const std::size_t polls = h.port.ports.size();
        h.scheduler.advance(ms);
        EXPECT_EQ(h.port.ports.size() - polls, std::size_t(ms / 100));
        EXPECT_EQ(h.z().zavok->value[0]->text(), u"20"_s);
    }

    bool told(const QByteArray& words) const {
        return QTest::qWaitFor([&] { return err.text().contains(words); }, kPatience);
    }

    Harness h;
    HistoryRun run;
    StderrCapture err;
    std::unique_ptr<Mount> mount;
};

// Another program's connection to the history file, for as long as the object lives.
struct OtherProgram {
    explicit OtherProgram(const QString& path) {
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
    }
    ~OtherProgram() {
        db.close(); // which ends its transaction, if any
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"other"_s);
    }
    bool exec(const char* statement) { return QSqlQuery(db).exec(QString::fromLatin1(statement)); }
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
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
        EXPECT_TRUE(f == ReadOnly || QTest::qWaitFor([&r] { return QFile::exists(r.run.path()); }, kPatience));
        const int fillers = f == FullDisk ? fillUp(r.h.dataDirectory) : 0;
        ASSERT_TRUE(f != FullDisk || fillers > 0);
        std::optional<OtherProgram> other;
        if (f == Lock) {
            ASSERT_TRUE(other.emplace(r.run.path()).exec("BEGIN EXCLUSIVE"));
        }
        r.monitorFor(120'000);
        EXPECT_TRUE(r.told("zavok: the history cannot be written to ")) << r.err.text().toStdString();
        for (int i = 0; i < fillers; ++i) {
            ASSERT_TRUE(removeFiller(r.h.dataDirectory, i));
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
        EXPECT_EQ(told.count("history cannot be written"), 1) << told.toStdString();
        EXPECT_EQ(told.count("history is written to"), 1) << told.toStdString();

        const auto rows = r.run.rows();
        EXPECT_EQ(rows.size(), 10u) << "five minutes of two channels";
        for (const int channel : {1, 2}) {
            const int readings = std::accumulate(rows.begin(), rows.end(), 0, [channel](int sum, const auto& row) {
                return sum + (row.channel == channel ? row.count : 0);
            });
            EXPECT_EQ(readings, 539) << "channel " << channel;
        }
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
