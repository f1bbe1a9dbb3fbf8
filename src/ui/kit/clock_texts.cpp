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
    return locale.monthName(d.month(), QLocale::ShortFormat) + u' ' + twoDigits(d.day());
}

void refresh(ClockTexts& texts, const Clock& clock, const QLocale& locale) {
    texts.nowtime = formatNowtime(clock.now(), locale);
    texts.nowdate = formatNowdate(clock.now(), locale);
    texts.logday = formatLogday(clock.now(), locale);
}

} // namespace zavok::kit
