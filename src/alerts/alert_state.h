#pragma once

#include "forms/main_form.h"
#include "log/activity_log.h"

#include <array>
#include <optional>

namespace zavok {

// The alert bits of the last decoded port reading, bit4..bit7 for alerts 1..4. A bit stays unset until first
// decoded; an unset bit counts as 0, the active state.
class AlertBits {
public:
    std::optional<int> bit(int k) const { return bits_.at(k); }
    void set(int k, int value) { bits_.at(k) = value; }
    // Alert n (1..4) is bit n + 3.
    bool isActive(int alert) const { return bits_.at(alert + 3).value_or(0) == 0; }

private:
    std::array<std::optional<int>, 8> bits_{};
};

// What the user sees and the log records of each alert: the handler that runs when an alert's trigger label
// changes or its circuit is switched back on, and the first step of RESET.
class AlertState {
public:
    AlertState(MainForm& form, const AlertBits& bits, const ActivityLog& log);

    void handle(int alert);
    // Clears the reminders of alerts at rest; an enabled alert that is still active stays light red.
    void resetReminders();

    bool isCircuitEnabled(int alert) const;
    // Whether the alert's contact stood active when its handler last ran: what its last record said, or would have
    // said on a circuit switched off. Inactive until the handler first runs, as the trigger labels show it.
    bool isActive(int alert) const { return active_.at(alert - 1); }

    // What a record in these words tells of: for the history's rows that were stored before records carried their
    // facts.
    static std::optional<RecordFacts> factsOf(const QString& message);

private:
    MainForm& form_;
    const AlertBits& bits_;
    const ActivityLog& log_;
    std::array<bool, 4> active_{};
};

} // namespace zavok
