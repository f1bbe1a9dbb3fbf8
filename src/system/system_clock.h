#pragma once

#include "kit/clock.h"

#include <limits>

namespace zavok::system {

// The machine's local date and time. Asking the time-zone database costs a look at /etc/localtime on every call,
// and the poll cycle reads the clock thirty times a second: the offset from UTC is asked again only when the
// second changes, so a new time zone or daylight-saving time shows within a second. The clock counts milliseconds:
// readings within the same one, such as the three of a tick, are the same moment, made once.
class SystemClock final : public kit::Clock {
public:
    QDateTime now() const override {
        const qint64 ms = QDateTime::currentMSecsSinceEpoch();
        if (ms == ms_) {
            return moment_;
        }
        if (const qint64 second = ms / 1000; second != second_) {
            second_ = second;
            offset_ = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime().offsetFromUtc();
        }
        ms_ = ms;
        moment_ = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset_);
        return moment_;
    }

private:
    mutable qint64 ms_ = std::numeric_limits<qint64>::min();
    mutable qint64 second_ = std::numeric_limits<qint64>::min();
    mutable int offset_ = 0;
    mutable QDateTime moment_;
};

} // namespace zavok::system
