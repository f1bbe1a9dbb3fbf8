#include "phones_readings.h"

#include "app/settings_files.h"
#include "forms/channel_state.h"
#include "forms/circuit_state.h"
#include "kit/numbers.h"

#include <optional>

namespace zavok::phones {

namespace {

constexpr int kMostMeterLow = 100;
constexpr int kMostMeterFull = 500;

// A whole number as the meter dialog writes it: no sign, blank or leading zero of its own.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && QString::number(value) == text ? std::optional(value) : std::nullopt;
}

// What the meter dialog can store. Any other scale can stop a meter for good: a full scale that reads as 0 makes
// the span 0, and every value then lands on the low mark, where no alarm is ever raised.
bool isMeterScale(const QString& lowText, const QString& fullText) {
    const auto low = wholeNumber(lowText);
    const auto full = wholeNumber(fullText);
    return low && full && *low >= 0 && *low <= kMostMeterLow && *full >= 0 && *full <= kMostMeterFull && *full > *low;
}

} // namespace

void makeSafe(QStringList& values, const Rules& rules, SettingsDamage& damage) {
    const QString& file = SettingsFiles::kPhones;
    const auto use = [&](int line, const QString& used) {
        if (values.at(line) != used) {
            damage.readAs(file, line + 1, values.at(line), used);
            values[line] = used;
        }
    };
    for (int k = 0; k < 4; ++k) {
        if (!isMeterScale(values.at(kMeterLows + k), values.at(kMeterFulls + k))) {
            use(kMeterLows + k, rules.design.at(kMeterLows + k));
            use(kMeterFulls + k, rules.design.at(kMeterFulls + k));
        }
    }
    // A number outside the meter is a setting all the same: the meter may have been changed after the limits. So is
    // one beyond a double, which the calibration dialog takes.
    for (int line = kChannelSettings; line < kNames; ++line) {
        if (!kit::isNumericText(values.at(line))) {
            use(line, rules.design.at(line));
        }
    }
    for (int line = kNames; line < kCircuits; ++line) {
        use(line, values.at(line).left(rules.nameLength));
    }
    // Only the exact word switches a circuit off: any other caption would leave it neither on nor off, and its
    // alarms unheard.
    for (int line = kCircuits; line < kSamplingTimes; ++line) {
        if (values.at(line) != circuit::kDisabled) {
            use(line, circuit::kEnabled);
        }
    }
    // The periods saturate anyway; the window must show the period that is in force.
    for (int row = 0; row < 5; ++row) {
        const int line = kSamplingTimes + row;
        if (!rules.samplingChoices.at(row).contains(values.at(line))) {
            use(line, rules.design.at(line));
        }
    }
    // Anything but "DIS" starts the channel enabled, the safe side already. A value that is no number is not shown
    // until the first reading replaces it: the empty caption that a short file gives, which reads back sound.
    for (int line = kValues; line < kLines; ++line) {
        const QString& value = values.at(line);
        if (value != channel::kDis && !value.isEmpty() && !kit::isNumericText(value)) {
            use(line, QString());
        }
    }
}

} // namespace zavok::phones
