#include "image_widget.h"

#include "control_drag.h"
#include "kit/control.h"
#include "kit/pictures.h"
#include "kit/window.h"
#include "ui/qt_pictures.h"

#include <QDropEvent>
#include <QPainter>

namespace zavok::ui {

ImageWidget::ImageWidget(kit::Image& image, const Twips& twips, QWidget* parent)
    : QFrame(parent)
    , image_(&image)
    , twips_(twips) {
    setAcceptDrops(true);
    showPicture();
}

void ImageWidget::showPicture() {
    // The picture being read is shown before, should this one not be read.
    takePicture();
    const QString& chosen = image_->picture();
    const QString path = chosen.isEmpty() ? kit::kFloorPlanPicture : chosen;
    // Where no thread can be started, std::async reads it here, when the paint asks for it.
    reading_ = std::async([path] { return readPicture(path); });
    update();
}

void ImageWidget::takePicture() {
    if (!reading_.valid()) {
        return;
    }
    QImage picture = reading_.get();
    if (!picture.isNull()) {
        picture_ = QPixmap::fromImage(std::move(picture));
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
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(contentsRect(), picture_);
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
