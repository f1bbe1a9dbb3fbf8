#include "trouble.h"

namespace zavok {

const QString Trouble::kCaption = QStringLiteral("ZAVOK - INPUT FAULT");
const QString Trouble::kBegan = QStringLiteral("Input fault at");
const QString Trouble::kEnded = QStringLiteral("Input restored at");

void Trouble::follow(const QString& fault) {
    const bool wasOn = isOn();
    reason_ = fault;
    if (isOn() == wasOn) {
        return;
    }
    form_.setCaption(isOn() ? kCaption : form_.design().caption);
    log_.append(isOn() ? kBegan : kEnded, {isOn() ? RecordKind::InputFault : RecordKind::InputRestored});
}

} // namespace zavok
