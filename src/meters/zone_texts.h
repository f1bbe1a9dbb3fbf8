#pragma once

#include "log/record_facts.h"

#include <QString>

#include <optional>

namespace zavok::zone {

// The zone alarm texts, exact and in capitals.
inline const QString kLowAlarm = QStringLiteral("LOW ALARM");
inline const QString kHighAlarm = QStringLiteral("HIGH ALARM");
inline const QString kLowCalError = QStringLiteral("L.CAL ERROR");
inline const QString kHighCalError = QStringLiteral("H.CAL ERROR");

// The state a zone label shows, as its log record tells it.
enum class State { Normal, LowAlarm, HighAlarm, LowCalError, HighCalError };

// What a zone label shows: one of the alarm texts, or the channel's name (normal); nothing for a text that tells of
// no state ("ENABLED", "DISABLED", "NO INPUT", a stale name). The alarm texts are tested first, so a channel named
// "HIGH ALARM" is in high alarm.
std::optional<State> shownState(const QString& label, const QString& name);

// The words of a zone's log record for the state it tells of: the record reads "<name> <words> at". "Low Alarm",
// "High Alarm", "Low Calibration Error", "High Calibration Error" or "Normal".
const QString& words(State state);
RecordKind recordKind(State state);

// The record of a zone entering `state`, its channel named `name`.
QString record(const QString& name, State state);

// The state that a zone's record in these words tells of, for the history's rows stored before records carried their
// facts; nothing for any other record. The channel's name before the words is not needed, and may since have changed.
std::optional<State> recordedState(QStringView message);

} // namespace zavok::zone
