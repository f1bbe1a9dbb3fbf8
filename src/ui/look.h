#pragma once

#include "kit/design.h"

#include <QColor>
#include <QFont>

namespace zavok::ui {

inline QColor toColor(kit::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

// The kit's three font families as fonts a Debian desktop has, each with fallbacks of the same kind.
QFont toFont(const kit::Font& font);

// Text aligned as the kit says, from the top as the program's labels are.
Qt::Alignment toAlignment(kit::Align align);

} // namespace zavok::ui
