#pragma once

#include <QString>

namespace zavok::zone {

// The zone alarm texts, exact and in capitals.
inline const QString kLowAlarm = QStringLiteral("LOW ALARM");
inline const QString kHighAlarm = QStringLiteral("HIGH ALARM");
inline const QString kLowCalError = QStringLiteral("L.CAL ERROR");
inline const QString kHighCalError = QStringLiteral("H.CAL ERROR");

} // namespace zavok::zone
