#pragma once

#include <QString>

namespace zavok::zone {

// The zone alarm texts, exact and in capitals.
inline const QString kLowAlarm = QStringLiteral("LOW ALARM");
inline const QString kHighAlarm = QStringLiteral("HIGH ALARM");
inline const QString kLowCalError = QStringLiteral("L.CAL ERROR");
inline const QString kHighCalError = QStringLiteral("H.CAL ERROR");

// The words of a zone's log record for each event it tells of: the record reads "<name> <event> at".
inline const QString kLowAlarmEvent = QStringLiteral("Low Alarm");
inline const QString kHighAlarmEvent = QStringLiteral("High Alarm");
inline const QString kLowCalErrorEvent = QStringLiteral("Low Calibration Error");
inline const QString kHighCalErrorEvent = QStringLiteral("High Calibration Error");
inline const QString kNormalEvent = QStringLiteral("Normal");

// What a zone label says happened, in the words of the zone's log record: "Low Alarm", "High Alarm", "Low Calibration
// Error", "High Calibration Error", or "Normal" when it shows the channel's name; empty for a text that tells of no
// event ("ENABLED", "DISABLED", "NO INPUT", a stale name). The alarm texts are tested first, so a channel named
// "HIGH ALARM" is in high alarm.
QString event(const QString& label, const QString& name);

} // namespace zavok::zone
