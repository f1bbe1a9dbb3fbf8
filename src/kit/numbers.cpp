#include "numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zavok::kit {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The digits QString::number writes, without its general machinery: the port's value and the readings are
// formatted at every tick that changes them.
QString wholeText(qint64 value) {
    std::array<char, 20> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return QString::fromLatin1(digits.data(), written.ptr - digits.data());
}

} // namespace

double prefixValue(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    const qsizetype start = i;
    const bool negative = i < n && text[i] == u'-';
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    // A whole number of up to 15 digits, which is what the ticks read back from their own texts, is exact as a
    // double: strtod would give the same, and the text is read without a copy.
    qint64 whole = 0;
    int wholeDigits = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            digits = true;
            if (!point && ++wholeDigits <= 15) {
                whole = whole * 10 + (c.unicode() - u'0');
            }
        } else if (c == u'.' && !point) {
            point = true;
        } else if (!isBlank(c)) {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    const qsizetype mantissaEnd = i;
    qsizetype exponentEnd = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            ++j;
        }
        const qsizetype exponentDigits = j;
        while (j < n && isDigit(text[j])) {
            ++j;
        }
        if (j > exponentDigits) {
            exponentEnd = j;
        }
    }
    if (!point && wholeDigits <= 15 && exponentEnd == mantissaEnd) {
        return negative ? -double(whole) : double(whole);
    }
    // The numeric characters alone, in a clean ASCII string for strtod, which then never sees anything it could read
    // differently (hex, "inf", locale decimal commas).
    std::string number;
    for (qsizetype k = start; k < exponentEnd; ++k) {
        if (!isBlank(text[k])) {
            number += char(text[k].unicode());
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

bool isNumericText(const QString& text) {
    // Blanks, a sign, digits with at most one point (at least one digit), an exponent with digits, blanks; a line
    // feed that ends the text counts as its end, as a regular expression's $ takes it. Read by hand: the history
    // asks this at every channel tick, and a regular expression costs its compiled and JIT code resident for good.
    qsizetype n = text.size();
    if (n > 0 && text[n - 1] == u'\n') {
        --n;
    }
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
            ++i;
        }
    };
    const auto skipDigits = [&](qsizetype from) {
        while (from < n && isDigit(text[from])) {
            ++from;
        }
        return from;
    };
    const auto isSign = [&](qsizetype at) { return at < n && (text[at] == u'+' || text[at] == u'-'); };
    skipBlanks();
    if (isSign(i)) {
        ++i;
    }
    const qsizetype wholeEnd = skipDigits(i);
    bool digits = wholeEnd > i;
    i = wholeEnd;
    if (i < n && text[i] == u'.') {
        const qsizetype fractionEnd = skipDigits(i + 1);
        digits = digits || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!digits) {
        return false;
    }
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype from = isSign(i + 1) ? i + 2 : i + 1;
        const qsizetype to = skipDigits(from);
        if (to == from) {
            return false;
        }
        i = to;
    }
    skipBlanks();
    return i == n;
}

qint64 roundHalfEven(double value, qint64 lo, qint64 hi) {
    if (std::isnan(value)) {
        return std::clamp<qint64>(0, lo, hi);
    }
    if (value <= double(lo)) {
        return lo;
    }
    if (value >= double(hi)) {
        return hi;
    }
    // Within [lo, hi] the value fits a 64-bit integer; nearbyint rounds halves to even in the default mode.
    return std::clamp(qint64(std::nearbyint(value)), lo, hi);
}

QString numberText(double value) {
    if (value == 0.0) {
        return QStringLiteral("0"); // no "-0"
    }
    // A whole number below 10^15 has the same digits either way, and the general format takes far longer to find
    // them: the readings and the port's value are whole numbers.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        return wholeText(qint64(value));
    }
    return QString::number(value, 'g', 15);
}

const QString& NumberText::of(double value) {
    if (value >= 0 && value <= 255 && value == std::trunc(value)) {
        static const std::array<QString, 256> kSmall = [] {
            std::array<QString, 256> made;
            for (std::size_t n = 0; n < made.size(); ++n) {
                made.at(n) = numberText(double(n));
            }
            return made;
        }();
        return kSmall.at(std::size_t(value));
    }
    // Equal numbers have equal texts (0 and -0 both read "0"); NaN equals nothing and is formatted every time.
    if (text_.isNull() || !(value == number_)) {
        number_ = value;
        text_ = numberText(value);
    }
    return text_;
}

QString singleText(float value) {
    if (value == 0.0f) {
        return QStringLiteral("0");
    }
    return QString::number(double(value), 'g', 7);
}

int samplingPeriod(const QString& seconds) {
    constexpr qint64 kShortest = 100;
    constexpr qint64 kLongest = 60000;
    return int(roundHalfEven(prefixValue(seconds) * 1000.0, kShortest, kLongest));
}

} // namespace zavok::kit
