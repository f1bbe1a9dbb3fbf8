#include "app/zavok.h"
#include "platform/command_line.h"
#include "platform/headless_dialogs.h"
#include "platform/input_sources.h"
#include "platform/mqtt_publisher.h"
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
#include <QSysInfo>
#include <QTextStream>

#include <memory>

namespace {

namespace platform = zavok::platform;
namespace ui = zavok::ui;

// $XDG_DATA_HOME/zavok/, by default ~/.local/share/zavok/.
QString dataDirectory() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zavok"));
}

QString picturesDirectory() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

// What a run has whether it draws or not: its inputs, its clock and timers, the core, and the signals that end it in
// order. Made once the application object exists.
class Run {
public:
    Run(const platform::Options& options, std::unique_ptr<platform::InputSources> inputs, zavok::kit::Dialogs& dialogs,
        zavok::kit::Bell& bell)
        : inputs_(std::move(inputs))
        , core_({scheduler_, clock_, QLocale::system(), dialogs, bell, pictures_, inputs_->port(), inputs_->joysticks(),
                 dataDirectory(), options.logsInDataDirectory ? dataDirectory() : QDir::currentPath(),
                 picturesDirectory()}) {
        // exit(), unlike quit(), does not first offer every window a close event, which the windows would refuse.
        core_.onEnded = [] { QCoreApplication::exit(0); };
        QObject::connect(&termination_, &platform::TerminationSignals::received, [this] { core_.shutdown(); });
        if (options.mqtt.isOn()) {
            mqtt_ = std::make_unique<platform::MqttPublisher>(options.mqtt, core_, QStringLiteral(ZAVOK_VERSION));
        }
    }

    zavok::Zavok& core() { return core_; }
    platform::InputSources& inputs() { return *inputs_; }

    void start() {
        core_.startup();
        if (mqtt_) {
            mqtt_->follow();
        }
    }

    // Runs the event loop until the program ends; its exit status.
    int exec() { return core_.hasEnded() ? 0 : QCoreApplication::exec(); }

private:
    std::unique_ptr<platform::InputSources> inputs_;
    platform::RealTimeScheduler scheduler_;
    const platform::SystemClock clock_;
    const ui::QtPictures pictures_;
    zavok::Zavok core_;
    platform::TerminationSignals termination_;
    // The observers of the core go before it.
    std::unique_ptr<platform::MqttPublisher> mqtt_;
};

// The inputs the options ask for, or the exit status of a program that cannot read them.
std::variant<std::unique_ptr<platform::InputSources>, int> openInputs(const platform::Options& options) {
    auto made = platform::InputSources::create(options.input, options.headless);
    if (const auto* refusal = std::get_if<platform::StartRefusal>(&made)) {
        QTextStream(stderr) << refusal->message << Qt::endl;
        return refusal->exitStatus;
    }
    return std::move(std::get<std::unique_ptr<platform::InputSources>>(made));
}

// The service: the same core with no window and no display, whose bell rings where there is a sound output.
int runHeadless(int argc, char** argv, const platform::Options& options) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zavok"));
    auto inputs = openInputs(options);
    if (const int* status = std::get_if<int>(&inputs)) {
        return *status;
    }
    platform::HeadlessDialogs dialogs;
    platform::FaultReport silence(platform::writeToStandardError);
    ui::QtBell bell(
        [&silence] { silence.once(0, QStringLiteral("zavok: there is no sound output; the bell is silent")); });
    Run run(options, std::move(std::get<std::unique_ptr<platform::InputSources>>(inputs)), dialogs, bell);
    run.start();
    return run.exec();
}

// The desktop program: the core drawn by the renderer, and the simulator's window when it serves the inputs.
int runDesktop(int argc, char** argv, const platform::Options& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zavok"));
    QApplication::setStyle(QStringLiteral("Fusion")); // coloured button faces look the same on every desktop
    // Only the program decides when it ends; its windows' close boxes ask it.
    QApplication::setQuitOnLastWindowClosed(false);
    auto inputs = openInputs(options);
    if (const int* status = std::get_if<int>(&inputs)) {
        return *status;
    }
    ui::QtDialogs dialogs;
    ui::QtBell bell([] { QApplication::beep(); });
    Run run(options, std::move(std::get<std::unique_ptr<platform::InputSources>>(inputs)), dialogs, bell);
    const ui::Renderer renderer(run.core().desktop);
    run.start();
    run.core().zavok->show();
    // Without hardware the simulator drives both inputs; it goes before the sources it reads from.
    std::unique_ptr<ui::SimulatorPanel> panel;
    if (platform::SimulatorState* simulator = run.inputs().simulator()) {
        panel = std::make_unique<ui::SimulatorPanel>(*simulator);
        // Beside the main window rather than over it, so that both can be seen at once.
        if (const QWidget* main = renderer.view(*run.core().zavok)) {
            panel->move(main->frameGeometry().topRight() + QPoint(16, 0));
        }
        panel->show();
    }
    return run.exec();
}

} // namespace

int main(int argc, char** argv) {
    // The command line is read before anything else, so that --help needs no display and a bad option leaves no
    // trace: nothing created, nothing logged.
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const platform::Surroundings surroundings{
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(QStringLiteral("zavok/zavok.conf")),
        qEnvironmentVariable("ZAVOK_MQTT_PASSWORD"), QSysInfo::machineHostName()};
    const auto parsed = platform::parseCommandLine(args, QStringLiteral(ZAVOK_VERSION), surroundings, out, err);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    // The other alternative, an exit status, has been returned above.
    const auto& options = *std::get_if<platform::Options>(&parsed);
    return options.headless ? runHeadless(argc, argv, options) : runDesktop(argc, argv, options);
}
