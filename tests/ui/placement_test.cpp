#include "history/history_store.h"
#include "inputs/simulator_state.h"
#include "support/harness.h"
#include "support/qt_environment.h"
#include "trend/trend_window.h"
#include "ui/on_screen.h"
#include "ui/renderer.h"
#include "ui/simulator_panel.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <gtest/gtest.h>

ZAVOK_TEST_APPLICATION(QApplication)

// Run on a small screen at 1x and at 2x (the offscreen screens of placement_*.json): every window the program
// places lies within the screen's available geometry, frame and all, also beside a main window in the far corner.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

TEST(OnScreen, EveryWindowLiesWithinTheScreenAlsoBesideAMainWindowInTheCorner) {
    Harness h;
    Zavok& z = h.start();
    const ui::Renderer renderer(z.desktop);
    const ui::OnScreen onScreen([&renderer, &z] { return renderer.view(*z.zavok); });
    z.zavok->show();
    QWidget& main = *renderer.view(*z.zavok);
    const QRect available = main.screen()->availableGeometry();
    ASSERT_LE(available.width(), 720) << "the small screen of the test";
    std::vector<QWidget*> windows{&main};
    main.move(available.bottomRight() - QPoint(40, 40)); // the user's choice, not the program's
    inputs::SimulatorState state;
    ui::SimulatorPanel panel(state);
    panel.move(main.frameGeometry().topRight() + QPoint(16, 0));
    history::HistoryStore history(QDir(h.dataDirectory).filePath(u"history.sqlite"_s), 400, QDate(2001, 7, 13));
    trend::TrendWindow trend(z, 1, history);
    for (QWidget* window : {static_cast<QWidget*>(&panel), static_cast<QWidget*>(&trend)}) {
        window->show();
        windows.push_back(window);
    }
    z.zavok->frame[2]->click();
    z.zavok->timerset.click();
    z.zavok->log.click();
    z.zavok->help.click();
    for (const kit::Window* form :
         {static_cast<kit::Window*>(&z.channel(3)), static_cast<kit::Window*>(z.zavoktimer.get()),
          static_cast<kit::Window*>(z.zavoklog.get()), static_cast<kit::Window*>(z.zavokhelp.get())}) {
        windows.push_back(renderer.view(*form));
    }
    windows.erase(windows.begin()); // the main window went where the user put it
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        ASSERT_TRUE(window != nullptr && window->isVisible());
        EXPECT_TRUE(available.contains(window->frameGeometry()))
            << window->frameGeometry().x() << ',' << window->frameGeometry().y() << ' '
            << window->frameGeometry().width() << 'x' << window->frameGeometry().height();
    }
}

} // namespace
} // namespace zavok::test
