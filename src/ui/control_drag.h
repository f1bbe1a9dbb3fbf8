#pragma once

#include <QPoint>

class QDropEvent;
class QWidget;

namespace zavok::kit {
class Control;
class Window;
} // namespace zavok::kit

namespace zavok::ui {

// Drags the control drawn by `widget`, held at `hotSpot`, until the user lets go. The widget and everything else
// may be gone by the time this returns.
void dragControl(QWidget& widget, QPoint hotSpot);

// The control of `window` that a drop onto `target` carries, or nullptr when it carries something else (another
// window's control, another program's data).
kit::Control* droppedControl(const QDropEvent& event, const QWidget& target, const kit::Window& window);

} // namespace zavok::ui
