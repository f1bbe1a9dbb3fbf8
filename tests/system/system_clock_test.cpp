#include "system/system_clock.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <ctime>

namespace zavok::system {
namespace {

// The machine's clock gives the local time, with the zone's offset from UTC, and readings close together are the
// moments they were taken at, in order.
TEST(SystemClock, ReadsTheMomentInLocalTimeWithTheZonesOffset) {
    qputenv("TZ", "Asia/Kolkata"); // half an hour off any whole-hour mistake, and no daylight-saving time
    tzset();
    const SystemClock clock;
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QDateTime first = clock.now();
    const QDateTime second = clock.now();
    const QDateTime after = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(first.offsetFromUtc(), 5 * 3600 + 1800);
    EXPECT_TRUE(before <= first && first <= second && second <= after);
    EXPECT_EQ(first.time(), first.toUTC().time().addSecs(5 * 3600 + 1800));
}

} // namespace
} // namespace zavok::system
