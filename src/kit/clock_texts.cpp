#include "clock_texts.h"

namespace zavok::kit {

namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString formatNowtime(const QDateTime& moment, const QLocale& locale) {
    const QTime t = moment.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString designator = t.hour() < 12 ? locale.amText() : locale.pmText();
    return twoDigits(hour12) + u':' + twoDigits(t.minute()) + u':' + twoDigits(t.second()) + u' ' + designator;
}

QString formatNowdate(const QDateTime& moment, const QLocale& locale) {
    const QDate d = moment.date();
    return locale.monthName(d.month(), QLocale::LongFormat) + u' ' + twoDigits(d.day()) + u',' +
           QString::number(d.year());
}

QString formatLogday(const QDateTime& moment, const QLocale& locale) {
    const QDate d = moment.date();
    // The log's file name takes three letters of the month whatever the locale's short name is ("Sept", "June",
    // "Jan."), so that every day's file is named alike.
    return locale.monthName(d.month(), QLocale::ShortFormat).left(3) + u' ' + twoDigits(d.day());
}

void refresh(ClockTexts& texts, const Clock& clock, const QLocale& locale) {
    const QDateTime time = clock.now();
    texts.moment = time;
    if (const qint64 second = time.date().toJulianDay() * 86400 + time.time().msecsSinceStartOfDay() / 1000;
        second != texts.formatted.time) {
        texts.nowtime = formatNowtime(time, locale);
        texts.formatted.time = second;
    }
    const QDateTime date = clock.now();
    if (const qint64 day = date.date().toJulianDay(); day != texts.formatted.date) {
        texts.nowdate = formatNowdate(date, locale);
        texts.formatted.date = day;
    }
    const QDateTime logday = clock.now();
    if (const qint64 day = logday.date().toJulianDay(); day != texts.formatted.day) {
        texts.logday = formatLogday(logday, locale);
        texts.formatted.day = day;
    }
}

} // namespace zavok::kit
