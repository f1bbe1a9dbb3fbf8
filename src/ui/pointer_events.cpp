#include "pointer_events.h"

#include "control_drag.h"
#include "kit/control.h"

#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace zavok::ui {

PointerEvents::PointerEvents(QWidget& widget, kit::Control& control, Mode mode)
    : QObject(&widget)
    , widget_(widget)
    , control_(&control)
    , mode_(mode) {}

void PointerEvents::forward(QWidget& widget, QWidget& target, kit::Control& control, Mode mode) {
    target.installEventFilter(new PointerEvents(widget, control, mode));
}

bool PointerEvents::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
        return QObject::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // Qt hands a disabled widget's mouse to this filter all the same, and would then pass it on to the frame or
    // window underneath. It stops here: the kit refuses the click, and the drag is refused below.
    const bool own = mode_ == Mode::Own || (control_ != nullptr && !control_->isEnabled());
    if (mouse->button() != Qt::LeftButton || control_ == nullptr) {
        return own;
    }
    switch (type) {
    case QEvent::MouseButtonPress:
        swallowRelease_ = false;
        if (control_->isDraggable() && control_->isEnabled()) {
            // The drag runs an event loop of its own, in which this object may go away.
            const QPointer<PointerEvents> self(this);
            dragControl(widget_, mouse->position().toPoint());
            if (self != nullptr) {
                self->swallowRelease_ = true;
            }
            return true;
        }
        return own;
    case QEvent::MouseButtonDblClick:
        swallowRelease_ = true;
        control_->doubleClick();
        return own;
    default:
        if (!std::exchange(swallowRelease_, false) &&
            widget_.rect().contains(widget_.mapFromGlobal(mouse->globalPosition()).toPoint())) {
            control_->click();
        }
        return own;
    }
}

} // namespace zavok::ui
