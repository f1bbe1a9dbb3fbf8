#pragma once

#include <QString>

namespace zavok::channel {

// The value label of a disabled channel; phones.zvk carries it from one run to the next.
inline const QString kDis = QStringLiteral("DIS");

// The bar widths, in twips, of a channel at rest: its own window's bar and the zone's meter bar.
inline constexpr float kRestBar = 100;
inline constexpr float kRestMeterBar = 20;

// The calibration prompt of a frame at rest: its design-time caption, and where every finished or abandoned
// calibration returns to.
inline const QString kPressCalibrate = QStringLiteral("PRESS CALIBRATE TO SET ZERO AND FSD VALUES");

} // namespace zavok::channel
