#include "kit/clock_texts.h"

#include <gtest/gtest.h>

#include <vector>

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
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatNowdate(at(2026, 3, 1, 9, 0, 0), german), QStringLiteral("März 01,2026"));
}

TEST(ClockTexts, TheLogDayTakesThreeLettersOfTheMonthInEveryLocale) {
    const struct {
        const char* locale;
        int month;
        QString logday;
    } cases[] = {
        {"en_US", 7, QStringLiteral("Jul 13")}, {"en_US", 1, QStringLiteral("Jan 13")},
        {"en_GB", 9, QStringLiteral("Sep 13")}, {"en_AU", 6, QStringLiteral("Jun 13")},
        {"en_AU", 7, QStringLiteral("Jul 13")}, {"de_DE", 1, QStringLiteral("Jan 13")},
        {"de_DE", 3, QStringLiteral("Mär 13")}, {"fr_FR", 2, QStringLiteral("fév 13")},
        {"fr_FR", 5, QStringLiteral("mai 13")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatLogday(at(2026, c.month, 13, 9, 0, 0), QLocale(QString::fromLatin1(c.locale))), c.logday)
            << c.locale << " month " << c.month;
    }
    // The full month names and the morning and afternoon texts stay as the locale has them.
    const QLocale british(QStringLiteral("en_GB"));
    EXPECT_EQ(formatNowdate(at(2026, 9, 14, 9, 0, 0), british), QStringLiteral("September 14,2026"));
    EXPECT_EQ(formatNowtime(at(2026, 9, 14, 15, 0, 0), british), QStringLiteral("03:00:00 pm"));
}

// A clock that hands out the moments it is given, one per reading.
class ScriptedClock final : public Clock {
public:
    mutable std::vector<QDateTime> moments;
    QDateTime now() const override {
        const QDateTime next = moments.front();
        moments.erase(moments.begin());
        return next;
    }
};

TEST(ClockTexts, RefreshReadsTheClockOnceForEachTextAndFollowsEveryChange) {
    ScriptedClock clock;
    ClockTexts texts;
    const auto refreshAt = [&](std::vector<QDateTime> readings) {
        clock.moments = std::move(readings);
        refresh(texts, clock, kEnglish);
        EXPECT_TRUE(clock.moments.empty()) << "three readings, one per text";
    };
    const QDateTime evening = at(2001, 7, 13, 23, 59, 59);
    refreshAt({evening, evening, evening});
    EXPECT_EQ(texts.nowtime, QStringLiteral("11:59:59 PM"));
    refreshAt({evening.addMSecs(500), evening.addMSecs(500), evening.addMSecs(500)});
    EXPECT_EQ(texts.nowtime, QStringLiteral("11:59:59 PM"));
    // Midnight falls between the readings of one refresh: each text follows its own reading.
    refreshAt({evening.addMSecs(900), evening.addSecs(1), evening.addSecs(1)});
    EXPECT_EQ(texts.nowtime, QStringLiteral("11:59:59 PM"));
    EXPECT_EQ(texts.nowdate, QStringLiteral("July 14,2001"));
    EXPECT_EQ(texts.logday, QStringLiteral("Jul 14"));
    const QDateTime yearLater = at(2002, 7, 14, 0, 0, 0);
    refreshAt({yearLater, yearLater, yearLater});
    EXPECT_EQ(texts.nowtime, QStringLiteral("12:00:00 AM"));
    EXPECT_EQ(texts.nowdate, QStringLiteral("July 14,2002"));
}

} // namespace
} // namespace zavok::kit
