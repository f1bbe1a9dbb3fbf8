#include "service/run.h"
#include "service/service.h"
#include "system/end_before_exit.h"
#include "system/quiet_libraries.h"
#include "system/sdl_bell.h"
#include "trend/trend_library.h"
#include "ui/after_first_paint.h"
#include "ui/on_screen.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_pictures.h"
#include "ui/renderer.h"
#include "ui/simulator_panel.h"
#include "ui/tray.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QSessionManager>

#include <memory>
#include <unistd.h>

namespace {

namespace inputs = zavok::inputs;
namespace service = zavok::service;
namespace trend = zavok::trend;
namespace ui = zavok::ui;

// The service's own program, beside this one in a build and in libexec once installed.
QString serviceProgram() {
    const QDir here = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).dir();
    for (const QString& candidate : {here.filePath(QStringLiteral("zavok-headless")),
                                     here.filePath(QStringLiteral(ZAVOK_LIBEXEC_FROM_BINDIR "/zavok-headless"))}) {
        if (QFileInfo(candidate).isExecutable()) {
            return candidate;
        }
    }
    return {};
}

// The desktop program: the core drawn by the renderer, and the simulator's window when it serves the inputs.
int runDesktop(int argc, char** argv, const service::Options& options) {
    // Qt's Wayland plugin ends the process with _exit() when the compositor goes, which leaves nothing a chance to
    // save the session; its X11 plugin calls exit(), which does. So the program draws through X11 wherever there is
    // one (Xwayland on a Wayland desktop), unless the user asks for a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zavok"));
    QApplication::setStyle(QStringLiteral("Fusion")); // coloured button faces look the same on every desktop
    // Only the program decides when it ends; its windows' close boxes ask it.
    QApplication::setQuitOnLastWindowClosed(false);
    auto inputs = service::Run::openInputs(options);
    if (const int* status = std::get_if<int>(&inputs)) {
        return *status;
    }
    ui::QtDialogs dialogs;
    // The sound output is opened, and SDL loaded, when the bell first rings: a program that has never rung keeps
    // neither resident. A missing output is told then, and the desktop's beep rings in its place.
    zavok::system::SdlBell bell(zavok::kit::writeToStandardError, [] { QApplication::beep(); });
    const ui::QtPictures pictures;
    // A click on a meter opens its trend; the windows go before the history they read.
    trend::TrendLibrary* trends = nullptr;
    service::Run run(options, std::move(std::get<std::unique_ptr<inputs::InputSources>>(inputs)), dialogs, bell,
                     pictures, [&trends](int channel) {
                         if (trends != nullptr) {
                             trends->show(channel);
                         }
                     });
    trend::TrendLibrary trendLibrary(run.core(), run.history().store(), dialogs, trend::TrendLibrary::besideProgram());
    trends = &trendLibrary;
    const ui::Renderer renderer(run.core().desktop);
    const ui::OnScreen onScreen([&renderer, &run] { return renderer.view(*run.core().zavok); });
    run.start();
    // Log-off: the session manager asks for the data first, and the display's connection breaks at the latest.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&run](QSessionManager&) { run.core().shutdown(); });
    // The history's writer is done before exit() takes apart the libraries it writes with.
    const zavok::system::EndBeforeExit displayGone([&run] {
        run.core().shutdown();
        run.history().finish();
    });
    run.core().zavok->show();
    // Seen outside the window, from the state the start-up left on.
    zavok::AlarmWatch watch(run.core());
    ui::Tray tray(run.core(), watch, renderer);
    // Whether the simulator drives the inputs is known once the joysticks have been looked for, which the first
    // paint does not wait for (the first read of an input would look at once). It goes before the sources it reads.
    std::unique_ptr<ui::SimulatorPanel> panel;
    const ui::AfterFirstPaint painted([&] {
        if (inputs::SimulatorState* simulator = run.inputs().simulator()) {
            panel = std::make_unique<ui::SimulatorPanel>(*simulator);
            // Beside the main window rather than over it, so that both can be seen at once.
            if (const QWidget* main = renderer.view(*run.core().zavok)) {
                panel->move(main->frameGeometry().topRight() + QPoint(16, 0));
            }
            panel->show();
            tray.addSimulator(*panel);
        }
    });
    return run.exec();
}

} // namespace

int main(int argc, char** argv) {
    zavok::system::ignoreWriteSignals();
    zavok::system::quietLibraries();
    const auto read = service::readOptions(argc, argv);
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    // The other alternative, an exit status, has been returned above.
    const auto& options = *std::get_if<service::Options>(&read);
    if (options.historyCsv) {
        return service::exportHistory(argc, argv, *options.historyCsv);
    }
    if (!options.headless) {
        return runDesktop(argc, argv, options);
    }
    // The service becomes its own program, which carries no library that draws; where that cannot be found it runs
    // here, the same core all the same.
    if (const QByteArray service = QFile::encodeName(serviceProgram()); !service.isEmpty()) {
        ::execv(service.constData(), argv);
    }
    return service::runService(argc, argv, options);
}
