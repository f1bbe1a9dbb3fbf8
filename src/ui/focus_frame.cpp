#include "focus_frame.h"

#include "look.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace zavok::ui {

FocusFrame::FocusFrame(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

FocusFrame::~FocusFrame() {
    qApp->removeEventFilter(this);
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        widget->update();
        return false;
    case QEvent::Paint: {
        // A box inside a control that has the focus through it (the line of a combo box) leaves the frame to it.
        if (!widget->hasFocus() || (widget->parentWidget() != nullptr && widget->parentWidget()->hasFocus())) {
            return false;
        }
        // The control draws itself first, and the frame goes over it.
        static_cast<QObject*>(widget)->event(event);
        QPainter painter(widget);
        painter.setPen(QPen(toColor(kColour), kWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(widget->rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
        return true;
    }
    default:
        return false;
    }
}

} // namespace zavok::ui
