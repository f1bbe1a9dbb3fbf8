#include "history_database.h"

#include "app/record_words.h"
#include "kit/printable.h"
#include "kit/regular_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace zavok::history {

const QString HistoryDatabase::kFileName = QStringLiteral("history.sqlite");

namespace {

// A writer waits this long for another program's lock before the batch counts as failed and waits for the next;
// short, because the program's end may be waiting behind it. A reader can wait longer.
constexpr int kWriterBusyMs = 200;
constexpr int kReaderBusyMs = 2000;

constexpr qint64 kMinutesPerDay = qint64(24) * 60;

// SQLite's primary result codes that mean the file itself is bad.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

// The step that brings a file of version i to version i + 1.
const std::vector<QStringList>& migrations() {
    static const std::vector<QStringList> steps{
        {
            QStringLiteral("CREATE TABLE minutes (slot INTEGER PRIMARY KEY, min REAL NOT NULL, mean REAL NOT NULL, "
                           "max REAL NOT NULL, count INTEGER NOT NULL)"),
            QStringLiteral("CREATE VIEW minute_rows AS SELECT slot >> 2 AS minute, (slot & 3) + 1 AS channel, min, "
                           "mean, max, count FROM minutes"),
            QStringLiteral("CREATE TABLE records (id INTEGER PRIMARY KEY, second INTEGER NOT NULL, zone INTEGER NOT "
                           "NULL, message TEXT NOT NULL, time TEXT NOT NULL, date TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX records_by_second ON records (second)"),
            QStringLiteral("CREATE INDEX records_by_zone ON records (zone, second) WHERE zone > 0"),
        },
        {
            QStringLiteral("ALTER TABLE records ADD COLUMN kind TEXT"),
        },
        // The minute as a person reads it, in the reader's local time, beside its number.
        {
            QStringLiteral("DROP VIEW minute_rows"),
            QStringLiteral("CREATE VIEW minute_rows AS SELECT slot >> 2 AS minute, strftime('%Y-%m-%dT%H:%M', "
                           "(slot >> 2) * 60, 'unixepoch', 'localtime') AS time, (slot & 3) + 1 AS channel, min, "
                           "mean, max, count FROM minutes"),
        },
    };
    return steps;
}

qint64 slotOf(qint64 minute, int channel) {
    return minute * 4 + channel - 1;
}

QString nextConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("zavok-history-%1").arg(next++);
}

HistoryStatus ok() {
    return {};
}

// A null text binds as SQL NULL, which the columns refuse: the batch would fail at every try, for ever.
QString text(const QString& field) {
    return field.isNull() ? QStringLiteral("") : field;
}

} // namespace

HistoryDatabase::HistoryDatabase() : name_(nextConnectionName()) {}

HistoryDatabase::~HistoryDatabase() {
    close();
}

HistoryStatus HistoryDatabase::failure(const QSqlError& error) const {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const bool damaged = code == kSqliteCorrupt || code == kSqliteNotADatabase;
    const QString why = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return {damaged ? HistoryStatus::Kind::Damaged : HistoryStatus::Kind::Unavailable, why};
}

