#pragma once

#include "history_rows.h"
#include "kit/fault_report.h"

#include <QDate>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

namespace zavok::history {

// What the history keeps in memory while it cannot be written; beyond it the oldest unsaved rows are dropped: a week
// of the four channels' minutes, and the records of a busy week.
struct MostWaiting {
    std::size_t minutes = std::size_t(4) * 24 * 60 * 7;
    std::size_t records = 100'000;
};

// Writes the history on a thread of its own, so that no tick and no click ever waits for the disk: batches are
// handed over and the call returns at once. A batch that cannot be written (a read-only or full disk, another
// program's lock) stays in memory, up to a week of rows, and goes with the next one; the program says once that
// the history waits, and once that it is written again. A damaged file is moved aside and a new one started.
// Rows older than the retention are removed once a day.
class HistoryStore final : public QObject {
    Q_OBJECT

public:
    // Writes into `path` (history.sqlite), which it opens when told or first needed. `today` names a damaged file moved
    // aside until the batches tell the day.
    HistoryStore(QString path, int retentionDays, QDate today, kit::FaultSink report = kit::writeToStandardError,
                 MostWaiting most = {});
    ~HistoryStore() override;
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens and checks the file on the store's thread, so that the first batch, or the program's end, need not.
    void open();
    void write(HistoryBatch batch);

    // Makes a last attempt at what waits, and stops the thread. The program's end waits for it, so it is short: a
    // lock held by another program is waited for only briefly. What still cannot be written is lost, and the writer
    // says how many rows and records. Later writes are dropped.
    void finish();

    // A stretch of one channel's history, read on the store's thread; `answer` runs on the thread of `receiver`,
    // and not at all if the receiver is gone by then. Rows that wait to be written are not in it.
    void trend(const TrendRequest& request, QObject* receiver, std::function<void(const TrendData&)> answer);

signals:
    // Each time new rows are stored, for those who show them.
    void written();

private:
    class Worker;

    QThread thread_;
    Worker* worker_;
    std::atomic<bool> stopping_{false};
};

} // namespace zavok::history
