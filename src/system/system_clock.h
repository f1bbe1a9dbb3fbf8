#pragma once

#include "kit/clock.h"

#include <limits>

namespace zavok::system {

// The machine's local date and time. Asking the time-zone database costs a look at /etc/localtime on every call,
// and the poll cycle reads the clock thirty times a second: the offset from UTC is asked again only when the
// second changes, so a new time zone or daylight-saving time shows within a second.
class SystemClock final : public kit::Clock {
public:
    QDateTime now() const override {
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        if (const qint64 second = utc.toSecsSinceEpoch(); second != second_) {
            second_ = second;
            offset_ = utc.toLocalTime().offsetFromUtc();
        }
        return utc.toOffsetFromUtc(offset_);
    }

private:
    mutable qint64 second_ = std::numeric_limits<qint64>::min();
    mutable int offset_ = 0;
};

} // namespace zavok::system
