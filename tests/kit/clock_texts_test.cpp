#include "ui/kit/clock_texts.h"

#include <gtest/gtest.h>

namespace zavok::kit {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(ClockTexts, TwelveHourClockWithTwoDigitFields) {
    EXPECT_EQ(formatNowtime(at(2026, 1, 5, 0, 10, 0), kEnglish), QStringLiteral("12:10:00 AM"));
    EXPECT_EQ(formatNowtime(at(2001, 7, 13, 8, 15, 20), kEnglish), QStringLiteral("08:15:20 AM"));
    EXPECT_EQ(formatNowtime(at(2001, 7, 13, 12, 0, 3), kEnglish), QStringLiteral("12:00:03 PM"));
    EXPECT_EQ(formatNowtime(at(2001, 7, 14, 14, 5, 9), kEnglish), QStringLiteral("02:05:09 PM"));
    EXPECT_EQ(formatNowtime(at(2001, 7, 14, 23, 59, 59), kEnglish), QStringLiteral("11:59:59 PM"));
}

TEST(ClockTexts, DateAndDayNamesUseTheLocaleMonths) {
    EXPECT_EQ(formatNowdate(at(2026, 1, 5, 9, 0, 0), kEnglish), QStringLiteral("January 05,2026"));
    EXPECT_EQ(formatNowdate(at(2001, 7, 13, 9, 0, 0), kEnglish), QStringLiteral("July 13,2001"));
    EXPECT_EQ(formatLogday(at(2001, 7, 13, 9, 0, 0), kEnglish), QStringLiteral("Jul 13"));
    EXPECT_EQ(formatLogday(at(2026, 1, 5, 9, 0, 0), kEnglish), QStringLiteral("Jan 05"));
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatNowdate(at(2026, 3, 1, 9, 0, 0), german), QStringLiteral("März 01,2026"));
}

} // namespace
} // namespace zavok::kit
