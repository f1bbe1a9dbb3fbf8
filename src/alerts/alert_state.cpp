#include "alert_state.h"

#include "forms/circuit_state.h"

#include <array>

namespace zavok {

namespace {

// Made once: a record's text is the same at every activation, and the poll tick may make ten a second.
const QString& record(int alert, bool activated) {
    static const std::array<QString, 8> texts = [] {
        std::array<QString, 8> made;
        for (std::size_t i = 0; i < 4; ++i) {
            made.at(2 * i) = QStringLiteral("Alert #%1 activated at").arg(i + 1);
            made.at(2 * i + 1) = QStringLiteral("Alert #%1 deactivated at").arg(i + 1);
        }
        return made;
    }();
    return texts.at(2 * std::size_t(alert - 1) + (activated ? 0 : 1));
}

} // namespace

AlertState::AlertState(MainForm& form, const AlertBits& bits, const ActivityLog& log)
    : form_(form)
    , bits_(bits)
    , log_(log) {
    for (int n = 1; n <= 4; ++n) {
        form_.trigger.at(n - 1)->onChange = [this, n] { handle(n); };
    }
}

bool AlertState::isCircuitEnabled(int alert) const {
    return form_.enable.at(alert - 1)->text() == circuit::kEnabled;
}

std::optional<RecordFacts> AlertState::factsOf(const QString& message) {
    for (int n = 1; n <= 4; ++n) {
        for (const bool activated : {true, false}) {
            if (message == record(n, activated)) {
                return RecordFacts{activated ? RecordKind::AlertActivated : RecordKind::AlertDeactivated, n};
            }
        }
    }
    return std::nullopt;
}

void AlertState::handle(int alert) {
    const int i = alert - 1;
    // Kept while the circuit is off too, so that switching it on shows the contact as it stands at once.
    active_.at(i) = bits_.isActive(alert);
    if (!isCircuitEnabled(alert)) {
        return;
    }
    if (active_.at(i)) {
        form_.indicator.at(i)->setBack(circuit::kActive);
        form_.blabel.at(i)->setBack(circuit::kActive);
        form_.alabel.at(i)->setBack(circuit::kActive);
        log_.append(record(alert, true), {RecordKind::AlertActivated, alert});
    } else {
        // The status label keeps its colour: a light red one is the reminder that the alert happened.
        form_.indicator.at(i)->setBack(circuit::restColour(alert));
        form_.blabel.at(i)->setBack(circuit::restColour(alert));
        log_.append(record(alert, false), {RecordKind::AlertDeactivated, alert});
    }
}

void AlertState::resetReminders() {
    for (int n = 1; n <= 4; ++n) {
        const bool stillActive = bits_.isActive(n) && isCircuitEnabled(n);
        form_.alabel.at(n - 1)->setBack(stillActive ? circuit::kActive : circuit::restColour(n));
    }
}

} // namespace zavok
