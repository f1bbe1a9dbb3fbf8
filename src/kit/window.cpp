#include "window.h"

#include "desktop.h"
#include "timer.h"

namespace zavok::kit {

Window::Window(Desktop& desktop, const QString& name, const WindowDesign& design)
    : desktop_(desktop)
    , design_(design)
    , caption_(design.caption) {
    setObjectName(name);
    desktop.adopt(*this);
}

Window::~Window() {
    desktop_.release(*this);
}

void Window::setCaption(const QString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        emit changed(WindowProperty::Caption);
    }
}

void Window::show() {
    if (!visible_) {
        visible_ = true;
        emit changed(WindowProperty::Visible);
    }
}

void Window::hide() {
    if (visible_) {
        visible_ = false;
        emit changed(WindowProperty::Visible);
    }
}

void Window::raise() {
    show();
    emit changed(WindowProperty::Raise);
}

void Window::setFocus(Control* control) {
    // A hidden or disabled control cannot take the focus; the window keeps what it had.
    if (control != nullptr && (!control->isEnabled() || !control->isVisible())) {
        return;
    }
    focus_ = control;
    emit changed(WindowProperty::Focus);
}

Control* Window::control(const QString& name) const {
    for (Control* c : controls_) {
        if (c->name() == name) {
            return c;
        }
    }
    return nullptr;
}

void Window::requestClose() {
    if (onCloseRequest) {
        // A copy: the handler may destroy this window, and the handler with it.
        const auto handler = onCloseRequest;
        handler();
    } else {
        hide();
    }
}

Timer& Window::addTimer(const QString& name, int interval, bool enabled) {
    auto* timer = new Timer(desktop_.scheduler(), name, interval, enabled, this);
    timers_.push_back(timer);
    return *timer;
}

} // namespace zavok::kit
