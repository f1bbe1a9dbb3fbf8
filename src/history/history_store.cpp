#include "history_store.h"

#include "history_database.h"
#include "kit/printable.h"

#include <QDateTime>
#include <QPointer>

#include <deque>

namespace zavok::history {

namespace {

constexpr qint64 kMinutesPerDay = qint64(24) * 60;

// Appends to a queue that holds at most `limit` entries, dropping the oldest; whether any had to go.
template <class Row> bool appendBounded(std::deque<Row>& queue, std::vector<Row>&& rows, std::size_t limit) {
    for (Row& row : rows) {
        queue.push_back(std::move(row));
    }
    if (queue.size() <= limit) {
        return false;
    }
    queue.erase(queue.begin(), queue.begin() + std::ptrdiff_t(queue.size() - limit));
    return true;
}

QDate dayOf(qint64 minute) {
    return QDateTime::fromSecsSinceEpoch(minute * 60).date();
}

QString counted(std::size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

// Lives on the store's thread, with the connection that thread owns.
class HistoryStore::Worker final : public QObject {
public:
    Worker(QString path, int retentionDays, QDate today, kit::FaultSink report, MostWaiting most,
           const std::atomic<bool>& stopping, HistoryStore& store)
        : path_(std::move(path))
        , retentionDays_(retentionDays)
        , most_(most)
        , report_(std::move(report))
        , stopping_(stopping)
        , store_(store)
        , today_(today) {}

    // Not before the program has made its data directory.
    void open() {
        if (!db_.isOpen()) {
            settle(db_.open(path_, HistoryDatabase::Access::ReadWrite));
        }
    }

    void write(HistoryBatch& batch) {
        bool dropped = appendBounded(minutes_, std::move(batch.minutes), most_.minutes);
        dropped = appendBounded(records_, std::move(batch.records), most_.records) || dropped;
        if (dropped && !toldDropping_) {
            toldDropping_ = true;
            report_(QStringLiteral("zavok: the history has waited too long to be written; its oldest unsaved rows "
                                   "are dropped"));
        }
        // The day names a damaged file moved aside: it is the program's day, which the batches bring.
        today_ = dayOf(batch.minute);
        open();
        if (!db_.isOpen() || !flush()) {
            return;
        }
        if (retainedOn_ != today_) {
            retainedOn_ = today_;
            removeOld(batch.minute - qint64(retentionDays_) * kMinutesPerDay);
        }
    }

    void finish() {
        if (!minutes_.empty() || !records_.empty()) {
            open();
            if (db_.isOpen()) {
                flush();
            }
        }
        // What waits now is gone with the program; a history with a hole in it should not look whole.
        QStringList lost;
        if (!minutes_.empty()) {
            lost << counted(minutes_.size(), "minute row", "minute rows");
        }
        if (!records_.empty()) {
            lost << counted(records_.size(), "record", "records");
        }
        if (!lost.isEmpty()) {
            const bool one = minutes_.size() + records_.size() == 1;
            report_(QStringLiteral("zavok: the history could not be written to %1 before the end (%2); %3 that waited "
                                   "in memory %4 lost")
                        .arg(kit::printable(path_), why_, lost.join(QStringLiteral(" and ")),
                             one ? QStringLiteral("is") : QStringLiteral("are")));
        }
        db_.close();
    }

    TrendData trend(const TrendRequest& request) {
        TrendData data;
        data.request = request;
        open();
        if (db_.isOpen()) {
            db_.trend(request, data);
        }
        return data;
    }

private:
    // Everything that waits, in one transaction; true when it was stored.
    bool flush() {
        if (minutes_.empty() && records_.empty()) {
            return true;
        }
        HistoryBatch waiting;
        waiting.minutes.assign(minutes_.begin(), minutes_.end());
        waiting.records.assign(records_.begin(), records_.end());
        HistoryStatus status = db_.write(waiting);
        if (status.kind == HistoryStatus::Kind::Damaged) {
            db_.close();
            settle(status);
            if (db_.isOpen()) {
                status = db_.write(waiting);
            }
        }
        if (!status.ok()) {
            pause(status);
            return false;
        }
        minutes_.clear();
        records_.clear();
        toldDropping_ = false;
        if (paused_) {
            paused_ = false;
            report_(QStringLiteral("zavok: the history is written to %1 again").arg(path_));
        }
        emit store_.written();
        return true;
    }

    // After an attempt to open: a damaged file is moved aside and a new one opened in its place.
    void settle(const HistoryStatus& status) {
        if (status.kind != HistoryStatus::Kind::Damaged) {
            if (!status.ok()) {
                pause(status);
            }
            return;
        }
        const auto aside = moveDamagedAside(path_, today_);
        if (!aside) {
            pause({HistoryStatus::Kind::Unavailable,
                   QStringLiteral("it is damaged (%1) and cannot be moved aside").arg(status.reason)});
            return;
        }
        report_(QStringLiteral("zavok: %1 was damaged (%2); it is kept as %3 and a new history is started")
                    .arg(path_, status.reason, *aside));
        if (const HistoryStatus fresh = db_.open(path_, HistoryDatabase::Access::ReadWrite); !fresh.ok()) {
            pause(fresh);
        }
    }

    void pause(const HistoryStatus& status) {
        why_ = status.reason;
        if (!paused_) {
            paused_ = true;
            report_(QStringLiteral("zavok: the history cannot be written to %1 (%2); monitoring goes on, and the "
                                   "history waits in memory until it can be written")
                        .arg(path_, status.reason));
        }
    }

    void removeOld(qint64 before) {
        bool more = true;
        while (more && !stopping_) {
            if (!db_.removeSomeBefore(before, more).ok()) {
                return; // tried again tomorrow
            }
        }
    }

    HistoryDatabase db_;
    QString path_;
    int retentionDays_;
    MostWaiting most_;
    kit::FaultSink report_;
    const std::atomic<bool>& stopping_;
    HistoryStore& store_;
    QDate today_;
    std::deque<MinuteRow> minutes_;
    std::deque<RecordRow> records_;
    bool paused_ = false;
    QString why_; // of the last failure
    bool toldDropping_ = false;
    QDate retainedOn_;
};

HistoryStore::HistoryStore(QString path, int retentionDays, QDate today, kit::FaultSink report, MostWaiting most)
    : worker_(new Worker(std::move(path), retentionDays, today, std::move(report), most, stopping_, *this)) {
    thread_.setObjectName(QStringLiteral("history"));
    worker_->moveToThread(&thread_);
    // The default 8 MiB is reserved for a thread whose deepest call is an SQLite statement.
    thread_.setStackSize(1024 * 1024);
    thread_.start();
}

HistoryStore::~HistoryStore() {
    finish();
    delete worker_;
}

void HistoryStore::open() {
    if (!stopping_) {
        QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->open(); });
    }
}

void HistoryStore::write(HistoryBatch batch) {
    if (stopping_) {
        return;
    }
    QMetaObject::invokeMethod(worker_,
                              [worker = worker_, batch = std::move(batch)]() mutable { worker->write(batch); });
}

void HistoryStore::finish() {
    if (stopping_.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        worker_, [worker = worker_] { worker->finish(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void HistoryStore::trend(const TrendRequest& request, QObject* receiver, std::function<void(const TrendData&)> answer) {
    if (stopping_) {
        return;
    }
    // The answer comes back through this object, which lives on the receiver's thread and outlives the worker:
    // only there can it be told safely whether the receiver is still there.
    QMetaObject::invokeMethod(worker_,
                              [this, request, receiver = QPointer<QObject>(receiver), answer = std::move(answer)] {
                                  // Qt keeps the queued call until it runs, which the analyzer cannot follow.
                                  // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
                                  QMetaObject::invokeMethod(this, [receiver, answer, data = worker_->trend(request)] {
                                      if (receiver != nullptr) {
                                          answer(data);
                                      }
                                  });
                              });
}

} // namespace zavok::history
