#include "control_widget.h"

#include "image_widget.h"
#include "kit/control.h"
#include "look.h"
#include "pointer_events.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

namespace zavok::ui {

namespace {

using kit::Control;
using kit::Property;
using Kind = Control::Kind;

// A multi-line text box keeps the program's CR LF line ends; the editor shows and hands back plain newlines.
QString asEdited(const QString& text) {
    QString edited = text;
    edited.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return edited;
}

// A text that only grew, such as a day's log read on as it is written, gains the new lines at its end: a long day
// is not laid out again, the caret and a found word stay where they are, and a view scrolled to the end follows it.
void showLines(QPlainTextEdit& editor, const QString& text) {
    const QString shown = editor.toPlainText();
    if (shown == text) {
        return;
    }
    const QSignalBlocker quiet(&editor);
    if (shown.isEmpty() || !text.startsWith(shown)) {
        editor.setPlainText(text);
        return;
    }
    QScrollBar& bar = *editor.verticalScrollBar();
    const bool atEnd = bar.value() == bar.maximum();
    QTextCursor end(editor.document());
    end.movePosition(QTextCursor::End);
    // What the program writes is no edit of the user's to undo, and a day of it would fill the undo history.
    editor.document()->setUndoRedoEnabled(false);
    end.insertText(text.sliced(shown.size()));
    editor.document()->setUndoRedoEnabled(true);
    if (atEnd) {
        bar.setValue(bar.maximum());
    }
}

void showText(Control& control, QWidget& widget) {
    const QString& text = control.text();
    switch (control.kind()) {
    case Kind::Label:
        static_cast<QLabel&>(widget).setText(text);
        return;
    case Kind::Button:
        static_cast<QPushButton&>(widget).setText(text);
        return;
    case Kind::Frame:
        static_cast<QGroupBox&>(widget).setTitle(text);
        return;
    case Kind::TextBox:
        // Only a text that differs is put back, so that the caret stays where the user is typing.
        if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            if (edit->text() != text) {
                const int caret = edit->cursorPosition();
                edit->setText(text);
                edit->setCursorPosition(caret);
            }
        } else if (auto* editor = qobject_cast<QPlainTextEdit*>(&widget)) {
            showLines(*editor, asEdited(text));
        }
        return;
    case Kind::ComboBox:
        // A text that is one of the entries selects it, so that the arrow keys go on from there.
        if (auto& combo = static_cast<QComboBox&>(widget); combo.currentText() != text) {
            const int entry = combo.findText(text, Qt::MatchExactly);
            if (entry >= 0) {
                combo.setCurrentIndex(entry);
            } else {
                combo.setEditText(text);
            }
        }
        return;
    case Kind::PictureBox:
    case Kind::Image:
        return;
    }
}

// Every control shows its own colours or the desktop's; only a label without a colour lets its container show.
void showColours(const Control& control, QWidget& widget) {
    QPalette::ColorRole backRole = QPalette::Window;
    QPalette::ColorRole foreRole = QPalette::WindowText;
    switch (control.kind()) {
    case Kind::Image:
        return;
    case Kind::Button:
        backRole = QPalette::Button;
        foreRole = QPalette::ButtonText;
        break;
    case Kind::TextBox:
    case Kind::ComboBox:
        backRole = QPalette::Base;
        foreRole = QPalette::Text;
        break;
    case Kind::Label:
        // A label without a colour of its own shows what it lies on, as a caption on a frame or window should.
        widget.setAutoFillBackground(control.back().has_value());
        break;
    case Kind::Frame:
    case Kind::PictureBox:
        widget.setAutoFillBackground(true);
        break;
    }
    const QPalette desktop = QApplication::palette();
    QPalette palette = widget.palette();
    palette.setColor(backRole, control.back() ? toColor(*control.back()) : desktop.color(backRole));
    // A disabled control keeps the desktop's greyed text, so that it looks disabled.
    const QColor fore = control.fore() ? toColor(*control.fore()) : desktop.color(foreRole);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, foreRole, fore);
        if (control.kind() == Kind::Frame) {
            palette.setColor(group, QPalette::Text, fore); // some styles draw the caption in this role
        }
    }
    widget.setPalette(palette);
}

// A caption cut by its label of one line (a long circuit name) is shown whole in the label's tip, above the tip's
// own text.
void showTip(const Control& control, QLabel& label) {
    const bool cut =
        !label.wordWrap() && label.fontMetrics().horizontalAdvance(control.text()) > label.contentsRect().width();
    label.setToolTip(!cut                      ? control.tip()
                     : control.tip().isEmpty() ? control.text()
                                               : control.text() + u'\n' + control.tip());
}

// A label whose tip is worked out when it is asked for: whether the caption is cut takes measuring (shaping) it,
// the dearest part of showing a label, which a new window would otherwise do for every label before its first
// paint, and which the paint does again.
class Caption final : public QLabel {
public:
    Caption(Control& control, QWidget& parent) : QLabel(&parent), control_(&control) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip && control_ != nullptr) {
            showTip(*control_, *this);
        }
        return QLabel::event(event);
    }

private:
    QPointer<Control> control_;
};

