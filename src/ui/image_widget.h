#pragma once

#include "twips.h"

#include <QFrame>
#include <QPixmap>
#include <QPointer>

namespace zavok::kit {
class Control;
class Image;
} // namespace zavok::kit

namespace zavok::ui {

// Draws an image control's picture stretched to the control, and takes the controls dropped on it.
class ImageWidget final : public QFrame {
    Q_OBJECT

public:
    ImageWidget(kit::Image& image, const Twips& twips, QWidget* parent);

    // Shows the kit's picture; a file that cannot be read leaves the picture shown before.
    void showPicture();
    // `source` was released at `pixels` inside this widget.
    void drop(kit::Control& source, QPointF pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    kit::Control* carried(const QDropEvent& event) const;

    QPointer<kit::Image> image_;
    Twips twips_;
    QPixmap picture_;
};

} // namespace zavok::ui
