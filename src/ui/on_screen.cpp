#include "on_screen.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace zavok::ui {

namespace {

QMargins frameOf(const QWidget& window) {
    return window.windowHandle() != nullptr ? window.windowHandle()->frameMargins() : QMargins();
}

} // namespace

QRect within(QRect frame, const QRect& available) {
    frame.setSize(frame.size().boundedTo(available.size()));
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() + 1 - frame.height()));
    return frame;
}

OnScreen::OnScreen(std::function<const QWidget*()> mainWindow, QObject* parent)
    : QObject(parent)
    , mainWindow_(std::move(mainWindow)) {
    qApp->installEventFilter(this);
}

OnScreen::~OnScreen() {
    qApp->removeEventFilter(this);
}

bool OnScreen::eventFilter(QObject* watched, QEvent* event) {
    // A window is shown after its native window exists and before it is mapped: the last moment to place it.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        if (auto* window = static_cast<QWidget*>(watched);
            window->isWindow() && !(window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip)) {
            place(*window);
        }
    }
    return false;
}

void OnScreen::place(QWidget& window) const {
    const QWidget* main = mainWindow_ ? mainWindow_() : nullptr;
    const QWidget* parent = window.parentWidget() != nullptr ? window.parentWidget()->window() : main;
    const QScreen* screen = parent != nullptr && parent != &window ? parent->screen() : window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    QMargins margins = frameOf(window);
    if (margins.isNull() && main != nullptr) {
        margins = frameOf(*main);
    }
    const QRect frame = QRect(window.pos(), window.size()).marginsAdded(margins);
    const QRect fitted = within(frame, available);
    const bool resizable = window.minimumSize() != window.maximumSize();
    if (resizable && fitted.size() != frame.size()) {
        window.resize(window.size().boundedTo(fitted.marginsRemoved(margins).size()));
    }
    // Qt centres a window nobody placed when it fits well within the screen (within eight ninths), and leaves one
    // that does not where it lies; the desktop may then put it anywhere.
    const bool placed = window.testAttribute(Qt::WA_Moved);
    const QSize sized = window.size().grownBy(margins);
    if (!placed && sized.width() * 9 < available.width() * 8 && sized.height() * 9 < available.height() * 8) {
        return;
    }
    QRect target(window.pos(), sized);
    if (!placed) {
        target.moveCenter(available.center());
    }
    window.move(within(target, available).topLeft());
}

} // namespace zavok::ui
