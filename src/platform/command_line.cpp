#include "input_options.h"

#include <QTextStream>

namespace zavok::platform {

namespace {

constexpr int kUsageError = 2;

const QString kUsage = QStringLiteral(
    "Usage: zavok [--input=SOURCE] [--logs-in-data-dir]\n"
    "Monitors and annunciates eight game-port inputs: four alert contacts and four analogue sensors.\n"
    "\n"
    "Options:\n"
    "  --input=SOURCE  where the contacts and sensors are read from:\n"
    "                    auto       joysticks when one is plugged in at start, else the simulator (the default)\n"
    "                    joystick   joysticks and game pads\n"
    "                    sim        the built-in input simulator window\n"
    "                    file:PATH  a state file of five whole numbers: the port byte, then joystick 1 X,\n"
    "                               joystick 1 Y, joystick 2 X, joystick 2 Y\n"
    "                    ioport     the game port at 0x201 (x86 Linux; needs root or CAP_SYS_RAWIO)\n"
    "  --logs-in-data-dir\n"
    "                  write the daily activity logs into the data directory, beside the settings, instead of\n"
    "                  the working directory (the desktop entry starts ZAVOK this way)\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n");

const QString kInputOption = QStringLiteral("--input");
const QString kLogsInDataDirectory = QStringLiteral("--logs-in-data-dir");
const QString kFilePrefix = QStringLiteral("file:");

int refuse(QTextStream& err, const QString& problem) {
    err << QStringLiteral("zavok: ") << problem << '\n' << kUsage;
    err.flush();
    return kUsageError;
}

std::variant<InputOptions, QString> source(const QString& value) {
    using Source = InputOptions::Source;
    if (value.startsWith(kFilePrefix)) {
        const QString path = value.mid(kFilePrefix.size());
        if (path.isEmpty()) {
            return QStringLiteral("--input=file: needs the path of the state file, as in --input=file:/tmp/zavok.txt");
        }
        return InputOptions{Source::File, path};
    }
    const std::pair<QString, Source> names[] = {
        {QStringLiteral("auto"), Source::Auto},
        {QStringLiteral("joystick"), Source::Joystick},
        {QStringLiteral("sim"), Source::Sim},
        {QStringLiteral("ioport"), Source::IoPort},
    };
    for (const auto& [name, kind] : names) {
        if (value == name) {
            return InputOptions{kind, {}};
        }
    }
    return QStringLiteral("unknown input source '%1' (choose auto, joystick, sim, file:PATH or ioport)").arg(value);
}

} // namespace

std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version, QTextStream& out,
                                            QTextStream& err) {
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--help")) {
            out << kUsage;
            out.flush();
            return 0;
        }
        if (arg == QStringLiteral("--version")) {
            out << QStringLiteral("zavok ") << version << '\n';
            out.flush();
            return 0;
        }
        if (arg == kLogsInDataDirectory) {
            options.logsInDataDirectory = true;
            continue;
        }
        QString value;
        if (arg.startsWith(kInputOption + u'=')) {
            value = arg.mid(kInputOption.size() + 1);
        } else if (arg == kInputOption) {
            if (++i == args.size()) {
                return refuse(err, QStringLiteral("--input needs a source, as in --input=sim"));
            }
            value = args[i];
        } else if (arg.startsWith(u'-')) {
            return refuse(err, QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            return refuse(err, QStringLiteral("unexpected argument '%1'").arg(arg));
        }
        auto chosen = source(value);
        if (const QString* problem = std::get_if<QString>(&chosen)) {
            return refuse(err, *problem);
        }
        options.input = std::get<InputOptions>(chosen);
    }
    return options;
}

} // namespace zavok::platform
