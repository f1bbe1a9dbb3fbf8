#include "service/run.h"

#include "history/history_database.h"
#include "history/history_export.h"
#include "kit/fault_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextStream>

#include <unistd.h>

namespace zavok::service {

namespace {

// $XDG_DATA_HOME/zavok/, by default ~/.local/share/zavok/.
QString dataDirectory() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zavok"));
}

QString historyFile() {
    return QDir(dataDirectory()).filePath(history::HistoryDatabase::kFileName);
}

QString picturesDirectory() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

} // namespace

std::variant<Options, int> readOptions(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Surroundings surroundings{QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                        .filePath(QStringLiteral("zavok/zavok.conf")),
                                    qEnvironmentVariable("ZAVOK_MQTT_PASSWORD"), QSysInfo::machineHostName()};
    return parseCommandLine(args, QStringLiteral(ZAVOK_VERSION), surroundings, out, err);
}

int exportHistory(int argc, char** argv, const history::HistoryExport& request) {
    const QCoreApplication app(argc, argv); // Qt SQL loads its driver through the application object
    QTextStream err(stderr);
    QFile out;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        err << "zavok: cannot print the history: " << out.errorString() << Qt::endl;
        return 1;
    }
    return history::exportHistory(historyFile(), request, out, err);
}

std::variant<std::unique_ptr<inputs::InputSources>, int> Run::openInputs(const Options& options) {
    auto made = inputs::InputSources::create(options.input, options.headless);
    if (const auto* refusal = std::get_if<inputs::StartRefusal>(&made)) {
        QTextStream(stderr) << refusal->message << Qt::endl;
        return refusal->exitStatus;
    }
    return std::move(std::get<std::unique_ptr<inputs::InputSources>>(made));
}

Run::Run(const Options& options, std::unique_ptr<inputs::InputSources> inputs, kit::Dialogs& dialogs, kit::Bell& bell,
         const kit::Pictures& pictures, std::function<void(int channel)> showTrend)
    : inputs_(std::move(inputs))
    , core_({scheduler_, clock_, QLocale::system(), dialogs, bell, pictures, inputs_->port(), inputs_->joysticks(),
             dataDirectory(), options.logsInDataDirectory ? dataDirectory() : QDir::currentPath(), picturesDirectory(),
             std::move(showTrend), kit::writeToStandardError})
    , serviceManager_(core_)
    , history_(core_, historyFile(), options.historyDays) {
    // exit(), unlike quit(), does not first offer every window a close event, which the windows would refuse.
    core_.onEnded = [this] {
        serviceManager_.stopping();
        QCoreApplication::exit(0);
    };
    QObject::connect(&termination_, &system::TerminationSignals::received, [this] {
        serviceManager_.stopping();
        core_.shutdown();
    });
    if (options.mqtt.isOn()) {
        mqtt_ = std::make_unique<mqtt::MqttPublisher>(options.mqtt, core_, QStringLiteral(ZAVOK_VERSION));
    }
}

void Run::start() {
    core_.startup();
    if (mqtt_) {
        mqtt_->follow();
    }
    serviceManager_.ready();
}

int Run::exec() {
    return core_.hasEnded() ? 0 : QCoreApplication::exec();
}

} // namespace zavok::service
