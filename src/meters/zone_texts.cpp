#include "zone_texts.h"

namespace zavok::zone {

QString event(const QString& label, const QString& name) {
    if (label == kLowAlarm) {
        return QStringLiteral("Low Alarm");
    }
    if (label == kHighAlarm) {
        return QStringLiteral("High Alarm");
    }
    if (label == kLowCalError) {
        return QStringLiteral("Low Calibration Error");
    }
    if (label == kHighCalError) {
        return QStringLiteral("High Calibration Error");
    }
    return label == name ? QStringLiteral("Normal") : QString();
}

} // namespace zavok::zone
