#pragma once

#include "history_rows.h"
#include "history_store.h"
#include "kit/numbers.h"
#include "log/activity_log.h"

#include <QObject>

#include <array>
#include <memory>
#include <vector>

namespace zavok {
class Zavok;
} // namespace zavok

namespace zavok::history {

// Keeps the history of a running program: every value a zone shows while its channel is on, summed up per channel
// and per minute, and every record of the activity log. It watches the core and never changes it: after each tick
// of a channel it reads whether the channel is on and the value its zone shows, and it hears every record as it
// is made. The sums live here, on the program's thread, and cost a tick a comparison and a few additions; when a
// minute closes, the rows and records go to the store's thread in one batch. The minute comes from the program's
// clock.
//
// Made before the program starts up, it hears the start record too, and takes the channels' timers as soon as their
// windows exist; made later, it starts with the next tick.
class HistoryRecorder final : public QObject {
    Q_OBJECT

public:
    // `path` is history.sqlite; rows older than `retentionDays` are removed.
    HistoryRecorder(Zavok& core, const QString& path, int retentionDays,
                    kit::FaultSink report = kit::writeToStandardError);
    // Finishes, if that has not been done.
    ~HistoryRecorder() override;
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Hands the minute in progress over and waits for the writer's last, short, attempt; nothing is kept after it.
    // For an end that runs no destructors, such as exit(): the writer's thread is done once this returns.
    void finish();

    HistoryStore& store() { return store_; }

private:
    struct Minute {
        qint64 minute = 0;
        double min = 0;
        double max = 0;
        double sum = 0;
        int count = 0;
    };

    qint64 currentMinute() const;
    void takeChannels();
    void openStore();
    void channelTicked(int channel);
    void passTo(qint64 minute);
    void hand(qint64 minute);
    void recorded(const ActivityLog::Record& record);

    Zavok& core_;
    HistoryStore store_;
    bool channelsTaken_ = false;
    bool storeOpened_ = false;
    qint64 minute_;
    std::array<Minute, 4> minutes_{};
    std::array<kit::TextReading<std::optional<double>>, 4> shown_{}; // each value text as a number, where it is one
    std::vector<MinuteRow> closed_;
    std::vector<RecordRow> records_;
};

} // namespace zavok::history
