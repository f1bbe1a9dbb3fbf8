#include "clock_texts.h"

namespace zavok::kit {

namespace {

// A field of the texts, 0 to 99, in two digits. By hand: the time is formatted 86,400 times a day, and
// QString::arg took more than the rest of its text together.
void appendTwoDigits(QString& text, int n) {
    text += QChar(char16_t(u'0' + n / 10));
    text += QChar(char16_t(u'0' + n % 10));
}

} // namespace

QString formatNowtime(const QDateTime& moment, const QLocale& locale) {
    const QTime t = moment.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString designator = t.hour() < 12 ? locale.amText() : locale.pmText();
    QString text;
    text.reserve(9 + designator.size());
    appendTwoDigits(text, hour12);
    text += u':';
    appendTwoDigits(text, t.minute());
    text += u':';
    appendTwoDigits(text, t.second());
    text += u' ';
    text += designator;
    return text;
}

QString formatNowdate(const QDateTime& moment, const QLocale& locale) {
    const QDate d = moment.date();
    QString text = locale.monthName(d.month(), QLocale::LongFormat) + u' ';
    appendTwoDigits(text, d.day());
    return text + u',' + QString::number(d.year());
}

QString formatLogday(const QDateTime& moment, const QLocale& locale) {
    const QDate d = moment.date();
    // The log's file name takes three letters of the month whatever the locale's short name is ("Sept", "June",
    // "Jan."), so that every day's file is named alike.
    QString text = locale.monthName(d.month(), QLocale::ShortFormat).left(3) + u' ';
    appendTwoDigits(text, d.day());
    return text;
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
