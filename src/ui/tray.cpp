#include "tray.h"

#include "app/zavok.h"
#include "renderer.h"
#include "window_view.h"

#include <QApplication>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace zavok::ui {

namespace {

// A round lamp in the state's colour with its mark, drawn at the size a tray asks for when it asks: a screen without
// a tray never draws one, and a change of state costs nothing until it is shown.
class Lamp final : public QIconEngine {
public:
    explicit Lamp(AlarmWatch::State state)
        : look_(state == AlarmWatch::State::Alarm   ? Look{QColor(255, 0, 0), QStringLiteral("!")}
                : state == AlarmWatch::State::Fault ? Look{QColor(255, 176, 0), QStringLiteral("?")}
                                                    : Look{QColor(0, 176, 0), QString()}) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int size = std::min(rect.width(), rect.height());
        const QRect square(rect.x() + (rect.width() - size) / 2, rect.y() + (rect.height() - size) / 2, size, size);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(40, 40, 40), size / 16.0));
        painter->setBrush(look_.colour);
        painter->drawEllipse(QRectF(square).adjusted(1, 1, -1, -1));
        QFont font = painter->font();
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(square, Qt::AlignCenter, look_.mark);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    // The sizes trays ask for.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine* clone() const override { return new Lamp(*this); }

private:
    struct Look {
        QColor colour;
        QString mark;
    };
    Look look_;
};

} // namespace

Tray::Tray(Zavok& core, AlarmWatch& watch, const Renderer& renderer, DesktopNotifications::OpenBus openBus)
    : core_(core)
    , watch_(watch)
    , renderer_(renderer)
    , menu_(std::make_unique<QMenu>())
    , notifications_(std::move(openBus), [this](const AlarmWatch::News& news) { showMessage(news); }) {
    MainForm& form = *core_.zavok;
    menu_->addAction(QStringLiteral("Show ZAVOK"), this, [this] { showWindow(renderer_.view(*core_.zavok)); });
    // Through the bell buttons' own clicks, so that the window shows the same bell.
    bell_ = menu_->addAction(QStringLiteral("Bell on"), this,
                             [&form] { form.soundoff.isVisible() ? form.soundoff.click() : form.soundon.click(); });
    bell_->setCheckable(true);
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
    icon_.setIcon(QIcon(new Lamp(state)));
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
