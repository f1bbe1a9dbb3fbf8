#pragma once

#include "kit/rgb.h"

namespace zavok::zone {

inline constexpr kit::Rgb kNormalFrame{128, 128, 255};
inline constexpr kit::Rgb kAlarmFrame{255, 0, 255};

} // namespace zavok::zone
