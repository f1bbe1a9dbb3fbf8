#pragma once

#include "design.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace zavok::kit {

class Window;
class Frame;

// What changed on a control, so that an observer redraws only that.
enum class Property { Text, Back, Fore, Place, Enabled, Visible, Locked, Tip, Picture, Items };

// A control of a window: the program's state lives in these captions, colours and flags. The core reads and
// writes them directly; the renderer only observes them and forwards the user's events in.
class Control : public QObject {
    Q_OBJECT

public:
    enum class Kind { Label, TextBox, Button, Frame, PictureBox, Image, ComboBox };

    Control(Kind kind, Window& window, Frame* container, const QString& name, const Design& design);

    Kind kind() const { return kind_; }
    QString name() const { return objectName(); }
    Window& window() const { return window_; }
    Frame* container() const { return container_; }

    // The caption of a label, button or frame, or the text of a text box or combo box. Writing a different text
    // runs the change handler at once, nested inside this call; writing the same text runs nothing.
    const QString& text() const { return text_; }
    void setText(const QString& text);

    std::optional<Rgb> back() const { return back_; }
    void setBack(Rgb colour);
    std::optional<Rgb> fore() const { return fore_; }
    void setFore(Rgb colour);

    const Place& place() const { return place_; }
    float left() const { return place_.left; }
    float top() const { return place_.top; }
    float width() const { return place_.width; }
    float height() const { return place_.height; }
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    const QString& tip() const { return tip_; }
    void setTip(const QString& tip);
    const Font& font() const { return font_; }
    Align align() const { return align_; }
    bool hasBorder() const { return border_; }
    bool isDraggable() const { return draggable_; }

    bool hasFocus() const;
    void setFocus();

    // Events from the user. A disabled or hidden control takes none: the rule lives here, not in the renderer.
    void click();
    void doubleClick();

    std::function<void()> onChange;
    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

signals:
    void changed(zavok::kit::Property property);

protected:
    bool takesEvents() const { return enabled_ && visible_; }
    void notify(Property property) { emit changed(property); }

private:
    void setPlace(const Place& place);

    Kind kind_;
    Window& window_;
    Frame* container_;
    QString text_;
    std::optional<Rgb> back_;
    std::optional<Rgb> fore_;
    Place place_;
    bool enabled_;
    bool visible_;
    QString tip_;
    Font font_;
    Align align_;
    bool border_;
    bool draggable_;
};

class Label : public Control {
    Q_OBJECT
public:
    Label(Window& window, Frame* container, const QString& name, const Design& design)
        : Control(Kind::Label, window, container, name, design) {}
};

class Button : public Control {
    Q_OBJECT
public:
    Button(Window& window, Frame* container, const QString& name, const Design& design)
        : Control(Kind::Button, window, container, name, design) {}
};

class Frame : public Control {
    Q_OBJECT
public:
    Frame(Window& window, Frame* container, const QString& name, const Design& design)
        : Control(Kind::Frame, window, container, name, design) {}
};

class PictureBox : public Control {
    Q_OBJECT
public:
    PictureBox(Window& window, Frame* container, const QString& name, const Design& design)
        : Control(Kind::PictureBox, window, container, name, design) {}
};

class TextBox : public Control {
    Q_OBJECT
public:
    TextBox(Window& window, Frame* container, const QString& name, const Design& design);

    bool isLocked() const { return locked_; }
    void setLocked(bool locked);
    int maxLength() const { return maxLength_; }
    bool isMultiline() const { return multiline_; }

    // The user typed: taken only while the box is enabled and unlocked, and cut to its maximum length.
    void typed(const QString& text);

private:
    bool locked_;
    int maxLength_;
    bool multiline_;
};

class ComboBox : public Control {
    Q_OBJECT
public:
    ComboBox(Window& window, Frame* container, const QString& name, const Design& design, QStringList items);

    const QStringList& items() const { return items_; }

    // Choosing an entry puts it into the text and runs the click handler; typing only changes the text.
    void chosen(int index);
    void typed(const QString& text);

private:
    QStringList items_;
};

// An image control: shows a picture stretched to its place, and takes controls dropped on it.
class Image : public Control {
    Q_OBJECT
public:
    Image(Window& window, Frame* container, const QString& name, const Design& design);

    // The file the picture came from (a resource path for the pictures built into the program); empty for none.
    const QString& picture() const { return picture_; }
    void setPicture(const QString& path);

    // A control was dragged and released at (x, y) twips inside this image. A disabled control cannot be dropped.
    void dropped(Control& source, float x, float y);

    std::function<void(Control& source, float x, float y)> onDrop;

private:
    QString picture_;
};

} // namespace zavok::kit
