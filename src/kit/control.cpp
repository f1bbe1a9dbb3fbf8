#include "control.h"

#include "dialogs.h"
#include "window.h"

namespace zavok::kit {

namespace {

// Runs the handler of a user's event. A handler that the program's end interrupted in a box stops there: the event
// is over, and the program goes on ending.
template <class... Args> void deliver(const std::function<void(Args...)>& handler, Args... args) {
    if (!handler) {
        return;
    }
    try {
        handler(args...);
    } catch (const Unanswered&) {
    }
}

} // namespace

Control::Control(Kind kind, Window& window, Frame* container, const QString& name, const Design& design)
    : QObject(&window)
    , kind_(kind)
    , window_(window)
    , container_(container)
    , text_(design.text)
    , back_(design.back)
    , fore_(design.fore)
    , place_(design.place)
    , enabled_(design.enabled)
    , visible_(design.visible)
    , tip_(design.tip)
    , font_(design.font)
    , align_(design.align)
    , border_(design.border)
    , draggable_(design.draggable) {
    setObjectName(name);
    window.adopt(*this);
}

void Control::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    notify(Property::Text);
    if (onChange) {
        onChange();
    }
}

void Control::setBack(Rgb colour) {
    if (back_ == colour) {
        return;
    }
    back_ = colour;
    notify(Property::Back);
}

void Control::setFore(Rgb colour) {
    if (fore_ == colour) {
        return;
    }
    fore_ = colour;
    notify(Property::Fore);
}

void Control::setPlace(const Place& place) {
    place_ = place;
    notify(Property::Place);
}

void Control::setLeft(float left) {
    if (left != place_.left) {
        setPlace({left, place_.top, place_.width, place_.height});
    }
}

void Control::setTop(float top) {
    if (top != place_.top) {
        setPlace({place_.left, top, place_.width, place_.height});
    }
}

void Control::setWidth(float width) {
    if (width != place_.width) {
        setPlace({place_.left, place_.top, width, place_.height});
    }
}

void Control::setEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        notify(Property::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        notify(Property::Visible);
    }
}

void Control::setTip(const QString& tip) {
    if (tip != tip_) {
        tip_ = tip;
        notify(Property::Tip);
    }
}

bool Control::hasFocus() const {
    return window_.focus() == this;
}

void Control::setFocus() {
    window_.setFocus(this);
}

void Control::click() {
    if (takesEvents()) {
        deliver(onClick);
    }
}

void Control::doubleClick() {
    if (takesEvents()) {
        deliver(onDoubleClick);
    }
}

TextBox::TextBox(Window& window, Frame* container, const QString& name, const Design& design)
    : Control(Kind::TextBox, window, container, name, design)
    , locked_(design.locked)
    , maxLength_(design.maxLength)
    , multiline_(design.multiline) {}

void TextBox::setLocked(bool locked) {
    if (locked != locked_) {
        locked_ = locked;
        notify(Property::Locked);
    }
}

void TextBox::typed(const QString& text) {
    if (!takesEvents() || locked_) {
        return;
    }
    setText(maxLength_ > 0 ? text.left(maxLength_) : text);
}

ComboBox::ComboBox(Window& window, Frame* container, const QString& name, const Design& design, QStringList items)
    : Control(Kind::ComboBox, window, container, name, design)
    , items_(std::move(items)) {}

void ComboBox::chosen(int index) {
    if (!takesEvents() || index < 0 || index >= items_.size()) {
        return;
    }
    setText(items_.at(index));
    deliver(onClick);
}

void ComboBox::typed(const QString& text) {
    if (takesEvents()) {
        setText(text);
    }
}

Image::Image(Window& window, Frame* container, const QString& name, const Design& design)
    : Control(Kind::Image, window, container, name, design) {}

void Image::setPicture(const QString& path) {
    if (path != picture_) {
        picture_ = path;
        notify(Property::Picture);
    }
}

void Image::dropped(Control& source, float x, float y) {
    if (source.isEnabled()) {
        deliver<Control&, float, float>(onDrop, source, x, y);
    }
}

} // namespace zavok::kit
