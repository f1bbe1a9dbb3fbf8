#include "app/zavok.h"
#include "platform/input_options.h"
#include "platform/input_sources.h"
#include "platform/real_time_scheduler.h"
#include "platform/system_clock.h"
#include "platform/termination_signals.h"
#include "ui/qt_bell.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_pictures.h"
#include "ui/renderer.h"
#include "ui/simulator_panel.h"
#include "ui/window_view.h"

#include <QApplication>
#include <QDir>
#include <QPoint>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// $XDG_DATA_HOME/zavok/, by default ~/.local/share/zavok/.
QString dataDirectory() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zavok"));
}

QString picturesDirectory() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

} // namespace

int main(int argc, char** argv) {
    namespace platform = zavok::platform;

    // The command line is read before anything else, so that --help needs no display and a bad option leaves no
    // trace: nothing created, nothing logged.
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto parsed = platform::parseCommandLine(args, QStringLiteral(ZAVOK_VERSION), out, err);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zavok"));
    QApplication::setStyle(QStringLiteral("Fusion")); // coloured button faces look the same on every desktop
    // Only the program decides when it ends; its windows' close boxes ask it.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto& options = std::get<platform::Options>(parsed);
    auto made = platform::InputSources::create(options.input);
    if (const auto* refusal = std::get_if<platform::StartRefusal>(&made)) {
        err << refusal->message << Qt::endl;
        return refusal->exitStatus;
    }
    const auto inputs = std::move(std::get<std::unique_ptr<platform::InputSources>>(made));

    platform::RealTimeScheduler scheduler;
    const platform::SystemClock clock;
    zavok::ui::QtDialogs dialogs;
    zavok::ui::QtBell bell;
    const zavok::ui::QtPictures pictures;

    zavok::Zavok z({scheduler, clock, QLocale::system(), dialogs, bell, pictures, inputs->port(), inputs->joysticks(),
                    dataDirectory(), options.logsInDataDirectory ? dataDirectory() : QDir::currentPath(),
                    picturesDirectory()});
    const zavok::ui::Renderer renderer(z.desktop);
    // exit(), unlike quit(), does not first offer every window a close event, which the windows would refuse.
    z.onEnded = [] { QCoreApplication::exit(0); };
    platform::TerminationSignals termination;
    QObject::connect(&termination, &platform::TerminationSignals::received, [&z] { z.shutdown(); });

    z.startup();
    z.zavok->show();
    // Without hardware the simulator drives both inputs; it goes before the sources it reads from.
    std::unique_ptr<zavok::ui::SimulatorPanel> panel;
    if (platform::SimulatorState* simulator = inputs->simulator()) {
        panel = std::make_unique<zavok::ui::SimulatorPanel>(*simulator);
        // Beside the main window rather than over it, so that both can be seen at once.
        if (const QWidget* main = renderer.view(*z.zavok)) {
            panel->move(main->frameGeometry().topRight() + QPoint(16, 0));
        }
        panel->show();
    }
    return z.hasEnded() ? 0 : QApplication::exec();
}
