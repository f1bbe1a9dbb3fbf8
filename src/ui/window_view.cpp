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
    , window_(&window)
    , twips_(twips) {
    const kit::WindowDesign& design = window.design();
    setObjectName(window.name());
    setWindowTitle(window.caption());
    setFixedSize(twips.toPixelSize(design.width), twips.toPixelSize(design.height));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toColor(design.back));
    setPalette(palette);
    setAutoFillBackground(true);

    // Made in declaration order, so that it is their stacking and tab order. A hidden control is made when it is
    // first shown: the hidden text boxes hold what the program keeps, and an editor asks for the desktop's own font
    // as it is made, which nothing else in the window uses. A frame is made at once, as the controls in it need it.
    // A picture in the window itself is made first: it is read on a thread of its own, which the first paint waits
    // for, and so is read while the rest are made; the declaration order is then restored.
    const auto readFirst = [](const kit::Control& control) {
        return control.kind() == kit::Control::Kind::Image && control.isVisible() && control.container() == nullptr;
    };
    bool reordered = false;
    for (kit::Control* control : window.controls()) {
        if (readFirst(*control)) {
            make(*control);
            reordered = true;
        }
    }
    for (kit::Control* control : window.controls()) {
        if (readFirst(*control)) {
            continue;
        }
        if (control->isVisible() || control->kind() == kit::Control::Kind::Frame) {
            make(*control);
            continue;
        }
        connect(control, &kit::Control::changed, this, [this, control](kit::Property property) {
            if (property == kit::Property::Visible && control->isVisible() && !widgets_.contains(control)) {
                make(*control);
                followDeclarationOrder();
            }
        });
    }
    if (reordered) {
        followDeclarationOrder();
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

void WindowView::make(kit::Control& control) {
    QWidget* parent = control.container() != nullptr ? widgets_.at(control.container()) : this;
    QWidget* made = makeControlWidget(control, *parent, twips_);
    widgets_.emplace(&control, made);
    // A text of many lines, such as a day's log, can be searched.
    if (auto* editor = qobject_cast<QPlainTextEdit*>(made)) {
        new FindBar(*editor);
    }
}

// Declaration order is stacking order, a later control lying on top, and tab order. Qt sets no tab order beside a
// control that takes no focus, so the order is set between the controls that take it.
void WindowView::followDeclarationOrder() {
    QWidget* previous = nullptr;
    for (const kit::Control* control : window_->controls()) {
        if (QWidget* made = widget(*control)) {
            made->raise();
            if (made->focusPolicy() == Qt::NoFocus) {
                continue;
            }
            if (previous != nullptr) {
                setTabOrder(previous, made);
            }
            previous = made;
        }
    }
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
