#pragma once

#include "kit/rgb.h"

#include <QString>

namespace zavok::circuit {

// A circuit's state is the caption of its switch, compared exactly.
inline const QString kEnabled = QStringLiteral("ENABLED");
inline const QString kDisabled = QStringLiteral("DISABLED");

inline constexpr kit::Rgb kSwitchedOn{0, 130, 0}; // not the design's RGB(0,128,0): a switched circuit shows this
inline constexpr kit::Rgb kSwitchedOff{255, 0, 0};

// Alerts 1 and 2 rest in light green, alerts 3 and 4 in light cyan; every alert is light red when active.
inline constexpr kit::Rgb restColour(int alert) {
    return alert <= 2 ? kit::kPaletteLightGreen : kit::kPaletteLightCyan;
}
inline constexpr kit::Rgb kActive = kit::kPaletteLightRed;

} // namespace zavok::circuit
