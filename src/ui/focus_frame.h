#pragma once

#include "kit/rgb.h"

#include <QObject>

namespace zavok::ui {

// Draws a frame around whichever control has the keyboard focus, over the control's own face: the program's
// coloured faces hide the desktop style's focus marks, and a user who moves with Tab must see where he is. One
// instance serves the whole application.
class FocusFrame final : public QObject {
    Q_OBJECT

public:
    static constexpr kit::Rgb kColour{0, 0, 0};
    static constexpr int kWidth = 2;

    explicit FocusFrame(QObject* parent = nullptr);
    ~FocusFrame() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace zavok::ui
