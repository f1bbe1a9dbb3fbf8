#include "image_widget.h"

#include "control_drag.h"
#include "kit/control.h"
#include "kit/pictures.h"
#include "kit/window.h"
#include "ui/qt_pictures.h"

#include <QDropEvent>
#include <QPainter>

namespace zavok::ui {

namespace {

// Qt blends a picture stretched over more rows than this on the threads of its pool, which at the start take the
// processor from the windows being made; in bands of this many it blends on the calling thread, to the same pixels.
constexpr int kBandRows = 64;

// The picture as it is drawn into `size` device pixels: stretched, smoothly, as the paint would.
QImage stretched(const QImage& picture, QSize size, qreal ratio) {
    if (picture.isNull() || size.isEmpty()) {
        return {};
    }
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int top = 0; top < size.height(); top += kBandRows) {
        painter.setClipRect(0, top, size.width(), kBandRows);
        painter.drawImage(drawn.rect(), picture);
    }
    painter.end();
    drawn.setDevicePixelRatio(ratio);
    return drawn;
}

} // namespace

ImageWidget::ImageWidget(kit::Image& image, const Twips& twips, QWidget* parent)
    : QFrame(parent)
    , image_(&image)
    , twips_(twips) {
    setAcceptDrops(true);
}

void ImageWidget::showPicture() {
    // The picture being read is shown before, should this one not be read.
    takePicture();
    const QString& chosen = image_->picture();
    const QString path = chosen.isEmpty() ? kit::kFloorPlanPicture : chosen;
    // Stretched to the place the kit gives the control, inside the frame, ahead of the paint; a control moved
    // since is stretched to at its paint.
    const qreal ratio = devicePixelRatioF();
    const int frame = 2 * frameWidth();
    const QSize size = (twips_.toPixels(image_->place()).size() - QSize(frame, frame)) * ratio;
    // Where no thread can be started, std::async reads it here, when the paint asks for it.
    reading_ = std::async([path, size, ratio] {
        Picture read;
        read.picture = readPicture(path);
        read.stretched = stretched(read.picture, size, ratio);
        return read;
    });
    update();
}

void ImageWidget::takePicture() {
    if (!reading_.valid()) {
        return;
    }
    Picture read = reading_.get();
    if (!read.picture.isNull()) {
        picture_ = std::move(read);
    }
}

void ImageWidget::drop(kit::Control& source, QPointF pixels) {
    if (image_ != nullptr) {
        const QPointF at = twips_.toTwips(pixels);
        image_->dropped(source, float(at.x()), float(at.y()));
    }
}

void ImageWidget::paintEvent(QPaintEvent* event) {
    takePicture();
    if (!picture_.picture.isNull()) {
        QPainter painter(this);
        const QRect inside = contentsRect();
        const QImage& ready = picture_.stretched;
        if (ready.deviceIndependentSize() == inside.size() && ready.devicePixelRatio() == devicePixelRatioF()) {
            painter.drawImage(inside.topLeft(), ready);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(inside, picture_.picture);
        }
    }
    QFrame::paintEvent(event);
}

kit::Control* ImageWidget::carried(const QDropEvent& event) const {
    return image_ != nullptr ? droppedControl(event, *this, image_->window()) : nullptr;
}

void ImageWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (carried(*event) != nullptr) {
        event->acceptProposedAction();
    }
}

void ImageWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (carried(*event) != nullptr) {
        event->acceptProposedAction();
    }
}

void ImageWidget::dropEvent(QDropEvent* event) {
    if (kit::Control* source = carried(*event)) {
        event->acceptProposedAction();
        drop(*source, event->position());
    }
}

} // namespace zavok::ui
