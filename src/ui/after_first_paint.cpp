#include "after_first_paint.h"

#include <QCoreApplication>
#include <QEvent>

namespace zavok::ui {

AfterFirstPaint::AfterFirstPaint(std::function<void()> then, int latestMs) : then_(std::move(then)) {
    QCoreApplication::instance()->installEventFilter(this);
    latest_.setSingleShot(true);
    latest_.callOnTimeout(this, [this] {
        QCoreApplication::instance()->removeEventFilter(this);
        then_();
    });
    latest_.start(latestMs);
}

AfterFirstPaint::~AfterFirstPaint() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        QCoreApplication::instance()->removeEventFilter(this);
        // Once the paint has drawn every widget and the window has been flushed.
        latest_.start(0);
    }
    return false;
}

} // namespace zavok::ui
