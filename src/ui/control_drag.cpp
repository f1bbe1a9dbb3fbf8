#include "control_drag.h"

#include "kit/window.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace zavok::ui {

namespace {

// The payload only marks the drag as ours; the control itself is found through the widget that started it.
const QString kControlFormat = QStringLiteral("application/x-zavok-control");

} // namespace

void dragControl(QWidget& widget, QPoint hotSpot) {
    auto* data = new QMimeData;
    data->setData(kControlFormat, widget.objectName().toUtf8());
    auto* drag = new QDrag(&widget);
    drag->setMimeData(data);
    drag->setPixmap(widget.grab());
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::MoveAction);
}

kit::Control* droppedControl(const QDropEvent& event, const QWidget& target, const kit::Window& window) {
    const auto* source = qobject_cast<const QWidget*>(event.source());
    if (source == nullptr || source->window() != target.window() || !event.mimeData()->hasFormat(kControlFormat)) {
        return nullptr;
    }
    return window.control(source->objectName());
}

} // namespace zavok::ui
