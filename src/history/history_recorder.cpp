#include "history_recorder.h"

#include "app/zavok.h"
#include "kit/numbers.h"

#include <QPointer>

#include <cmath>

namespace zavok::history {

HistoryRecorder::HistoryRecorder(Zavok& core, const QString& path, int retentionDays, kit::FaultSink report)
    : core_(core)
    , store_(path, retentionDays, core.platform.clock.now().date(), std::move(report))
    , minute_(currentMinute()) {
    // The log keeps its observers for as long as it lives, which may be longer than this recorder.
    core.log.observe([self = QPointer<HistoryRecorder>(this)](const ActivityLog::Record& record) {
        if (self != nullptr) {
            self->recorded(record);
        }
    });
    // The poll cycle ticks all the time, so a minute closes even when no channel is on.
    connect(&core.zavok->Timer1, &kit::Timer::ticked, this, [this] {
        takeChannels();
        openStore();
        passTo(currentMinute());
    });
    takeChannels(); // made after start-up, it starts with the next tick
}

HistoryRecorder::~HistoryRecorder() {
    finish();
}

void HistoryRecorder::finish() {
    // The minute in progress is saved too: a restart within the same minute adds to it. Handed over once: a store
    // that has finished takes nothing more.
    hand(minute_ + 1);
    store_.finish();
}

qint64 HistoryRecorder::currentMinute() const {
    return minuteOf(core_.platform.clock.now().toSecsSinceEpoch());
}

void HistoryRecorder::takeChannels() {
    // The channel windows are made during start-up, before its first record and before any tick.
    if (channelsTaken_ || !core_.zavokform[0]) {
        return;
    }
    channelsTaken_ = true;
    for (int k = 1; k <= 4; ++k) {
        connect(&core_.channel(k).Timer1, &kit::Timer::ticked, this, [this, k] { channelTicked(k); });
    }
}

void HistoryRecorder::openStore() {
    // Opened at the first tick, a tenth of a second or more after the start, not during start-up: loading the
    // database's driver and checking the file, although on the store's thread, slowed the first paint. It is still
    // checked in the background, not when the first minute closes or, worse, when the program ends.
    if (!storeOpened_) {
        storeOpened_ = true;
        store_.open();
    }
}

void HistoryRecorder::channelTicked(int channel) {
    // A tick that found no input has switched the channel off.
    if (!core_.channel(channel).disable.isEnabled()) {
        return;
    }
    const std::optional<double> shown =
        shown_.at(channel - 1)
            .of(core_.zavok->value.at(channel - 1)->text(), [](const QString& text) -> std::optional<double> {
                if (kit::isNumericText(text)) {
                    if (const double number = kit::prefixValue(text); std::isfinite(number)) {
                        return number;
                    }
                }
                return std::nullopt;
            });
    if (!shown) {
        return;
    }
    const qint64 minute = currentMinute();
    passTo(minute);
    const double value = *shown;
    Minute& m = minutes_.at(channel - 1);
    if (m.count == 0) {
        m = {minute, value, value, value, 1};
        return;
    }
    m.min = std::min(m.min, value);
    m.max = std::max(m.max, value);
    m.sum += value;
    ++m.count;
}

void HistoryRecorder::passTo(qint64 minute) {
    if (minute != minute_) {
        hand(minute);
    }
}

void HistoryRecorder::hand(qint64 minute) {
    for (std::size_t i = 0; i < minutes_.size(); ++i) {
        Minute& m = minutes_.at(i);
        if (m.count > 0) {
            closed_.push_back({m.minute, int(i) + 1, m.min, m.sum / m.count, m.max, m.count});
            m.count = 0;
        }
    }
    minute_ = minute;
    store_.write({minute, std::move(closed_), std::move(records_)});
    closed_.clear();
    records_.clear();
}

void HistoryRecorder::recorded(const ActivityLog::Record& record) {
    takeChannels();
    records_.push_back({core_.platform.clock.now().toSecsSinceEpoch(), record.facts.zone(), record.message, record.time,
                        record.date, record.facts.kind});
}

} // namespace zavok::history
