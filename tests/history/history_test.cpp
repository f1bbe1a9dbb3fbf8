#include "history/history_export.h"
#include "history/history_store.h"
#include "support/history_run.h"
#include "support/watchdog.h"

#include <QBuffer>
#include <QDir>
#include <QSqlRecord>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

#include <sys/stat.h>

// The history on virtual time through the whole program, and its export.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using history::HistoryDatabase;
using history::MinuteRow;
using history::RecordRow;

// The raw readings that the design's calibration shows as 20 and 50.
constexpr quint32 kTwenty = 13100;
constexpr quint32 kFifty = 32750;
constexpr qint64 kHour = 3600 * 1000;

// A virtual day from midnight. Channel 1 is on all day and reads 20 in the first half of every minute and 50 in the
// second, so its zone goes into its high alarm (over 40) and back every 30 s. Channel 2 reads a steady 50 and is
// switched off from 05:59:59.750 to 18:00:00.250. Channels 3 and 4 stay off. The program ends 29.75 s into the next
// day and runs again for 10 s from there. Both channels sample every 500 ms, the first time 1 s after the start. The
// clock runs in UTC, where reading it costs no look at the time-zone database.
TEST(History, AVirtualDayKeepsOneRowPerMinuteForEachChannelThatWasOnAndEveryRecordAcrossARestart) {
    Harness h;
    const QDateTime midnight(QDate(2001, 7, 13), QTime(0, 0), Qt::UTC);
    h.clock.setStart(midnight);
    Harness::put(h.dataPath(u"phones.zvk"_s), HistoryRun::phones());
    h.joysticks.reader = [&h](int id, kit::JOYINFO& info) {
        if (id == 0) {
            info.wXpos = (h.scheduler.now() / 30000) % 2 == 0 ? kTwenty : kFifty;
            info.wYpos = kFifty;
        }
    };
    HistoryRun run(h);
    Zavok& z = h.start();
    h.scheduler.advance(6 * kHour - 250);
    z.channel(2).disable.click();
    h.scheduler.advance(12 * kHour + 500);
    z.channel(2).enable.click();
    h.scheduler.advance(6 * kHour - 250 + 29750);
    run.end();
    h.restart();
    h.scheduler.advance(10000);
    run.end();
    // Channel 1's first minute misses the readings of the first second; its last, which the end cut short, holds the
    // 60 readings of 20 before the restart and the 19 of 50 after it. Channel 2 misses its hours off, and the half
    // second after it came back.
    const qint64 first = minuteAt(midnight);
    std::vector<MinuteRow> expected;
    for (qint64 m = 0; m <= 24 * 60; ++m) {
        const int count = m == 0 ? 118 : m == 24 * 60 ? 79 : 120;
        const double mean = m == 0 ? (58 * 20 + 60 * 50) / 118.0 : m == 24 * 60 ? (60 * 20 + 19 * 50) / 79.0 : 35;
        expected.push_back({first + m, 1, 20, mean, 50, count});
        if (m < 6 * 60 || m >= 18 * 60) {
            expected.push_back({first + m, 2, 50, 50, 50, m == 18 * 60 ? 119 : count});
        }
    }
    EXPECT_EQ(run.rows(), expected);
    // Every record, of both days' logs, as written, with its zone where it tells of one.
    QList<QByteArray> written = h.logLines(u"Jul 13"_s) + h.logLines(u"Jul 14"_s);
    const std::vector<RecordRow> records = run.records();
    ASSERT_EQ(records.size(), std::size_t(written.size()));
    int alarms = 0;
    const QStringList zones{u"Pressure"_s, u"Volume"_s, u"Temperature"_s, u"Flow"_s};
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordRow& r = records[i];
        EXPECT_EQ(u'"' + r.message + u"\",\""_s + r.time + u"\",\""_s + r.date + u'"',
                  QString::fromLatin1(written[qsizetype(i)]));
        EXPECT_EQ(r.zone, zones.indexOf(r.message.section(u' ', 0, 0)) + 1) << r.message.toStdString();
        EXPECT_GE(r.second, midnight.toSecsSinceEpoch());
        alarms += r.message == u"Pressure High Alarm at"_s ? 1 : 0;
    }
    EXPECT_EQ(alarms, 24 * 60 + 1) << "and one as the restart finds channel 1 at 50";
}

