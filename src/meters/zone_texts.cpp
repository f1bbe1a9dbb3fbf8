#include "zone_texts.h"

#include <algorithm>
#include <array>

namespace zavok::zone {

namespace {

struct Row {
    State state;
    const QString* label; // nothing for the normal state, which shows the channel's name
    QString words;
    RecordKind kind;
};

// In the order the label is tested.
const std::array<Row, 5>& rows() {
    static const std::array<Row, 5> table{{
        {State::LowAlarm, &kLowAlarm, QStringLiteral("Low Alarm"), RecordKind::ZoneLowAlarm},
        {State::HighAlarm, &kHighAlarm, QStringLiteral("High Alarm"), RecordKind::ZoneHighAlarm},
        {State::LowCalError, &kLowCalError, QStringLiteral("Low Calibration Error"), RecordKind::ZoneLowCalError},
        {State::HighCalError, &kHighCalError, QStringLiteral("High Calibration Error"), RecordKind::ZoneHighCalError},
        {State::Normal, nullptr, QStringLiteral("Normal"), RecordKind::ZoneNormal},
    }};
    return table;
}

const Row& row(State state) {
    return *std::find_if(rows().begin(), rows().end(), [state](const Row& r) { return r.state == state; });
}

} // namespace

std::optional<State> shownState(const QString& label, const QString& name) {
    for (const Row& r : rows()) {
        if (r.label != nullptr && label == *r.label) {
            return r.state;
        }
    }
    return label == name ? std::optional(State::Normal) : std::nullopt;
}

const QString& words(State state) {
    return row(state).words;
}

RecordKind recordKind(State state) {
    return row(state).kind;
}

QString record(const QString& name, State state) {
    return name + u' ' + words(state) + QStringLiteral(" at");
}

std::optional<State> recordedState(QStringView message) {
    if (!message.endsWith(u" at")) {
        return std::nullopt;
    }
    const QStringView said = message.chopped(3);
    for (const Row& r : rows()) {
        const qsizetype name = said.size() - r.words.size() - 1;
        if (name >= 0 && said.endsWith(r.words) && said[name] == u' ') {
            return r.state;
        }
    }
    return std::nullopt;
}

} // namespace zavok::zone
