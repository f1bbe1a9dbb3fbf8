#include "faults/machine.h"
#include "support/history_run.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

#include <numeric>

namespace zavok::test {
namespace {

constexpr quint32 kTwenty = 13100;
constexpr int kPatience = 10000;
const QString kLock = QStringLiteral("lock");

// The program with channels 1 and 2 on, reading 20, and its history in the data directory, on a disk that a fault
// may break. The writer speaks on the real standard error, which the rig captures.
class HistoryFaultRig {
public:
    HistoryFaultRig() : run(h) {
        QDir().mkpath(h.dataDirectory);
        h.joysticks.stick[0] = {kTwenty, kTwenty, 0, 0};
    }

    void saveSettings() const {
        Harness::put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(HistoryRun::phones()));
    }

    // Monitoring goes on: the poll cycle reads the port, and the channels show their value.
    void monitorFor(qint64 ms) {
        const std::size_t polls = h.port.ports.size();
        h.scheduler.advance(ms);
        EXPECT_EQ(h.port.ports.size() - polls, std::size_t(ms / 100));
        EXPECT_EQ(h.z().zavok->value[0]->text(), QStringLiteral("20"));
    }

    bool told(const QByteArray& words) const {
        return QTest::qWaitFor([&] { return err.text().contains(words); }, kPatience);
    }

    Harness h;
    HistoryRun run;
    StderrCapture err;
    std::unique_ptr<Mount> mount;
    int fillers = 0;
};

// Each fault comes, stays for two minutes and goes. Meanwhile monitoring goes on, the program says once that the
// history waits and once that it is written again, and when the program ends every reading is in the history: 539
// of each channel, one every 500 ms from 1 s after the start to the end 270 s later.
TEST(HistoryFaults, MonitoringGoesOnAndTheHistoryResumesWithNothingLost) {
    const struct {
        const char* fault;
        bool needsMounts;
        std::function<void(HistoryFaultRig&)> before; // the start
        std::function<void(HistoryFaultRig&)> come;   // once the history has been written once
        std::function<void(HistoryFaultRig&)> go;
    } faults[] = {
        {"a read-only data directory",
         true,
         [](HistoryFaultRig& r) {
             r.saveSettings();
             r.mount = Mount::readOnly(r.h.dataDirectory);
             ASSERT_TRUE(r.mount);
         },
         {},
         [](HistoryFaultRig& r) { r.mount.reset(); }},
        {"a full disk", true,
         [](HistoryFaultRig& r) {
             r.mount = Mount::tmpfs(r.h.dataDirectory, 1 << 20);
             ASSERT_TRUE(r.mount);
             r.saveSettings();
         },
         [](HistoryFaultRig& r) { ASSERT_GT(r.fillers = fillUp(r.h.dataDirectory), 0); },
         [](HistoryFaultRig& r) {
             for (int i = 0; i < r.fillers; ++i) {
                 ASSERT_TRUE(removeFiller(r.h.dataDirectory, i));
             }
         }},
        {"a lock held by another program", false, [](HistoryFaultRig& r) { r.saveSettings(); },
         [](HistoryFaultRig& r) {
             QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kLock);
             other.setDatabaseName(r.run.path());
             ASSERT_TRUE(other.open());
             ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));
         },
         [](HistoryFaultRig&) {
             {
                 QSqlDatabase other = QSqlDatabase::database(kLock);
                 QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
                 other.close();
             }
             QSqlDatabase::removeDatabase(kLock);
         }},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.fault);
        if (f.needsMounts && !havePrivateMounts()) {
            std::cerr << "skipped, needs a mount namespace of its own: " << f.fault << '\n';
            continue;
        }
        HistoryFaultRig r;
        f.before(r);
        r.h.start();
        r.monitorFor(60'000);
        if (f.come) {
            EXPECT_TRUE(QTest::qWaitFor([&r] { return QFile::exists(r.run.path()); }, kPatience));
            f.come(r);
        }
        r.monitorFor(120'000);
        EXPECT_TRUE(r.told("zavok: the history cannot be written to ")) << r.err.text().toStdString();
        f.go(r);
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
            {
                QSqlDatabase later = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kLock);
                later.setDatabaseName(r.run.path());
                ASSERT_TRUE(later.open() && QSqlQuery(later).exec(QStringLiteral("PRAGMA user_version = 99")));
            }
            QSqlDatabase::removeDatabase(kLock);
        }
        const QByteArray before = Harness::bytes(r.run.path());
        r.h.start();
        r.monitorFor(90'000);
        r.run.end();
        const QString aside = r.run.path() + QStringLiteral(".damaged-2001-07-13");
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