// Two channels of one name: each record goes to the zone that made it, and so does the trend window's mark.
TEST(History, TwoChannelsOfOneNameKeepTheirOwnRecordsAndMarks) {
    Harness h;
    // Channel 2 is named as channel 1 and has its high alarm at 40, which its steady 50 passes; channel 1 reads 20.
    Harness::put(h.dataPath(u"phones.zvk"_s), Harness::phones({{9, u"10"_s},
                                                               {10, u"40"_s},
                                                               {14, u"40"_s},
                                                               {26, u"Pressure"_s},
                                                               {39, u"Pressure"_s},
                                                               {42, u"20"_s},
                                                               {43, u"50"_s}}));
    h.joysticks.stick[0].wXpos = kTwenty;
    h.joysticks.stick[0].wYpos = kFifty;
    HistoryRun run(h);
    h.start();
    h.scheduler.advance(90000);
    run.end();
    std::vector<std::pair<int, std::string>> alarms;
    for (const RecordRow& r : run.records()) {
        if (r.zone != 0 && r.kind != RecordKind::ZoneNormal) {
            alarms.emplace_back(r.zone, r.message.toStdString());
        }
    }
    EXPECT_EQ(alarms, (std::vector<std::pair<int, std::string>>{{2, "Pressure High Alarm at"}}));
    HistoryDatabase db;
    ASSERT_TRUE(db.open(run.path(), HistoryDatabase::Access::ReadWrite).ok());
    history::TrendData data;
    for (const int channel : {1, 2}) {
        ASSERT_TRUE(db.trend({channel, 0, qint64(1) << 40, 2000}, data).ok());
        EXPECT_EQ(data.alarms.size(), std::size_t(channel == 2 ? 1 : 0)) << "channel " << channel;
    }
}

