#include "history_export.h"

#include "history_database.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIODevice>
#include <QTextStream>
#include <QTimeZone>

#include <array>
#include <charconv>
#include <limits>
#include <string>

namespace zavok::history {

namespace {

constexpr qint64 kSecondsPerDay = qint64(24) * 60 * 60;
constexpr qint64 kJulianDayOfEpoch = 2440588;
// Far enough to hold every date, near enough that the storage keys made from them cannot overflow.
constexpr qint64 kNoBound = qint64(1) << 40;
constexpr qsizetype kChunk = qsizetype(1) << 20;

qint64 floorDiv(qint64 a, qint64 b) {
    return a >= 0 ? a / b : (a - b + 1) / b;
}

void putDigits(std::string& out, qint64 value, int width) {
    std::array<char, 20> digits{};
    for (int i = width - 1; i >= 0; --i) {
        digits.at(std::size_t(i)) = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits.data(), std::size_t(width));
}

// Minutes as local time. Asking the time-zone database is the slow part of a line, and a year holds half a million
// minutes: the offset from UTC is asked once per quarter of an hour, the step on which every zone changes it, and of
// Qt's own reading of the zone, since the C library's looks at /etc/localtime again at every call.
class LocalMinutes {
public:
    void put(std::string& out, qint64 minute) {
        if (minute != minute_) {
            minute_ = minute;
            format(minute);
        }
        out += text_;
    }

private:
    void format(qint64 minute) {
        if (const qint64 quarter = floorDiv(minute, 15); quarter != quarter_) {
            quarter_ = quarter;
            offset_ = zone_.offsetFromUtc(QDateTime::fromSecsSinceEpoch(quarter * 15 * 60, Qt::UTC));
        }
        const qint64 local = minute * 60 + offset_;
        const qint64 day = floorDiv(local, kSecondsPerDay);
        const qint64 second = local - day * kSecondsPerDay;
        const QDate date = QDate::fromJulianDay(kJulianDayOfEpoch + day);
        text_.clear();
        putDigits(text_, date.year(), 4);
        text_ += '-';
        putDigits(text_, date.month(), 2);
        text_ += '-';
        putDigits(text_, date.day(), 2);
        text_ += 'T';
        putDigits(text_, second / 3600, 2);
        text_ += ':';
        putDigits(text_, second % 3600 / 60, 2);
    }

    const QTimeZone zone_ = QTimeZone::systemTimeZone();
    qint64 minute_ = std::numeric_limits<qint64>::min();
    qint64 quarter_ = std::numeric_limits<qint64>::min();
    int offset_ = 0;
    std::string text_;
};

// Six significant digits, as many as a reading's scale and calibration carry, in the fewest characters: the value
// rounded to six digits, then written as the shortest text that reads back as that rounded value (37.7778, 20, 1e-07).
void putNumber(std::string& out, double value) {
    constexpr int kSignificant = 6;
    std::array<char, 32> text{};
    const auto rounded = std::to_chars(text.begin(), text.end(), value, std::chars_format::general, kSignificant);
    double near = value;
    std::from_chars(text.data(), rounded.ptr, near);
    const auto [end, error] = std::to_chars(text.begin(), text.end(), near);
    out.append(text.data(), error == std::errc() ? std::size_t(end - text.begin()) : 0);
}

} // namespace

int exportHistory(const QString& path, const HistoryExport& request, QIODevice& out, QTextStream& err) {
    if (!QFileInfo::exists(path)) {
        err << "zavok: there is no history yet: " << path << " does not exist (ZAVOK starts it when it first runs)"
            << Qt::endl;
        return 1;
    }
    HistoryDatabase db;
    if (const HistoryStatus status = db.open(path, HistoryDatabase::Access::ReadOnly); !status.ok()) {
        err << "zavok: cannot read the history in " << path << ": " << status.reason << Qt::endl;
        return 1;
    }
    const qint64 from = request.from ? floorDiv(request.from->startOfDay().toSecsSinceEpoch(), 60) : -kNoBound;
    const qint64 to = request.to ? floorDiv(request.to->addDays(1).startOfDay().toSecsSinceEpoch(), 60) : kNoBound;

    std::string text = "time,channel,min,mean,max,count\n";
    text.reserve(std::size_t(kChunk) + 256);
    bool written = true;
    LocalMinutes times;
    const HistoryStatus read = db.forEachMinute(request.channel, from, to, [&](const MinuteRow& row) {
        times.put(text, row.minute);
        text += ',';
        putDigits(text, row.channel, 1);
        for (const double value : {row.min, row.mean, row.max}) {
            text += ',';
            putNumber(text, value);
        }
        text += ',';
        text += std::to_string(row.count);
        text += '\n';
        if (qsizetype(text.size()) >= kChunk) {
            written = out.write(text.data(), qint64(text.size())) == qint64(text.size());
            text.clear();
        }
        return written;
    });
    if (written && !text.empty()) {
        written = out.write(text.data(), qint64(text.size())) == qint64(text.size());
    }
    if (!read.ok()) {
        err << "zavok: cannot read the history in " << path << ": " << read.reason << Qt::endl;
        return 1;
    }
    if (!written) {
        err << "zavok: cannot print the history: " << out.errorString() << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace zavok::history
