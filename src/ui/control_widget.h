#pragma once

#include "twips.h"

class QWidget;

namespace zavok::kit {
class Control;
}

namespace zavok::ui {

// Makes the widget that draws `control` inside `parent`: named after the control, showing all its properties
// and following every change of them, and passing the user's clicks, typing and choices back to the kit.
QWidget* makeControlWidget(kit::Control& control, QWidget& parent, const Twips& twips);

} // namespace zavok::ui