// A file of version 1, as the program stored it before records carried their kind: a reader takes it as it is, and
// a writer gives each record its kind once, from its words, keeping the zone it has.
TEST(History, AFileOfVersionOneIsReadAsItIsAndAWriterGivesItsRecordsTheirKinds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(HistoryDatabase::kFileName);
    const struct {
        int zone;
        const char* message;
        std::optional<RecordKind> kind;
    } rows[] = {
        {0, "ZAVOK started at", RecordKind::Started},
        {0, "Settings damaged at", RecordKind::SettingsDamaged},
        {0, "Alert #3 activated at", RecordKind::AlertActivated},
        {0, "Alert #4 deactivated at", RecordKind::AlertDeactivated},
        {0, "Input fault at", RecordKind::InputFault},
        {0, "Input restored at", RecordKind::InputRestored},
        {1, "Tank 2 Low Alarm at", RecordKind::ZoneLowAlarm},
        {1, "Tank 2 Normal at", RecordKind::ZoneNormal},
        {2, " High Calibration Error at", RecordKind::ZoneHighCalError},
        {2, "HIGH ALARM High Alarm at", RecordKind::ZoneHighAlarm},
        {3, "Flow Low Calibration Error at", RecordKind::ZoneLowCalError},
        {0, "ZAVOK closed at", RecordKind::Closed},
        {0, "LowAlarm at", std::nullopt},
        {0, "3 records lost at", std::nullopt},
    };
    // The first row of a query, as another program reading the file sees it.
    const auto first = [&path](const QString& query) {
        QString found;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"another"_s);
            db.setDatabaseName(path);
            QSqlQuery q(db);
            if (db.open() && q.exec(query) && q.next()) {
                for (int i = 0; i < q.record().count(); ++i) {
                    found += (i > 0 ? u","_s : QString()) + q.value(i).toString();
                }
            }
        }
        QSqlDatabase::removeDatabase(u"another"_s);
        return found;
    };
    const auto version = [&first] { return first(u"PRAGMA user_version"_s).toInt(); };
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"version 1"_s);
        old.setDatabaseName(path);
        ASSERT_TRUE(old.open());
        QSqlQuery q(old);
        for (const QString& statement :
             {u"CREATE TABLE minutes (slot INTEGER PRIMARY KEY, min REAL NOT NULL, mean REAL NOT NULL, max REAL NOT "
              "NULL, count INTEGER NOT NULL)"_s,
              u"CREATE VIEW minute_rows AS SELECT slot >> 2 AS minute, (slot & 3) + 1 AS channel, min, mean, max, "
              u"count "
              "FROM minutes"_s,
              u"CREATE TABLE records (id INTEGER PRIMARY KEY, second INTEGER NOT NULL, zone INTEGER NOT NULL, message "
              "TEXT NOT NULL, time TEXT NOT NULL, date TEXT NOT NULL)"_s,
              u"CREATE INDEX records_by_second ON records (second)"_s,
              u"CREATE INDEX records_by_zone ON records (zone, second) WHERE zone > 0"_s,
              u"INSERT INTO minutes VALUES (400, 1, 2, 3, 60)"_s, u"PRAGMA user_version = 1"_s}) {
            ASSERT_TRUE(q.exec(statement)) << statement.toStdString();
        }
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            ASSERT_TRUE(q.exec(
                u"INSERT INTO records (second, zone, message, time, date) VALUES (%1, %2, '%3', '', '')"_s.arg(6000 + i)
                    .arg(rows[i].zone)
                    .arg(QLatin1String(rows[i].message))));
        }
    }
    QSqlDatabase::removeDatabase(u"version 1"_s);

    {
        HistoryDatabase reader;
        ASSERT_TRUE(reader.open(path, HistoryDatabase::Access::ReadOnly).ok());
        std::vector<MinuteRow> minutes;
        ASSERT_TRUE(reader
                        .forEachMinute(std::nullopt, 0, 1000,
                                       [&minutes](const MinuteRow& row) {
                                           minutes.push_back(row);
                                           return true;
                                       })
                        .ok());
        EXPECT_EQ(minutes, (std::vector<MinuteRow>{{100, 1, 1, 2, 3, 60}}));
    }
    EXPECT_EQ(version(), 1) << "a reader changes nothing";

    HistoryDatabase writer;
    ASSERT_TRUE(writer.open(path, HistoryDatabase::Access::ReadWrite).ok());
    EXPECT_EQ(version(), 3);
    EXPECT_EQ(first(u"SELECT * FROM minute_rows"_s),
              QDateTime::fromSecsSinceEpoch(6000).toString(u"'100,'yyyy-MM-dd'T'HH:mm',1,1,2,3,60'"_s))
        << "the view shows the minute in local time too";
    const std::vector<RecordRow> records = recordsIn(path);
    ASSERT_EQ(records.size(), std::size(rows));
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(rows[i].message);
        EXPECT_EQ(records[i].kind, rows[i].kind);
        EXPECT_EQ(records[i].zone, rows[i].zone);
    }
    history::TrendData data;
    ASSERT_TRUE(writer.trend({1, 0, 1000, 2000}, data).ok());
    EXPECT_EQ(data.alarms,
              (std::vector<history::AlarmMark>{{6006, history::AlarmMark::Side::Low, u"Tank 2 Low Alarm at"_s}}));
}

// With two days kept, the first batch removes what lies more than two days before the minute it closes on.
TEST(History, RowsOlderThanTheRetentionGoWithTheFirstBatchOfTheDay) {
    Harness h;
    HistoryRun run(h, 2);
    const qint64 cutoff = minuteAt(Harness::defaultStart()) + 1 - 2 * 24 * 60;
    QDir().mkpath(h.dataDirectory);
    {
        HistoryDatabase db;
        ASSERT_TRUE(db.open(run.path(), HistoryDatabase::Access::ReadWrite).ok());
        ASSERT_TRUE(db.write({cutoff,
                              {{cutoff - 1, 1, 1, 1, 1, 1}, {cutoff, 2, 2, 2, 2, 2}},
                              {{cutoff * 60 - 1, 0, u"old"_s, {}, {}, {}}, {cutoff * 60, 0, u"kept"_s, {}, {}, {}}}})
                        .ok());
    }
    h.start();
    // The end would cut the removal short: it waits for the first batch to be stored.
    bool written = false;
    QObject::connect(&run.recorder->store(), &history::HistoryStore::written, run.recorder.get(),
                     [&written] { written = true; });
    h.scheduler.advance(60000);
    ASSERT_TRUE(QTest::qWaitFor([&written] { return written; }, 10000));
    run.end();
    EXPECT_EQ(run.rows(), (std::vector<MinuteRow>{{cutoff, 2, 2, 2, 2, 2}}));
    EXPECT_EQ(run.records().at(0).message, u"kept"_s);
}

