#include "after_first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace zavok::ui {

AfterFirstPaint::AfterFirstPaint(std::function<void()> then, QObject* parent)
    : QObject(parent)
    , then_(std::move(then)) {
    QCoreApplication::instance()->installEventFilter(this);
}

AfterFirstPaint::~AfterFirstPaint() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        QCoreApplication::instance()->removeEventFilter(this);
        // Once the paint has drawn every widget and the window has been flushed.
        QTimer::singleShot(0, this, [this] { then_(); });
    }
    return false;
}

} // namespace zavok::ui
