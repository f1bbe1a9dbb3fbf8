#pragma once

#include "history_rows.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <optional>

namespace zavok::history {

// Why the history could not be opened, read or written.
struct HistoryStatus {
    enum class Kind {
        Ok,
        Unavailable, // cannot be reached now: a read-only or full disk, a lock held by another program
        Damaged,     // not a database, or one that fails its check: it will never read again
        Newer,       // written by a later program, whose schema this one does not know
    };
    Kind kind = Kind::Ok;
    QString reason;

    bool ok() const { return kind == Kind::Ok; }
};

// The history file, history.sqlite, through one connection of Qt SQL's SQLite driver. A connection belongs to the
// thread that opened it: the writer keeps one on its own thread, and the export one of its own.
//
// The schema carries its version in PRAGMA user_version, and each version has one step that brings a file of the
// version before up to it, so any older file opens; a reader takes a file of an older version as it is. A channel's
// minute is stored under one integer key, the slot (minute * 4 + channel - 1), which SQLite keeps as the row id: a year
// of four channels then takes about a fifth less room than with the minute and the channel as columns of their own. The
// view minute_rows shows them that way, with the minute also as local time, for anyone who reads the file with other
// tools.
class HistoryDatabase {
public:
    static constexpr int kVersion = 3;
    static const QString kFileName;

    enum class Access { ReadWrite, ReadOnly };

    HistoryDatabase();
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens the file (making it when it is missing and `access` allows), checks it unless read-only, and brings its
    // schema up to this version. A file that fails is closed again.
    HistoryStatus open(const QString& path, Access access);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    const QString& path() const { return path_; }

    // The batch's rows in one transaction, all or none. A minute already stored (a restart within the minute)
    // takes the new readings in with the old.
    HistoryStatus write(const HistoryBatch& batch);

    // Removes the rows older than `minute`, at most a day of them per call so that the writer stays free to stop;
    // `more` tells whether older rows are left.
    HistoryStatus removeSomeBefore(qint64 minute, bool& more);

    // One channel's minutes between two minutes, in buckets of whole minutes, and its zone's alarm records.
    HistoryStatus trend(const TrendRequest& request, TrendData& data);

    // Every row between two minutes (from included, to excluded), of one channel or all, in time order and, within
    // a minute, in channel order. `take` returns false to stop.
    HistoryStatus forEachMinute(std::optional<int> channel, qint64 fromMinute, qint64 toMinute,
                                const std::function<bool(const MinuteRow&)>& take);

private:
    HistoryStatus prepare();
    HistoryStatus migrate(int from);
    // Version 2 keeps each record's kind: the records of version 1 take it, once, from their words.
    HistoryStatus fillKinds();
    HistoryStatus failure(const QSqlError& error) const;

    QString name_;
    QString path_;
    QSqlDatabase db_;
    std::optional<QSqlQuery> insertMinute_;
    std::optional<QSqlQuery> insertRecord_;
};

// Moves a damaged file aside as `history.sqlite.damaged-<day>` (with its journal files), never over an earlier
// one; the name it now has, or nothing when it could not be moved.
std::optional<QString> moveDamagedAside(const QString& path, const QDate& day);

} // namespace zavok::history
