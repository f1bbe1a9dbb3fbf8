#pragma once

#include <QtGlobal>

namespace zavok::kit {

// A colour as the program names it: an RGB triple. QColor lives in QtGui, which the core may not use.
struct Rgb {
    quint8 r = 0;
    quint8 g = 0;
    quint8 b = 0;

    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// The three entries of the 16-colour palette that the program names by number.
inline constexpr Rgb kPaletteLightGreen{0, 255, 0};
inline constexpr Rgb kPaletteLightCyan{0, 255, 255};
inline constexpr Rgb kPaletteLightRed{255, 0, 0};

} // namespace zavok::kit
