#include "window_view.h"

#include "control_widget.h"
#include "find_bar.h"
#include "look.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

namespace zavok::ui {

namespace {

// A window of fixed size: it can be moved, minimised and closed, but not resized or maximised.
Qt::WindowFlags flagsFor(kit::Border border) {
    if (border == kit::Border::None) {
        return Qt::Window | Qt::FramelessWindowHint;
    }
    return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
           Qt::WindowCloseButtonHint;
}

} // namespace

WindowView::WindowView(kit::Window& window, const Twips& twips)
    : QWidget(nullptr, flagsFor(window.design().border))
    , window_(&window) {
    const kit::WindowDesign& design = window.design();
    setObjectName(window.name());
    setWindowTitle(window.caption());
    setFixedSize(twips.toPixelSize(design.width), twips.toPixelSize(design.height));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toColor(design.back));
    setPalette(palette);
    setAutoFillBackground(true);

    // Declaration order is stacking order: a later control is made later and so lies on top.
    for (kit::Control* control : window.controls()) {
        QWidget* parent = control->container() != nullptr ? widgets_.at(control->container()) : this;
        QWidget* widget = makeControlWidget(*control, *parent, twips);
        widgets_.emplace(control, widget);
        // A text of many lines, such as a day's log, can be searched.
        if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) {
            new FindBar(*editor);
        }
    }

    if (design.centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    connect(&window, &kit::Window::changed, this, &WindowView::follow);
    follow(kit::WindowProperty::Visible);
}

QWidget* WindowView::widget(const kit::Control& control) const {
    const auto found = widgets_.find(&control);
    return found != widgets_.end() ? found->second : nullptr;
}

void WindowView::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (window_ != nullptr) {
        window_->requestClose();
    }
}

void WindowView::follow(kit::WindowProperty property) {
    switch (property) {
    case kit::WindowProperty::Caption:
        setWindowTitle(window_->caption());
        return;
    case kit::WindowProperty::Visible:
        setVisible(window_->isVisible());
        showFocus();
        return;
    case kit::WindowProperty::Focus:
        showFocus();
        return;
    case kit::WindowProperty::Raise:
        raise();
        activateWindow();
        return;
    }
}

void WindowView::showFocus() {
    if (window_->focus() == nullptr) {
        return;
    }
    if (QWidget* focused = widget(*window_->focus())) {
        focused->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace zavok::ui