HistoryStatus HistoryDatabase::open(const QString& path, Access access) {
    close();
    path_ = path;
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db_.setDatabaseName(path);
    db_.setConnectOptions(access == Access::ReadOnly
                              ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(kReaderBusyMs)
                              : QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kWriterBusyMs));
    HistoryStatus status = [&] {
        // SQLite would open a FIFO that stands in the place of the file or of one of its journals and wait on it for
        // ever, and the program's end waits for the history.
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            const QString file = path + QLatin1String(suffix);
            if (const auto kind = kit::notARegularFile(file)) {
                const QString which = *suffix == '\0'
                                          ? QStringLiteral("it")
                                          : kit::printable(QFileInfo(file).fileName()) + QStringLiteral(" beside it");
                return HistoryStatus{HistoryStatus::Kind::Unavailable,
                                     QStringLiteral("%1 is %2, not a regular file").arg(which, *kind)};
            }
        }
        if (!db_.open()) {
            return failure(db_.lastError());
        }
        QSqlQuery q(db_);
        // The version comes first: reading the header is also where a file that is no database shows.
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            return failure(q.lastError());
        }
        const int version = q.value(0).toInt();
        if (version > kVersion) {
            return HistoryStatus{HistoryStatus::Kind::Newer,
                                 QStringLiteral("it was written by a later version of ZAVOK (schema %1, this one "
                                                "knows up to %2)")
                                     .arg(version)
                                     .arg(kVersion)};
        }
        // SQLite's default cache of 2 MB would fill with the whole file as the check below reads it, and stay: one
        // batch of rows or one trend query needs a few pages.
        if (!q.exec(QStringLiteral("PRAGMA cache_size=-256"))) {
            return failure(q.lastError());
        }
        if (access == Access::ReadOnly) {
            return ok(); // a reader takes the file as it is, and a file never written to has no tables yet
        }
        // WAL lets the export and the trend window read while the writer writes; NORMAL syncs at checkpoints
        // only, which WAL makes safe against a crash.
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) {
            return failure(q.lastError());
        }
        if (q.value(0).toString() != QStringLiteral("wal")) {
            return HistoryStatus{HistoryStatus::Kind::Unavailable, QStringLiteral("it cannot be put in WAL mode")};
        }
        if (!q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
            return failure(q.lastError());
        }
        // A file of unknown health: one that a crash or a bad disk has damaged would fail the first write that
        // touches the bad page, perhaps days later.
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next()) {
            return failure(q.lastError());
        }
        if (const QString verdict = q.value(0).toString(); verdict != QStringLiteral("ok")) {
            return HistoryStatus{HistoryStatus::Kind::Damaged, verdict};
        }
        q.finish();
        if (HistoryStatus migrated = migrate(version); !migrated.ok()) {
            return migrated;
        }
        return prepare();
    }();
    if (!status.ok()) {
        close();
    }
    return status;
}

HistoryStatus HistoryDatabase::migrate(int from) {
    if (from == kVersion) {
        return ok();
    }
    if (!db_.transaction()) {
        return failure(db_.lastError());
    }
    QSqlQuery q(db_);
    for (int version = from; version < kVersion; ++version) {
        const QStringList step = migrations().at(std::size_t(version)) +
                                 QStringList{QStringLiteral("PRAGMA user_version = %1").arg(version + 1)};
        for (const QString& statement : step) {
            if (!q.exec(statement)) {
                HistoryStatus status = failure(q.lastError());
                db_.rollback();
                return status;
            }
        }
        if (version == 1) {
            if (HistoryStatus filled = fillKinds(); !filled.ok()) {
                db_.rollback();
                return filled;
            }
        }
    }
    if (!db_.commit()) {
        HistoryStatus status = failure(db_.lastError());
        db_.rollback();
        return status;
    }
    return ok();
}

HistoryStatus HistoryDatabase::fillKinds() {
    QSqlQuery rows(db_);
    rows.setForwardOnly(true);
    QSqlQuery update(db_);
    if (!rows.exec(QStringLiteral("SELECT id, message FROM records")) ||
        !update.prepare(QStringLiteral("UPDATE records SET kind = ? WHERE id = ?"))) {
        return failure(rows.lastError().isValid() ? rows.lastError() : update.lastError());
    }
    // The zone stays as version 1 stored it: the channel's name was matched while the program knew its channels.
    while (rows.next()) {
        const std::optional<RecordFacts> facts = factsOfWords(rows.value(1).toString());
        if (!facts) {
            continue;
        }
        update.bindValue(0, storedName(facts->kind));
        update.bindValue(1, rows.value(0));
        if (!update.exec()) {
            return failure(update.lastError());
        }
    }
    if (rows.lastError().isValid()) {
        return failure(rows.lastError());
    }
    return ok();
}

HistoryStatus HistoryDatabase::prepare() {
    insertMinute_.emplace(db_);
    // A minute stored before (the program restarted within it) takes the new readings in with the old ones.
    if (!insertMinute_->prepare(QStringLiteral(
            "INSERT INTO minutes (slot, min, mean, max, count) VALUES (?, ?, ?, ?, ?) ON CONFLICT (slot) DO UPDATE "
            "SET min = MIN(min, excluded.min), max = MAX(max, excluded.max), mean = (mean * count + excluded.mean * "
            "excluded.count) / (count + excluded.count), count = count + excluded.count"))) {
        return failure(insertMinute_->lastError());
    }
    insertRecord_.emplace(db_);
    if (!insertRecord_->prepare(QStringLiteral(
            "INSERT INTO records (second, zone, message, time, date, kind) VALUES (?, ?, ?, ?, ?, ?)"))) {
        return failure(insertRecord_->lastError());
    }
    return ok();
}

