// Preloaded (LD_PRELOAD) into a Qt Widgets program that knows nothing of it, so that the program itself is measured
// rather than a copy of its main(): once the top-level window named $ZAVOK_FIRST_PAINT_WINDOW (any top-level window
// when unset) has been painted for the first time, it prints the CLOCK_MONOTONIC nanoseconds of that moment on
// standard output and ends the process at once, since tearing the program down is no part of its start-up.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <time.h>

namespace {

class Watch final : public QObject {
public:
    explicit Watch(QObject* parent) : QObject(parent), window_(qgetenv("ZAVOK_FIRST_PAINT_WINDOW")) {}

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() != QEvent::Paint || seen_ || !target->isWidgetType()) {
            return false;
        }
        const QWidget* top = static_cast<QWidget*>(target)->window();
        if (!window_.isEmpty() && top->objectName().toUtf8() != window_) {
            return false;
        }
        seen_ = true;
        // Once every widget of this paint has drawn and the backing store has been flushed.
        QTimer::singleShot(0, [] {
            timespec t{};
            clock_gettime(CLOCK_MONOTONIC, &t);
            std::printf("%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
            std::fflush(stdout);
            std::_Exit(0);
        });
        return false;
    }

private:
    QByteArray window_;
    bool seen_ = false;
};

void install() {
    qApp->installEventFilter(new Watch(qApp));
    QTimer::singleShot(10000, [] {
        std::fputs("first_paint_hook: the window was not painted within 10 s\n", stderr);
        std::_Exit(3);
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
