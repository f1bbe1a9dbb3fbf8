#pragma once

#include "clock.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <limits>

namespace zavok::kit {

// The three clock texts every activity-log record takes its time, date and file name from.
struct ClockTexts {
    QString nowtime; // "hh:mm:ss AMPM", for example 02:05:09 PM
    QString nowdate; // "mmmm dd,yyyy", for example July 14,2001
    QString logday;  // "mmm dd", for example Jul 14: the month's short name cut to three letters
    // The moment `nowtime` stands for, with its offset from UTC, for those who need the time as a moment rather
    // than as words (a broker's subscribers).
    QDateTime moment = {};

    // What each text was last formatted from (a second, a day), so that a refresh ten times a second formats only
    // what has changed.
    struct Formatted {
        qint64 time = std::numeric_limits<qint64>::min();
        qint64 date = std::numeric_limits<qint64>::min();
        qint64 day = std::numeric_limits<qint64>::min();
    } formatted{};
};

// The formats, in the month names and morning/afternoon designators of the given locale.
QString formatNowtime(const QDateTime& moment, const QLocale& locale);
QString formatNowdate(const QDateTime& moment, const QLocale& locale);
QString formatLogday(const QDateTime& moment, const QLocale& locale);

// Sets the three texts from the clock, reading it once for each of them, in the order time, date, day. The locale
// is the same at every refresh of one set of texts.
void refresh(ClockTexts& texts, const Clock& clock, const QLocale& locale);

} // namespace zavok::kit