void showProperty(Control& control, QWidget& widget, Property property, const Twips& twips) {
    switch (property) {
    case Property::Text:
        showText(control, widget);
        return;
    case Property::Back:
    case Property::Fore:
        showColours(control, widget);
        return;
    case Property::Place:
        widget.setGeometry(twips.toPixels(control.place()));
        // A label of one line shows as much of a long caption as fits, rather than its first word alone.
        if (auto* label = qobject_cast<QLabel*>(&widget)) {
            label->setWordWrap(label->contentsRect().height() >= 2 * label->fontMetrics().lineSpacing());
        }
        return;
    case Property::Enabled:
        widget.setEnabled(control.isEnabled());
        return;
    case Property::Visible:
        widget.setVisible(control.isVisible());
        return;
    case Property::Locked:
        if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            edit->setReadOnly(static_cast<kit::TextBox&>(control).isLocked());
        } else if (auto* editor = qobject_cast<QPlainTextEdit*>(&widget)) {
            editor->setReadOnly(static_cast<kit::TextBox&>(control).isLocked());
        }
        return;
    case Property::Tip:
        if (qobject_cast<QLabel*>(&widget) == nullptr) { // a label's, when it is asked for
            widget.setToolTip(control.tip());
        }
        return;
    case Property::Picture:
        if (auto* image = qobject_cast<ImageWidget*>(&widget)) {
            image->showPicture();
        }
        return;
    case Property::Items:
        if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
            const QSignalBlocker quiet(combo);
            combo->clear();
            combo->addItems(static_cast<kit::ComboBox&>(control).items());
            combo->setEditText(control.text());
        }
        return;
    }
}

void setBorder(QFrame& frame, bool border) {
    if (border) {
        frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame.setLineWidth(1);
    }
}

QWidget* makeTextBox(kit::TextBox& box, QWidget& parent) {
    const QPointer<kit::TextBox> kit(&box);
    if (box.isMultiline()) {
        auto* editor = new QPlainTextEdit(&parent);
        editor->setLineWrapMode(QPlainTextEdit::NoWrap);
        editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        QObject::connect(editor, &QPlainTextEdit::textChanged, editor, [kit, editor] {
            if (kit != nullptr) {
                kit->typed(editor->toPlainText());
                showText(*kit, *editor);
            }
        });
        PointerEvents::forward(*editor, *editor->viewport(), box, PointerEvents::Mode::Share);
        return editor;
    }
    auto* edit = new QLineEdit(&parent);
    edit->setAlignment((toAlignment(box.align()) & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    // The kit cuts what is typed to the box's length and refuses it while the box is locked; whatever it keeps
    // is put back, so the box never shows what the program does not hold.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [kit, edit](const QString& text) {
        if (kit != nullptr) {
            kit->typed(text);
            showText(*kit, *edit);
        }
    });
    PointerEvents::forward(*edit, *edit, box, PointerEvents::Mode::Share);
    return edit;
}

QWidget* makeComboBox(kit::ComboBox& box, QWidget& parent) {
    const QPointer<kit::ComboBox> kit(&box);
    auto* combo = new QComboBox(&parent);
    combo->setEditable(true);
    // The list is fixed: a typed entry is a text, never a new item, and never completed into one.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(box.items());
    QObject::connect(combo, &QComboBox::activated, combo, [kit, combo](int index) {
        // Qt also reports typed text that names an entry as chosen when Enter ends the typing. Only an entry taken
        // from the list is a choice, and taking one puts its text into the line, which clears the typed mark.
        if (kit != nullptr && !combo->lineEdit()->isModified()) {
            kit->chosen(index);
            showText(*kit, *combo);
        }
    });
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [kit, combo](const QString& text) {
        if (kit != nullptr) {
            kit->typed(text);
            showText(*kit, *combo);
        }
    });
    return combo;
}

QWidget* makeWidget(Control& control, QWidget& parent, const Twips& twips) {
    switch (control.kind()) {
    case Kind::Label: {
        auto* label = new Caption(control, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(toAlignment(control.align()));
        setBorder(*label, control.hasBorder());
        PointerEvents::forward(*label, *label, control, PointerEvents::Mode::Own);
        return label;
    }
    case Kind::Button: {
        auto* button = new QPushButton(&parent);
        QObject::connect(button, &QPushButton::clicked, button, [kit = QPointer<Control>(&control)] {
            if (kit != nullptr) {
                kit->click();
            }
        });
        return button;
    }
    case Kind::Frame: {
        auto* frame = new QGroupBox(&parent);
        PointerEvents::forward(*frame, *frame, control, PointerEvents::Mode::Own);
        return frame;
    }
    case Kind::PictureBox: {
        auto* picture = new QFrame(&parent);
        setBorder(*picture, control.hasBorder());
        PointerEvents::forward(*picture, *picture, control, PointerEvents::Mode::Own);
        return picture;
    }
    case Kind::Image: {
        auto* image = new ImageWidget(static_cast<kit::Image&>(control), twips, &parent);
        setBorder(*image, control.hasBorder());
        image->showPicture();
        PointerEvents::forward(*image, *image, control, PointerEvents::Mode::Own);
        return image;
    }
    case Kind::TextBox:
        return makeTextBox(static_cast<kit::TextBox&>(control), parent);
    case Kind::ComboBox:
        return makeComboBox(static_cast<kit::ComboBox&>(control), parent);
    }
    Q_UNREACHABLE();
}

} // namespace

QWidget* makeControlWidget(Control& control, QWidget& parent, const Twips& twips) {
    QWidget* widget = makeWidget(control, parent, twips);
    widget->setObjectName(control.name());
    widget->setFont(toFont(control.font()));
    for (const Property property : {Property::Text, Property::Back, Property::Place, Property::Enabled,
                                    Property::Visible, Property::Locked, Property::Tip}) {
        showProperty(control, *widget, property, twips);
    }
    QObject::connect(&control, &Control::changed, widget,
                     [&control, widget, twips](Property property) { showProperty(control, *widget, property, twips); });
    return widget;
}

} // namespace zavok::ui
