#include "command_line.h"

#include "kit/option_rules.h"
#include "kit/printable.h"
#include "kit/regular_files.h"

#include <QFileInfo>
#include <QTextStream>

#include <array>
#include <vector>

namespace zavok::service {

namespace {

constexpr int kUsageError = 2;

// Far more than the file needs, and little enough to read at once at every start.
constexpr qint64 kMostConfigBytes = qint64(64) * 1024;

constexpr std::array kServiceRules = {
    kit::OptionRule{"logs-in-data-dir", kit::Takes::Nothing, kit::Scope::Run, nullptr},
    kit::OptionRule{"headless", kit::Takes::Nothing, kit::Scope::CommandLine, nullptr},
};

// Every option, each capability's beside its code: in the order of the usage, which is also the order a message
// names the settings of zavok.conf in.
const std::vector<kit::OptionRule>& optionRules() {
    static const std::vector<kit::OptionRule> rules = [] {
        std::vector<kit::OptionRule> all;
        for (const kit::OptionRules part :
             {inputs::inputRules(), kit::OptionRules(kServiceRules), mqtt::mqttRules(), history::historyRules()}) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }();
    return rules;
}

// The settings zavok.conf can hold, for a message that names them.
QString configNames() {
    QStringList names;
    for (const kit::OptionRule& rule : optionRules()) {
        if (rule.scope != kit::Scope::CommandLine) {
            names << QLatin1String(rule.name);
        }
    }
    return names.join(QStringLiteral(", "));
}

const kit::OptionRule* findRule(const QString& name) {
    for (const kit::OptionRule& rule : optionRules()) {
        if (name == QLatin1String(rule.name)) {
            return &rule;
        }
    }
    return nullptr;
}

// A paragraph broken into lines of the usage's width, each ending in a line end.
QString wrapped(const QString& paragraph) {
    constexpr qsizetype kWidth = 110;
    QString text;
    QString line;
    for (const QString& word : paragraph.split(u' ')) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > kWidth) {
            text += line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return text + line + u'\n';
}

QString usage() {
    return QStringLiteral("Usage: zavok [OPTION]...\n"
                          "Monitors and annunciates eight game-port inputs: four alert contacts and four analogue "
                          "sensors.\n"
                          "\n"
                          "Options:\n") +
           inputs::inputUsage() +
           QStringLiteral("  --logs-in-data-dir  write the daily activity logs into the data directory, beside the "
                          "settings, instead\n"
                          "                     of the working directory (the desktop entry and the service start "
                          "ZAVOK this way)\n"
                          "  --headless      run without any window or display, as a service; no box ever opens\n") +
           mqtt::mqttUsage() + history::historyUsage() +
           QStringLiteral("  --help          show this help and exit\n"
                          "  --version       show the version and exit\n"
                          "\n") +
           wrapped(
               QStringLiteral("The options that set up a run can also stand in $XDG_CONFIG_HOME/zavok/zavok.conf as "
                              "name=value lines, named as the options without their dashes (%1; a switch as true "
                              "or false); the command line wins.")
                   .arg(configNames()));
}

// Read by hand rather than with QCommandLineParser and QSettings, which cannot keep what users and tests rely on.
// QCommandLineParser has no option whose value may be left out (--history-csv[=N]), answers an unknown option or a
// missing value in words of its own, and takes single-dash forms this program refuses. QSettings opens and reads the
// file itself, so nothing could first check that it is a regular file of a sane size and read it without waiting (a
// FIFO there would hang the start), it does not say on which line a bad setting stands, it takes a setting it does
// not know in silence, and it reads a value with a comma as a list.
std::optional<kit::Refusal> readConfig(const QString& path, kit::Settings& settings) {
    if (!QFileInfo::exists(path)) {
        return std::nullopt;
    }
    const QString where = kit::printable(path);
    const auto read = kit::readSmallFile(path, kMostConfigBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return kit::Refusal{QStringLiteral("cannot read %1 (%2)").arg(where, *why)};
    }
    const QByteArray& content = std::get<kit::SmallFile>(read).content;
    // A NUL would end a file's name where the system reads it, and another file than the one shown would be read.
    if (content.contains('\0')) {
        return kit::Refusal{QStringLiteral("cannot read %1 (it holds a NUL byte, which no text file does)").arg(where)};
    }
    int number = 0;
    for (const QByteArray& raw : content.split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).trimmed();
        // Blank lines, comments and INI section headers carry no setting.
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';') || line.startsWith(u'[')) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString name = line.left(equals).trimmed();
        const kit::OptionRule* rule = findRule(name);
        if (equals < 0 || rule == nullptr || rule->scope == kit::Scope::CommandLine) {
            return kit::Refusal{QStringLiteral("%1, line %2: '%3' is no setting this file can hold (%4)")
                                    .arg(where, QString::number(number), kit::printable(line), configNames())};
        }
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
            value = value.mid(1, value.size() - 2);
        }
        settings[name] = {value, name + QStringLiteral(" in ") + where, true};
    }
    return std::nullopt;
}

