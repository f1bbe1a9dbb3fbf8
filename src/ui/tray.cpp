#include "tray.h"

#include "app/zavok.h"
#include "renderer.h"
#include "window_view.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace zavok::ui {

namespace {

// A round lamp in the state's colour with its mark: drawn here, at the sizes trays ask for.
QIcon lamp(AlarmWatch::State state) {
    struct Look {
        QColor colour;
        QString mark;
    };
    const Look look = state == AlarmWatch::State::Alarm   ? Look{QColor(255, 0, 0), QStringLiteral("!")}
                      : state == AlarmWatch::State::Fault ? Look{QColor(255, 176, 0), QStringLiteral("?")}
                                                          : Look{QColor(0, 176, 0), QString()};
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 40, 40), size / 16.0));
        p.setBrush(look.colour);
        p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, look.mark);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

Tray::Tray(Zavok& core, AlarmWatch& watch, const Renderer& renderer, QWidget* simulator, QDBusConnection bus)
    : core_(core)
    , watch_(watch)
    , renderer_(renderer)
    , menu_(std::make_unique<QMenu>())
    , notifications_(std::move(bus), [this](const AlarmWatch::News& news) { showMessage(news); }) {
    MainForm& form = *core_.zavok;
    menu_->addAction(QStringLiteral("Show ZAVOK"), this, [this] { showWindow(renderer_.view(*core_.zavok)); });
    // Through the bell buttons' own clicks, so that the window shows the same bell.
    bell_ = menu_->addAction(QStringLiteral("Bell on"), this,
                             [&form] { form.soundoff.isVisible() ? form.soundoff.click() : form.soundon.click(); });
    bell_->setCheckable(true);
    if (simulator != nullptr) {
        addSimulator(*simulator);
    }
    menu_->addSeparator();
    // The orderly end, as the main window's close box asks for it.
    menu_->addAction(QStringLiteral("Exit"), this, [&form] { form.requestClose(); });
    icon_.setContextMenu(menu_.get());
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
            showWindow(renderer_.view(*core_.zavok));
        }
    });
    connect(&form.soundon, &kit::Control::changed, this, &Tray::showBell);
    connect(&watch_, &AlarmWatch::changed, this, &Tray::showState);
    connect(&watch_, &AlarmWatch::told, this, &Tray::tell);
    attention_.setInterval(kAttentionMs);
    connect(&attention_, &QTimer::timeout, this, &Tray::askAttention);
    showBell();
    showState();
    icon_.show();
}

void Tray::addSimulator(QWidget& simulator) {
    auto* show = new QAction(QStringLiteral("Show the input simulator"), menu_.get());
    connect(show, &QAction::triggered, this, [this, panel = QPointer<QWidget>(&simulator)] { showWindow(panel); });
    menu_->insertAction(bell_, show);
}

void Tray::showState() {
    const AlarmWatch::State state = watch_.state();
    icon_.setIcon(lamp(state));
    icon_.setToolTip(QStringLiteral("ZAVOK\n") + watch_.standing().join(u'\n'));
    if (state != AlarmWatch::State::Alarm) {
        attention_.stop();
    } else if (!attention_.isActive()) {
        attention_.start();
        askAttention();
    }
}

void Tray::showBell() {
    bell_->setChecked(core_.zavok->soundon.isEnabled());
}

void Tray::tell(const AlarmWatch::News& news) {
    notifications_.tell(news);
    if (news.urgent) {
        askAttention();
    }
}

void Tray::showMessage(const AlarmWatch::News& news) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_.showMessage(news.text, news.detail,
                          news.urgent ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
    } else if (!toldUnseen_ && core_.platform.tell) {
        toldUnseen_ = true;
        core_.platform.tell(QStringLiteral("zavok: the desktop has no notification service and no system tray: "
                                           "alarms are seen in the main window only"));
    }
}

void Tray::askAttention() {
    // A request lapses a little before the next, so that each one is new to the window manager.
    if (QWidget* window = renderer_.view(*core_.zavok)) {
        QApplication::alert(window, kAttentionMs - 500);
    }
}

void Tray::showWindow(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace zavok::ui