// Whatever stands where the history should be, the writer neither waits on it at the start nor at the end, and what
// it could not write by the end it counts, once, as lost.
TEST(History, WhatCouldNotBeWrittenByTheEndIsToldAsLostAndNothingWaitsOnAFifo) {
    const auto fifo = [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; };
    const auto database = [](const QString& path) {
        return HistoryDatabase().open(path, HistoryDatabase::Access::ReadWrite).ok();
    };
    const struct {
        const char* what;
        std::function<bool(const QString& path)> make;
        int batches; // the second with a record, the first with one only where `record`
        QString lost;
        bool record = true;
    } rows[] = {
        {"a FIFO", fifo, 2,
         u"(it is a FIFO, not a regular file); 4 minute rows and 2 records that waited in memory are lost"_s},
        // SQLite would take it for the journal of a write cut short, and open it to read.
        {"a FIFO beside it", [&](const QString& path) { return database(path) && fifo(path + u"-journal"_s); }, 1,
         u"(history.sqlite-journal beside it is a FIFO, not a regular file); 3 minute rows and 1 record that "
         "waited in memory are lost"_s},
        {"a device", [](const QString& path) { return QFile::link(u"/dev/zero"_s, path); }, 1,
         u"(it is a device, not a regular file); 3 minute rows that waited in memory are lost"_s, false},
        {"a directory", [](const QString& path) { return QDir().mkpath(path); }, 2,
         u"(it is a directory, not a regular file); 4 minute rows and 2 records that waited in memory are lost"_s},
        {"a sound file", database, 2, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryDatabase::kFileName);
        ASSERT_TRUE(row.make(path));
        QStringList told;
        {
            const Watchdog limit("the history's start and end");
            history::HistoryStore writer(path, 400, QDate(2026, 12, 6), [&told](const QString& line) { told << line; });
            writer.open();
            std::vector<history::RecordRow> records;
            if (row.record) {
                records.push_back({6000, 0, u"a"_s, {}, {}, {}});
            }
            writer.write({100, {{97, 1, 1, 1, 1, 60}, {98, 1, 1, 1, 1, 60}, {99, 2, 1, 1, 1, 60}}, records});
            if (row.batches == 2) {
                writer.write({101, {{100, 1, 1, 1, 1, 60}}, {{6060, 1, u"b"_s, {}, {}, {}}}});
            }
            writer.finish();
        }
        const QStringList lost = told.filter(u"lost"_s);
        if (row.lost.isEmpty()) {
            EXPECT_EQ(told.join(u'\n').toStdString(), "");
            continue;
        }
        ASSERT_EQ(lost.size(), 1) << told.join(u'\n').toStdString();
        EXPECT_EQ(
            lost[0].toStdString(),
            u"zavok: the history could not be written to %1 before the end %2"_s.arg(path, row.lost).toStdString());
        EXPECT_EQ(told.last(), lost[0]);
    }
}