void HistoryDatabase::close() {
    insertMinute_.reset();
    insertRecord_.reset();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
}

HistoryStatus HistoryDatabase::write(const HistoryBatch& batch) {
    if (batch.minutes.empty() && batch.records.empty()) {
        return ok();
    }
    if (!insertMinute_ || !insertRecord_) {
        return HistoryStatus{HistoryStatus::Kind::Unavailable, QStringLiteral("it is not open for writing")};
    }
    if (!db_.transaction()) {
        return failure(db_.lastError());
    }
    auto fail = [this](const QSqlError& error) {
        HistoryStatus status = failure(error);
        db_.rollback();
        return status;
    };
    QSqlQuery& minute = *insertMinute_;
    for (const MinuteRow& row : batch.minutes) {
        minute.bindValue(0, slotOf(row.minute, row.channel));
        minute.bindValue(1, row.min);
        minute.bindValue(2, row.mean);
        minute.bindValue(3, row.max);
        minute.bindValue(4, row.count);
        if (!minute.exec()) {
            return fail(minute.lastError());
        }
    }
    QSqlQuery& record = *insertRecord_;
    for (const RecordRow& row : batch.records) {
        record.bindValue(0, row.second);
        record.bindValue(1, row.zone);
        record.bindValue(2, text(row.message));
        record.bindValue(3, text(row.time));
        record.bindValue(4, text(row.date));
        record.bindValue(5, row.kind ? QVariant(storedName(*row.kind)) : QVariant());
        if (!record.exec()) {
            return fail(record.lastError());
        }
    }
    if (!db_.commit()) {
        return fail(db_.lastError());
    }
    return ok();
}

HistoryStatus HistoryDatabase::removeSomeBefore(qint64 minute, bool& more) {
    more = false;
    QSqlQuery q(db_);
    // The aggregate MIN passes over the NULL of an empty table.
    if (!q.exec(QStringLiteral("SELECT MIN(oldest) FROM (SELECT MIN(slot) >> 2 AS oldest FROM minutes UNION ALL "
                               "SELECT MIN(second) / 60 FROM records)")) ||
        !q.next()) {
        return failure(q.lastError());
    }
    if (q.value(0).isNull() || q.value(0).toLongLong() >= minute) {
        return ok();
    }
    const qint64 end = std::min(minute, q.value(0).toLongLong() + kMinutesPerDay);
    q.finish();
    if (!db_.transaction()) {
        return failure(db_.lastError());
    }
    q.prepare(QStringLiteral("DELETE FROM minutes WHERE slot < ?"));
    q.bindValue(0, slotOf(end, 1));
    bool done = q.exec();
    if (done) {
        q.prepare(QStringLiteral("DELETE FROM records WHERE second < ?"));
        q.bindValue(0, end * 60);
        done = q.exec();
    }
    if (!done || !db_.commit()) {
        HistoryStatus status = failure(done ? db_.lastError() : q.lastError());
        db_.rollback();
        return status;
    }
    more = end < minute;
    return ok();
}

