#pragma once

#include <QString>

#include <limits>
#include <optional>

namespace zavok::kit {

// The number formed by the text's leading numeric characters (blanks skipped; sign, digits, one decimal
// point, exponent). A text that does not begin with a number, such as "DIS" or "", reads as 0.
double prefixValue(const QString& text);

// Whether the whole text, blanks around it aside, reads as a number.
bool isNumericText(const QString& text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), saturated to [lo, hi]; NaN gives 0.
qint64 roundHalfEven(double value, qint64 lo, qint64 hi);

inline int toInt(double value) {
    return int(roundHalfEven(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
inline qint16 toInt16(double value) {
    return qint16(roundHalfEven(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

// A number in general number format: no leading blank, no decimal point for a whole number.
QString numberText(double value);
// The same for a single-precision number, with the digits a single holds.
QString singleText(float value);

// A number with the text numberText() gives for it: the general format of a double is the dearest step of a tick, and
// a steady sensor shows the same numbers tick after tick, so the text is made only when the number changes. The whole
// numbers 0 to 255 (the port's bytes, most meter values) have theirs made once for all number texts, since a contact
// that changes back and forth changes the port's number at every change.
class NumberText {
public:
    const QString& of(double value);

private:
    double number_ = 0;
    QString text_;
};

// A timer period in milliseconds from a sampling time in seconds. Periods are kept within 100..60000 ms: the
// sampling-time window never offers anything else, and a damaged settings line ("0", "abc", "1e9") must not stop
// a timer for good or make it spin.
int samplingPeriod(const QString& seconds);

// What a text was last read as (by `read`, a function of the text alone), read again only when the text has
// changed: the ticks read their numbers from the windows' texts, which change only when the user, a calibration or
// the tick itself changes them.
template <typename Value> class TextReading {
public:
    template <typename Read> Value of(const QString& text, Read read) {
        if (text != text_) {
            text_ = text;
            value_ = read(text);
        }
        return value_;
    }

private:
    std::optional<QString> text_;
    Value value_{};
};

} // namespace zavok::kit