// While the file cannot be written, rows and records wait up to their bounds (here three rows and two records): at
// the bound nothing is lost; one past it the oldest goes, which is said once. The file then takes what waited. The
// next time it cannot be written, here for another program's lock, a record dropped is said again.
TEST(History, WhatWaitsWhileTheFileCannotBeWrittenIsBoundedAndTheOldestGoesFirst) {
    // At the bounds; one row and one record past them; one record past and the rows at theirs.
    for (const auto& [past, rowPast] : {std::pair{false, false}, {true, true}, {true, false}}) {
        SCOPED_TRACE(testing::Message() << past << rowPast);
        QTemporaryDir dir;
        const QString path = dir.filePath(HistoryDatabase::kFileName);
        ASSERT_TRUE(QDir().mkpath(path)); // a directory where the file should be
        QStringList told;
        history::HistoryStore writer(path, 400, QDate(2026, 12, 6), [&told](const QString& line) { told << line; },
                                     {3, 2});
        writer.write({99, {{97, 1, 1, 1, 1, 60}, {98, 2, 2, 2, 2, 60}}, {{5880, 0, u"a"_s, {}, {}, {}}}});
        writer.write({100, {{99, 3, 3, 3, 3, 60}}, {{5940, 0, u"b"_s, {}, {}, {}}}});
        if (past) {
            writer.write({101,
                          rowPast ? std::vector<MinuteRow>{{100, 4, 4, 4, 4, 60}} : std::vector<MinuteRow>{},
                          {{6000, 0, u"c"_s, {}, {}, {}}}});
        }
        // The answer comes once the store has taken every batch before it.
        const auto taken = [&writer] {
            bool answered = false;
            QObject receiver;
            writer.trend({1, 0, 1, 1}, &receiver, [&answered](const history::TrendData&) { answered = true; });
            return QTest::qWaitFor([&answered] { return answered; }, 10000);
        };
        ASSERT_TRUE(taken());
        ASSERT_TRUE(QDir().rmdir(path));
        writer.write({102, {}, {}});
        ASSERT_TRUE(taken());
        {
            OtherProgram other(path);
            ASSERT_TRUE(other.exec("BEGIN EXCLUSIVE"));
            writer.write({103, {}, {{6120, 0, u"d"_s, {}, {}, {}}, {6121, 0, u"e"_s, {}, {}, {}}}});
            writer.write({104, {}, {{6180, 0, u"f"_s, {}, {}, {}}}});
            ASSERT_TRUE(taken());
        }
        writer.finish();
        std::vector<int> channels;
        HistoryDatabase db;
        ASSERT_TRUE(db.open(path, HistoryDatabase::Access::ReadOnly).ok());
        db.forEachMinute(std::nullopt, 0, 1000, [&channels](const MinuteRow& row) {
            channels.push_back(row.channel);
            return true;
        });
        QString messages;
        for (const RecordRow& record : recordsIn(path)) {
            messages += record.message;
        }
        EXPECT_EQ(channels, (rowPast ? std::vector{2, 3, 4} : std::vector{1, 2, 3}));
        EXPECT_EQ(messages, (past ? u"bc"_s : u"ab"_s) + u"ef"_s);
        EXPECT_EQ(told.filter(u"dropped"_s).size(), past ? 2 : 1) << told.join(u'\n').toStdString();
        EXPECT_EQ(told.filter(u"written to %1 again"_s.arg(path)).size(), 2) << told.join(u'\n').toStdString();
    }
}

class HistoryExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        HistoryDatabase db;
        ASSERT_TRUE(db.open(path, HistoryDatabase::Access::ReadWrite).ok());
        const QDate day(2026, 12, 6);
        ASSERT_TRUE(db.write({0,
                              {{minuteAt({day.addDays(-1), QTime(23, 59)}), 1, 20.5, 20.75, 21, 4},
                               {minuteAt({day, QTime(14, 5)}), 2, -3, 1 / 3.0, 7, 600},
                               {minuteAt({day, QTime(14, 5)}), 1, 10, 340 / 9.0, 15, 600},
                               {minuteAt({day, QTime(14, 6)}), 2, 0.1, 0.2, 0.3, 599},
                               {minuteAt({day.addDays(1), QTime(0, 0)}), 4, 1e-7, 12345678.9, 1e21, 1}},
                              {}})
                        .ok());
    }

    using Exported = std::tuple<QByteArray, QString, int>;
    Exported exported(const history::HistoryExport& request, QIODevice* device = nullptr) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString told;
        QTextStream err(&told);
        const int status = history::exportHistory(path, request, device != nullptr ? *device : buffer, err);
        return {buffer.data(), told, status};
    }

    QTemporaryDir dir;
    QString path = dir.filePath(HistoryDatabase::kFileName);
};