HistoryStatus HistoryDatabase::trend(const TrendRequest& request, TrendData& data) {
    data = {};
    data.request = request;
    const qint64 span = std::max<qint64>(1, request.toMinute - request.fromMinute);
    const qint64 buckets = std::max(1, request.maxBuckets);
    data.bucketMinutes = int(std::min<qint64>((span + buckets - 1) / buckets, std::numeric_limits<int>::max()));

    QSqlQuery q(db_);
    q.setForwardOnly(true);
    // The slots of one channel are every fourth row of the range: a month of one channel reads four months of rows,
    // which still takes a few tens of milliseconds, and keeps the table one key and no index.
    q.prepare(QStringLiteral("SELECT (slot >> 2) / :width, MIN(min), SUM(mean * count) / SUM(count), MAX(max) "
                             "FROM minutes WHERE slot >= :from AND slot < :to AND (slot & 3) = :channel "
                             "GROUP BY 1 ORDER BY 1"));
    q.bindValue(QStringLiteral(":width"), data.bucketMinutes);
    q.bindValue(QStringLiteral(":from"), slotOf(request.fromMinute, 1));
    q.bindValue(QStringLiteral(":to"), slotOf(request.toMinute, 1));
    q.bindValue(QStringLiteral(":channel"), request.channel - 1);
    if (!q.exec()) {
        return failure(q.lastError());
    }
    while (q.next()) {
        data.buckets.push_back({q.value(0).toLongLong() * data.bucketMinutes, q.value(1).toDouble(),
                                q.value(2).toDouble(), q.value(3).toDouble()});
    }

    q.prepare(QStringLiteral("SELECT second, message, kind FROM records WHERE zone = ? AND second >= ? AND second < ? "
                             "AND kind IN (?, ?, ?, ?) ORDER BY second"));
    q.bindValue(0, request.channel);
    q.bindValue(1, request.fromMinute * 60);
    q.bindValue(2, request.toMinute * 60);
    const RecordKind alarms[] = {RecordKind::ZoneLowAlarm, RecordKind::ZoneLowCalError, RecordKind::ZoneHighAlarm,
                                 RecordKind::ZoneHighCalError};
    for (int i = 0; i < 4; ++i) {
        q.bindValue(3 + i, storedName(alarms[i]));
    }
    if (!q.exec()) {
        return failure(q.lastError());
    }
    while (q.next()) {
        const std::optional<RecordKind> kind = kindNamed(q.value(2).toString());
        const bool low = kind == RecordKind::ZoneLowAlarm || kind == RecordKind::ZoneLowCalError;
        data.alarms.push_back(
            {q.value(0).toLongLong(), low ? AlarmMark::Side::Low : AlarmMark::Side::High, q.value(1).toString()});
    }
    return ok();
}

HistoryStatus HistoryDatabase::forEachMinute(std::optional<int> channel, qint64 fromMinute, qint64 toMinute,
                                             const std::function<bool(const MinuteRow&)>& take) {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'minutes'"))) {
        return failure(q.lastError());
    }
    if (!q.next()) {
        return ok(); // a file made but never written to
    }
    q.setForwardOnly(true);
    q.prepare(channel ? QStringLiteral("SELECT slot, min, mean, max, count FROM minutes WHERE slot >= ? AND slot < ? "
                                       "AND (slot & 3) = ? ORDER BY slot")
                      : QStringLiteral("SELECT slot, min, mean, max, count FROM minutes WHERE slot >= ? AND slot < ? "
                                       "ORDER BY slot"));
    q.bindValue(0, slotOf(fromMinute, 1));
    q.bindValue(1, slotOf(toMinute, 1));
    if (channel) {
        q.bindValue(2, *channel - 1);
    }
    if (!q.exec()) {
        return failure(q.lastError());
    }
    MinuteRow row;
    while (q.next()) {
        const qint64 slot = q.value(0).toLongLong();
        row.minute = slot >> 2;
        row.channel = int(slot & 3) + 1;
        row.min = q.value(1).toDouble();
        row.mean = q.value(2).toDouble();
        row.max = q.value(3).toDouble();
        row.count = q.value(4).toInt();
        if (!take(row)) {
            break;
        }
    }
    // A read that stops half-way through a damaged file reports it, rather than passing for the end of the rows.
    if (q.lastError().isValid()) {
        return failure(q.lastError());
    }
    return ok();
}

std::optional<QString> moveDamagedAside(const QString& path, const QDate& day) {
    const QString base = path + QStringLiteral(".damaged-") + day.toString(Qt::ISODate);
    QString aside = base;
    for (int n = 2; QFile::exists(aside) || QFile::exists(aside + QStringLiteral("-wal")); ++n) {
        aside = base + u'.' + QString::number(n);
    }
    if (!QFile::rename(path, aside)) {
        return std::nullopt;
    }
    // The journal belongs to the damaged file and goes with it: left here, SQLite would replay it into the new file.
    const QString wal = path + QStringLiteral("-wal");
    if (QFile::exists(wal) && !QFile::rename(wal, aside + QStringLiteral("-wal"))) {
        QFile::remove(wal);
    }
    QFile::remove(path + QStringLiteral("-shm"));
    return aside;
}

} // namespace zavok::history
