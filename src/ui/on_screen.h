#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QWidget;

namespace zavok::ui {

// `frame` moved, and shrunk where it does not fit, so that it lies within `available`.
QRect within(QRect frame, const QRect& available);

// Keeps every window the program shows within the available geometry of the screen its parent is on: a window with
// a parent goes with that parent's screen, every other with the main window's (or, until there is one, its own).
// A window the program placed itself (moved, or centred by its design) is moved onto that screen; one it did not
// place is left to the desktop's own placement while it fits, and placed in the middle when it does not; a window
// that can be resized is made small enough to fit. Sizes count the frame the desktop draws around the window,
// taken from the main window's where the new window has none yet. One instance filters the whole application.
class OnScreen final : public QObject {
    Q_OBJECT

public:
    explicit OnScreen(std::function<const QWidget*()> mainWindow, QObject* parent = nullptr);
    ~OnScreen() override;

    void place(QWidget& window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<const QWidget*()> mainWindow_;
};

} // namespace zavok::ui
