#pragma once

#include "app/alarm_watch.h"
#include "desktop_notifications.h"

#include <QDBusConnection>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class QAction;

namespace zavok::ui {

class Renderer;

// The program as seen from outside its window: a tray icon whose picture and tip tell the state, with a menu to
// show the window or the input simulator, switch the bell and end the program; a desktop notification for each
// event the watch tells; and, while an alarm stands, the main window asking for attention.
class Tray final : public QObject {
    Q_OBJECT

public:
    // Asked again this often while an alarm stands: the request lapses when the window is looked at, and the alarm
    // may outlast the look.
    static constexpr int kAttentionMs = 3000;

    Tray(Zavok& core, AlarmWatch& watch, const Renderer& renderer,
         DesktopNotifications::OpenBus openBus = &QDBusConnection::sessionBus);

    // Offers the input simulator's window in the menu, after the main window's: where the inputs have one, it is
    // known after the start.
    void addSimulator(QWidget& simulator);

    const QSystemTrayIcon& icon() const { return icon_; }
    QMenu& menu() const { return *menu_; }

private:
    void showState();
    void showBell();
    void tell(const AlarmWatch::News& news);
    void showMessage(const AlarmWatch::News& news);
    void askAttention();
    void showWindow(QWidget* window);

    Zavok& core_;
    AlarmWatch& watch_;
    const Renderer& renderer_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon icon_;
    QAction* bell_;
    DesktopNotifications notifications_;
    QTimer attention_;
    bool toldUnseen_ = false;
};

} // namespace zavok::ui
