#pragma once

#include "log/record_facts.h"

#include <QString>

#include <optional>
#include <vector>

namespace zavok::history {

// Times in the history are Unix minutes (for the channels' rows) and Unix seconds (for the records): whole numbers
// that sort, subtract and survive a change of time zone; only what is shown to a person is local time.
inline qint64 minuteOf(qint64 unixSeconds) {
    return unixSeconds >= 0 ? unixSeconds / 60 : (unixSeconds - 59) / 60;
}

// One channel over one minute: the values it showed, as numbers.
struct MinuteRow {
    qint64 minute = 0;
    int channel = 0; // 1..4
    double min = 0;
    double mean = 0;
    double max = 0;
    int count = 0;

    friend bool operator==(const MinuteRow&, const MinuteRow&) = default;
};

// One record of the activity log, as the file holds it, with the moment it was made, the zone it tells of (0 for a
// record of no zone) and its kind (nothing for a record stored before records carried their kind, in words no writer
// uses).
struct RecordRow {
    qint64 second = 0;
    int zone = 0;
    QString message;
    QString time;
    QString date;
    std::optional<RecordKind> kind;

    friend bool operator==(const RecordRow&, const RecordRow&) = default;
};

// What the recorder hands over when a minute closes: the rows of the minutes that closed, the records made since
// the last batch, and the minute it closed on, which also tells the writer the day for its daily retention.
struct HistoryBatch {
    qint64 minute = 0;
    std::vector<MinuteRow> minutes;
    std::vector<RecordRow> records;
};

// A stretch of one channel's history drawn at a coarser grain: each bucket spans `bucketMinutes` minutes and holds
// the lowest and highest value in it and the mean of all its readings.
struct TrendBucket {
    qint64 minute = 0; // the bucket's first minute
    double min = 0;
    double mean = 0;
    double max = 0;

    friend bool operator==(const TrendBucket&, const TrendBucket&) = default;
};

// The records of a zone's alarms, told apart by the side of the meter they went off on.
struct AlarmMark {
    enum class Side { Low, High };
    qint64 second = 0;
    Side side = Side::Low;
    QString message;

    friend bool operator==(const AlarmMark&, const AlarmMark&) = default;
};

struct TrendRequest {
    int channel = 1;
    qint64 fromMinute = 0; // included
    qint64 toMinute = 0;   // excluded
    int maxBuckets = 2000;
};

struct TrendData {
    TrendRequest request;
    int bucketMinutes = 1;
    std::vector<TrendBucket> buckets;
    std::vector<AlarmMark> alarms;
};

} // namespace zavok::history
