#pragma once

#include "history/history_database.h"
#include "history/history_options.h"
#include "history/history_recorder.h"
#include "support/harness.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace zavok::test {

// Another program's connection to the history file, for as long as the object lives.
struct OtherProgram {
    explicit OtherProgram(const QString& path) {
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
    }
    ~OtherProgram() {
        db.close(); // which ends its transaction, if any
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool exec(const char* statement) { return QSqlQuery(db).exec(QString::fromLatin1(statement)); }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
};

// Every record of the history file at `path`, in the order stored.
inline std::vector<history::RecordRow> recordsIn(const QString& path) {
    std::vector<history::RecordRow> records;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("records"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT second, zone, message, time, date, kind FROM records ORDER BY id")));
        while (q.next()) {
            records.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toString(),
                               q.value(3).toString(), q.value(4).toString(), kindNamed(q.value(5).toString())});
        }
    } // the connection goes before its name is let go
    QSqlDatabase::removeDatabase(QStringLiteral("records"));
    return records;
}

// The whole program on virtual time with its history kept, as the program keeps it, in the data directory.
class HistoryRun {
public:
    explicit HistoryRun(Harness& h, int retentionDays = history::kDefaultHistoryDays) : h_(h) {
        h.beforeStartup = [this, retentionDays](Zavok& z) {
            recorder = std::make_unique<history::HistoryRecorder>(z, path(), retentionDays);
        };
    }

    // phones.zvk with channels 1 and 2 on and channel 1's alarm limits at 10 and 40.
    static QByteArray phones() {
        return Harness::phones({{9, QStringLiteral("10")},
                                {10, QStringLiteral("40")},
                                {42, QStringLiteral("0")},
                                {43, QStringLiteral("0")}});
    }

    QString path() const { return h_.dataPath(history::HistoryDatabase::kFileName); }

    // The orderly end, then the history's last write.
    void end() {
        h_.z().shutdown();
        recorder.reset();
    }

    std::vector<history::MinuteRow> rows() const {
        std::vector<history::MinuteRow> rows;
        history::HistoryDatabase db;
        EXPECT_TRUE(db.open(path(), history::HistoryDatabase::Access::ReadOnly).ok());
        db.forEachMinute(std::nullopt, 0, qint64(1) << 40, [&rows](const history::MinuteRow& row) {
            rows.push_back(row);
            return true;
        });
        return rows;
    }

    std::vector<history::RecordRow> records() const { return recordsIn(path()); }

    std::unique_ptr<history::HistoryRecorder> recorder;

private:
    Harness& h_;
};

inline qint64 minuteAt(const QDateTime& moment) {
    return history::minuteOf(moment.toSecsSinceEpoch());
}

} // namespace zavok::test