TEST_F(HistoryExportTest, PrintsTheMinutesOfTheChosenChannelsAndDaysByteForByte) {
    const QByteArray heading = "time,channel,min,mean,max,count\n";
    const QByteArray lastEvening = "2026-12-05T23:59,1,20.5,20.75,21,4\n";
    const QByteArray channel2 = "2026-12-06T14:05,2,-3,0.333333,7,600\n2026-12-06T14:06,2,0.1,0.2,0.3,599\n";
    const QByteArray afternoon = "2026-12-06T14:05,1,10,37.7778,15,600\n" + channel2;
    const QByteArray midnight = "2026-12-07T00:00,4,1e-07,12345700,1e+21,1\n";
    const struct {
        const char* what;
        history::HistoryExport request;
        QByteArray expected;
    } cases[] = {
        {"all", {}, heading + lastEvening + afternoon + midnight},
        {"channel 2", {2, {}, {}}, heading + channel2},
        {"from the 6th", {{}, QDate(2026, 12, 6), {}}, heading + afternoon + midnight},
        {"to the 6th", {{}, {}, QDate(2026, 12, 6)}, heading + lastEvening + afternoon},
        {"the 6th alone", {{}, QDate(2026, 12, 6), QDate(2026, 12, 6)}, heading + afternoon},
        {"a day without rows", {3, QDate(2026, 12, 6), {}}, heading},
    };
    // Another program writing meanwhile, in a transaction not yet committed, stops nothing and shows nothing.
    {
        QSqlDatabase writer = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"writer"_s);
        writer.setDatabaseName(path);
        ASSERT_TRUE(writer.open());
        ASSERT_TRUE(QSqlQuery(writer).exec(u"BEGIN IMMEDIATE"_s));
        ASSERT_TRUE(QSqlQuery(writer).exec(u"INSERT INTO minutes VALUES (1, 1, 1, 1, 1)"_s));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(exported(c.request), Exported(c.expected, QString(), 0));
        }
    }
    QSqlDatabase::removeDatabase(u"writer"_s);
}

// Printed in chunks of a megabyte: a history longer than one goes out whole, in order.
TEST_F(HistoryExportTest, AHistoryLongerThanOneWriteIsPrintedWhole) {
    constexpr int kMinutes = 40'000;
    const qint64 first = minuteAt({QDate(2026, 11, 1), QTime(0, 0)});
    std::vector<history::MinuteRow> rows;
    for (int i = 0; i < kMinutes; ++i) {
        rows.push_back({first + i, 3, 1, 2, 3, 600});
    }
    HistoryDatabase db;
    ASSERT_TRUE(db.open(path, HistoryDatabase::Access::ReadWrite).ok());
    ASSERT_TRUE(db.write({0, rows, {}}).ok());
    db.close();
    const auto [out, told, status] = exported({3, {}, {}});
    EXPECT_EQ(status, 0) << told.toStdString();
    ASSERT_GT(out.size(), qsizetype(1) << 20);
    EXPECT_EQ(out.count('\n'), kMinutes + 1);
    EXPECT_TRUE(out.startsWith("time,channel,min,mean,max,count\n2026-11-01T00:00,3,1,2,3,600\n"));
}

// Minutes before 1970 are negative: a day's first minute is still that day's, at 00:00, and the day before is not in
// it.
TEST_F(HistoryExportTest, AMinuteBefore1970IsTheDayItFallsOn) {
    HistoryDatabase db;
    ASSERT_TRUE(db.open(path, HistoryDatabase::Access::ReadWrite).ok());
    const QDate day(1969, 12, 31);
    ASSERT_TRUE(db.write({0,
                          {{minuteAt({day.addDays(-1), QTime(23, 59)}), 3, 1, 1, 1, 1},
                           {minuteAt({day, QTime(0, 0)}), 3, 2, 2, 2, 1}},
                          {}})
                    .ok());
    db.close();
    EXPECT_EQ(exported({3, day, day}),
              Exported("time,channel,min,mean,max,count\n1969-12-31T00:00,3,2,2,2,1\n", QString(), 0));
}

TEST_F(HistoryExportTest, WhatCannotBeReadOrPrintedIsToldWithStatusOne) {
    const auto expectTold = [this](const QString& start, QIODevice* device = nullptr) {
        const auto [out, told, status] = exported({}, device);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, QByteArray());
        EXPECT_TRUE(told.startsWith(start)) << told.toStdString();
    };
    QFile full(u"/dev/full"_s);
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    expectTold(u"zavok: cannot print the history: "_s, &full);
    ASSERT_TRUE(QFile::remove(path));
    expectTold(u"zavok: there is no history yet: %1 does not exist"_s.arg(path));
    const QByteArray garbage(8192, 'x');
    Harness::put(path, garbage);
    expectTold(u"zavok: cannot read the history in "_s + path);
    EXPECT_EQ(Harness::bytes(path), garbage) << "the export never changes the file";
}

} // namespace
} // namespace zavok::test
