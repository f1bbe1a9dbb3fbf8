#pragma once

#include "twips.h"

#include <QFrame>
#include <QImage>
#include <QPointer>

#include <future>

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

    // Shows the kit's picture; a file that cannot be read leaves the picture shown before. The file is read, and
    // stretched to the control, on a thread of its own while the window's other controls are made; the widget's
    // paint takes it.
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
    // Waits for the picture being read, if any, and shows it unless it could not be read.
    void takePicture();

    struct Picture {
        QImage picture;
        QImage stretched; // as drawn into the control's place when it was read
    };

    QPointer<kit::Image> image_;
    Twips twips_;
    Picture picture_;
    std::future<Picture> reading_;
};

} // namespace zavok::ui
