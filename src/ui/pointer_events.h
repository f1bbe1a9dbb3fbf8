#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace zavok::kit {
class Control;
}

namespace zavok::ui {

// Brings the mouse on a control's widget to the kit: a press and release over it is a click, a double click
// is a click and then a double click, as the program's controls have always reported them, and a press on a
// control that drags by itself starts the drag instead.
class PointerEvents final : public QObject {
    Q_OBJECT

public:
    enum class Mode {
        // The widget is only a face (label, picture, frame): its mouse is the kit's alone and goes no further, not
        // even to the frame or window underneath.
        Own,
        // The widget handles the mouse itself (text editing): the kit is told as well. A disabled one is a face.
        Share,
    };

    // Watches `target`, which is `widget` or, for a scroll area, its viewport.
    static void forward(QWidget& widget, QWidget& target, kit::Control& control, Mode mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PointerEvents(QWidget& widget, kit::Control& control, Mode mode);

    QWidget& widget_;
    QPointer<kit::Control> control_;
    Mode mode_;
    // The release that ends a double click or a drag is no click of its own.
    bool swallowRelease_ = false;
};

} // namespace zavok::ui
