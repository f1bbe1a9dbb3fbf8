#include "platform/history_database.h"
#include "platform/history_export.h"

#include <QBuffer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

qint64 minuteAt(QDate day, QTime time) {
    return QDateTime(day, time).toSecsSinceEpoch() / 60;
}

class HistoryExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        HistoryDatabase db;
        ASSERT_TRUE(db.open(path, HistoryDatabase::Access::ReadWrite).ok());
        const QDate day(2026, 12, 6);
        ASSERT_TRUE(db.write({0,
                              {{minuteAt(day.addDays(-1), QTime(23, 59)), 1, 20.5, 20.75, 21, 4},
                               {minuteAt(day, QTime(14, 5)), 2, -3, 1 / 3.0, 7, 600},
                               {minuteAt(day, QTime(14, 5)), 1, 10, 12.5, 15, 600},
                               {minuteAt(day, QTime(14, 6)), 2, 0.1, 0.2, 0.3, 599},
                               {minuteAt(day.addDays(1), QTime(0, 0)), 4, 1e-7, 12345678.9, 1e21, 1}},
                              {}})
                        .ok());
    }

    // The export's output and what it told, with its exit status.
    std::tuple<QByteArray, QString, int> exported(const HistoryExport& request, QIODevice* device = nullptr) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString told;
        QTextStream err(&told);
        const int status = exportHistory(path, request, device != nullptr ? *device : buffer, err);
        return {buffer.data(), told, status};
    }

    QTemporaryDir dir;
    QString path = dir.filePath(HistoryDatabase::kFileName);
};

TEST_F(HistoryExportTest, PrintsTheMinutesOfTheChosenChannelsAndDaysByteForByte) {
    const QByteArray heading = "time,channel,min,mean,max,count\n";
    const QByteArray lastEvening = "2026-12-05T23:59,1,20.5,20.75,21,4\n";
    const QByteArray afternoon = "2026-12-06T14:05,1,10,12.5,15,600\n"
                                 "2026-12-06T14:05,2,-3,0.3333333333333333,7,600\n"
                                 "2026-12-06T14:06,2,0.1,0.2,0.3,599\n";
    const QByteArray midnight = "2026-12-07T00:00,4,1e-07,12345678.9,1e+21,1\n";
    const struct {
        const char* what;
        HistoryExport request;
        QByteArray expected;
    } cases[] = {
        {"all", {std::nullopt, std::nullopt, std::nullopt}, heading + lastEvening + afternoon + midnight},
        {"channel 2",
         {2, std::nullopt, std::nullopt},
         heading + "2026-12-06T14:05,2,-3,0.3333333333333333,7,600\n"
                   "2026-12-06T14:06,2,0.1,0.2,0.3,599\n"},
        {"from the 6th", {std::nullopt, QDate(2026, 12, 6), std::nullopt}, heading + afternoon + midnight},
        {"to the 6th", {std::nullopt, std::nullopt, QDate(2026, 12, 6)}, heading + lastEvening + afternoon},
        {"the 6th alone", {std::nullopt, QDate(2026, 12, 6), QDate(2026, 12, 6)}, heading + afternoon},
        {"a day without rows", {3, QDate(2026, 12, 6), std::nullopt}, heading},
    };
    // Another program writing meanwhile, in a transaction not yet committed, stops nothing and shows nothing.
    QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
    writer.setDatabaseName(path);
    ASSERT_TRUE(writer.open());
    QSqlQuery(writer).exec(QStringLiteral("BEGIN IMMEDIATE"));
    ASSERT_TRUE(QSqlQuery(writer).exec(QStringLiteral("INSERT INTO minutes VALUES (1, 1, 1, 1, 1)")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto [out, told, status] = exported(c.request);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(told, QString());
    }
    QSqlQuery(writer).exec(QStringLiteral("ROLLBACK"));
    writer.close();
    writer = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("writer"));
}

TEST_F(HistoryExportTest, WhatCannotBeReadOrPrintedIsToldWithStatusOne) {
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const auto [none, noneTold, noneStatus] = exported({}, &full);
    EXPECT_EQ(noneStatus, 1);
    EXPECT_TRUE(noneTold.startsWith(QStringLiteral("zavok: cannot print the history: "))) << noneTold.toStdString();

    ASSERT_TRUE(QFile::remove(path));
    const auto [missing, missingTold, missingStatus] = exported({});
    EXPECT_EQ(missingStatus, 1);
    EXPECT_EQ(missing, QByteArray());
    EXPECT_TRUE(missingTold.contains(path + QStringLiteral(" does not exist"))) << missingTold.toStdString();

    const QByteArray garbage(8192, 'x');
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(garbage);
    damaged.close();
    const auto [out, told, status] = exported({});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, QByteArray());
    EXPECT_TRUE(told.startsWith(QStringLiteral("zavok: cannot read the history in ") + path)) << told.toStdString();
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), garbage) << "the export never changes the file";
}

} // namespace
} // namespace zavok::platform