// The command line's settings over the file's; --help and --version answer at once.
std::variant<kit::Settings, int, kit::Refusal> readArguments(const QStringList& args, const QString& version,
                                                             kit::Settings settings, QTextStream& out) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--help")) {
            out << usage();
            out.flush();
            return 0;
        }
        if (arg == QStringLiteral("--version")) {
            out << QStringLiteral("zavok ") << version << '\n';
            out.flush();
            return 0;
        }
        if (!arg.startsWith(QStringLiteral("--"))) {
            return kit::Refusal{arg.startsWith(u'-')
                                    ? QStringLiteral("unknown option '%1'").arg(kit::printable(arg))
                                    : QStringLiteral("unexpected argument '%1'").arg(kit::printable(arg))};
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
        const kit::OptionRule* rule = findRule(name);
        if (rule == nullptr) {
            return kit::Refusal{QStringLiteral("unknown option '%1'").arg(kit::printable(arg))};
        }
        const QString option = QStringLiteral("--") + name;
        QString value = equals < 0 ? QString() : arg.mid(equals + 1);
        switch (rule->takes) {
        case kit::Takes::Nothing:
            if (equals >= 0) {
                return kit::Refusal{QStringLiteral("%1 takes no value").arg(option)};
            }
            value = QStringLiteral("true");
            break;
        case kit::Takes::Value:
            if (equals < 0) {
                if (++i == args.size()) {
                    return kit::Refusal{QStringLiteral("%1 needs %2").arg(option, QLatin1String(rule->wants))};
                }
                value = args[i];
            }
            break;
        case kit::Takes::MaybeValue:
            break;
        }
        settings[name] = {value, option};
    }
    return settings;
}

} // namespace

std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version,
                                            const Surroundings& surroundings, QTextStream& out, QTextStream& err) {
    // The one thing wrong, and where the rest is told: the whole usage would bury the line that matters.
    const auto refuse = [&err](const kit::Refusal& refusal) {
        err << QStringLiteral("zavok: ") << refusal.line << '\n'
            << QStringLiteral("Try 'zavok --help' for more information.\n");
        err.flush();
        return kUsageError;
    };
    kit::Settings settings;
    // The arguments go first, so that --help answers whatever the settings file holds.
    auto arguments = readArguments(args, version, settings, out);
    if (const int* status = std::get_if<int>(&arguments)) {
        return *status;
    }
    if (const auto* refusal = std::get_if<kit::Refusal>(&arguments)) {
        return refuse(*refusal);
    }
    if (const auto refusal = readConfig(surroundings.configFile, settings)) {
        return refuse(*refusal);
    }
    for (auto& [name, setting] : std::get<kit::Settings>(arguments)) {
        settings[name] = setting;
    }

    Options options;
    if (const auto refusal = inputs::readInputOptions(settings, options.input)) {
        return refuse(*refusal);
    }
    if (const kit::Setting* logs = kit::given(settings, "logs-in-data-dir")) {
        const auto on = kit::truth(*logs);
        if (const auto* refusal = std::get_if<kit::Refusal>(&on)) {
            return refuse(*refusal);
        }
        options.logsInDataDirectory = std::get<bool>(on);
    }
    options.headless = kit::given(settings, "headless") != nullptr;
    if (options.headless && options.input.source == inputs::InputOptions::Source::Sim) {
        return refuse({QStringLiteral("--input=sim needs a window to drive the simulator, and --headless has none")});
    }
    QStringList warnings;
    if (const auto refusal =
            mqtt::readMqttOptions(settings, surroundings.mqttPassword, surroundings.hostName, options.mqtt, warnings)) {
        return refuse(*refusal);
    }
    if (const auto refusal = history::readHistoryOptions(settings, options.historyDays, options.historyCsv)) {
        return refuse(*refusal);
    }
    for (const QString& warning : warnings) {
        err << QStringLiteral("zavok: ") << warning << '\n';
    }
    err.flush();
    return options;
}

} // namespace zavok::service
