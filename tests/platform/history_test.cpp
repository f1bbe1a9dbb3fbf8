#include "support/history_run.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace zavok::test {
namespace {

using platform::MinuteRow;
using platform::RecordRow;

// The raw readings that the design's calibration shows as 20 and 50.
constexpr quint32 kTwenty = 13100;
constexpr quint32 kFifty = 32750;
constexpr qint64 kHour = 3600 * 1000;

// A virtual day from midnight. Channel 1 is on all day and reads 20 in the first half of every minute and 50 in the
// second, so its zone goes into its high alarm (over 40) and back every 30 s. Channel 2 reads a steady 50 and is
// switched off from 05:59:59.750 to 18:00:00.250. Channels 3 and 4 stay off. The program ends 29.75 s into the next
// day. Both channels sample every 500 ms, the first time 1 s after the start. The clock runs in UTC, where reading
// it costs no look at the time-zone database.
TEST(History, AVirtualDayKeepsOneRowPerMinuteForEachChannelThatWasOnAndEveryRecord) {
    Harness h;
    const QDateTime midnight(QDate(2001, 7, 13), QTime(0, 0), Qt::UTC);
    h.clock.setStart(midnight);
    Harness::put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(HistoryRun::phones()));
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

    const qint64 first = minuteAt(midnight);
    std::map<std::pair<int, qint64>, MinuteRow> rows;
    for (const MinuteRow& row : run.rows()) {
        EXPECT_TRUE(rows.emplace(std::pair(row.channel, row.minute - first), row).second) << "one row per minute";
    }
    auto expect = [&](int channel, qint64 minute, MinuteRow values) {
        values.minute = first + minute;
        values.channel = channel;
        const auto found = rows.find({channel, minute});
        if (found == rows.end()) {
            ADD_FAILURE() << "no row for channel " << channel << " at minute " << minute;
            return;
        }
        EXPECT_EQ(found->second, values) << "channel " << channel << " at minute " << minute;
        rows.erase(found);
    };
    expect(1, 0, {.min = 20, .mean = (58 * 20 + 60 * 50) / 118.0, .max = 50, .count = 118});
    for (qint64 m = 1; m < 1440; ++m) {
        expect(1, m, {.min = 20, .mean = 35, .max = 50, .count = 120});
    }
    expect(1, 1440, {.min = 20, .mean = 20, .max = 20, .count = 60}); // the minute the end cut short
    expect(2, 0, {.min = 50, .mean = 50, .max = 50, .count = 118});
    for (qint64 m = 1; m < 1440; ++m) {
        if (m < 6 * 60 || m > 18 * 60) {
            expect(2, m, {.min = 50, .mean = 50, .max = 50, .count = 120});
        }
    }
    expect(2, 18 * 60, {.min = 50, .mean = 50, .max = 50, .count = 119});
    expect(2, 1440, {.min = 50, .mean = 50, .max = 50, .count = 60});
    EXPECT_TRUE(rows.empty()) << rows.size() << " rows of minutes when no channel was on, the first of channel "
                              << rows.begin()->first.first << " at minute " << rows.begin()->first.second;

    // Every record, of both days' logs, as written, with its zone where it tells of one.
    QList<QByteArray> written = h.logLines(QStringLiteral("Jul 13")) + h.logLines(QStringLiteral("Jul 14"));
    const std::vector<RecordRow> records = run.records();
    ASSERT_EQ(records.size(), std::size_t(written.size()));
    int alarms = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordRow& r = records[i];
        EXPECT_EQ(u'"' + r.message + QStringLiteral("\",\"") + r.time + QStringLiteral("\",\"") + r.date + u'"',
                  QString::fromLatin1(written[qsizetype(i)]));
        const QStringList names{QStringLiteral("Pressure "), QStringLiteral("Volume "), QStringLiteral("Temperature "),
                                QStringLiteral("Flow ")};
        const auto zone =
            std::find_if(names.begin(), names.end(), [&r](const QString& name) { return r.message.startsWith(name); });
        EXPECT_EQ(r.zone, zone == names.end() ? 0 : zone - names.begin() + 1) << r.message.toStdString();
        EXPECT_GE(r.second, midnight.toSecsSinceEpoch());
        alarms += r.message == QStringLiteral("Pressure High Alarm at") ? 1 : 0;
    }
    EXPECT_EQ(alarms, 24 * 60);
}

// The end comes 20 s into a minute, and a new run starts 10 s later in the same minute: the minute holds the
// readings of both.
TEST(History, AMinuteCutShortByTheEndIsKeptAndARestartWithinItAddsToIt) {
    Harness h; // 08:15:20
    Harness::put(h.dataPath(QStringLiteral("phones.zvk")), Harness::phonesFile(HistoryRun::phones()));
    HistoryRun run(h);
    h.joysticks.stick[0] = {kTwenty, kFifty, 0, 0};
    h.start();
    h.scheduler.advance(20000); // readings at 21.0, 21.5 ... 40.0
    run.end();
    const qint64 minute = minuteAt(Harness::defaultStart());
    EXPECT_EQ(run.rows(), (std::vector<MinuteRow>{{minute, 1, 20, 20, 20, 39}, {minute, 2, 50, 50, 50, 39}}));

    h.zavok.reset();
    h.joysticks.stick[0].wXpos = kFifty;
    h.start();
    h.scheduler.advance(10000); // readings at 41.0 ... 50.0
    run.end();
    EXPECT_EQ(run.rows(), (std::vector<MinuteRow>{{minute, 1, 20, (39 * 20 + 19 * 50) / 58.0, 50, 58},
                                                  {minute, 2, 50, 50, 50, 58}}));
}

// With two days kept, the first batch removes what lies more than two days before the minute it closes on.
TEST(History, RowsOlderThanTheRetentionGoWithTheFirstBatchOfTheDay) {
    Harness h;
    HistoryRun run(h, 2);
    const qint64 cutoff = minuteAt(Harness::defaultStart()) + 1 - 2 * 24 * 60;
    QDir().mkpath(h.dataDirectory);
    {
        platform::HistoryDatabase db;
        ASSERT_TRUE(db.open(run.path(), platform::HistoryDatabase::Access::ReadWrite).ok());
        ASSERT_TRUE(db.write({cutoff,
                              {{cutoff - 1, 1, 1, 1, 1, 1}, {cutoff, 2, 2, 2, 2, 2}},
                              {{cutoff * 60 - 1, 0, QStringLiteral("old"), {}, {}},
                               {cutoff * 60, 0, QStringLiteral("kept"), {}, {}}}})
                        .ok());
    }
    h.start();
    // The end would cut the removal short: it waits for the first batch to be stored.
    bool written = false;
    QObject::connect(&run.recorder->writer(), &platform::HistoryWriter::written, run.recorder.get(),
                     [&written] { written = true; });
    h.scheduler.advance(60000);
    ASSERT_TRUE(QTest::qWaitFor([&written] { return written; }, 10000));
    run.end();
    EXPECT_EQ(run.rows(), (std::vector<MinuteRow>{{cutoff, 2, 2, 2, 2, 2}}));
    const std::vector<RecordRow> records = run.records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().message, QStringLiteral("kept"));
    EXPECT_EQ(records.back().message, ActivityLog::kClosed);
}

} // namespace
} // namespace zavok::test
