#include "zone_texts.h"

namespace zavok::zone {

QString event(const QString& label, const QString& name) {
    if (label == kLowAlarm) {
        return kLowAlarmEvent;
    }
    if (label == kHighAlarm) {
        return kHighAlarmEvent;
    }
    if (label == kLowCalError) {
        return kLowCalErrorEvent;
    }
    if (label == kHighCalError) {
        return kHighCalErrorEvent;
    }
    return label == name ? kNormalEvent : QString();
}

} // namespace zavok::zone
