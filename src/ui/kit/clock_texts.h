#pragma once

#include "clock.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace zavok::kit {

// The three clock texts every activity-log record takes its time, date and file name from.
struct ClockTexts {
    QString nowtime; // "hh:mm:ss AMPM", for example 02:05:09 PM
    QString nowdate; // "mmmm dd,yyyy", for example July 14,2001
    QString logday;  // "mmm dd", for example Jul 14
};

// The formats, in the month names and morning/afternoon designators of the given locale.
QString formatNowtime(const QDateTime& moment, const QLocale& locale);
QString formatNowdate(const QDateTime& moment, const QLocale& locale);
QString formatLogday(const QDateTime& moment, const QLocale& locale);

// Sets the three texts from the clock, reading it once for each of them, in the order time, date, day.
void refresh(ClockTexts& texts, const Clock& clock, const QLocale& locale);

} // namespace zavok::kit
