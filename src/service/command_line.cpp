#include "command_line.h"

#include "kit/printable.h"
#include "kit/regular_files.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <QUrl>

#include <map>

namespace zavok::service {

namespace {

constexpr int kUsageError = 2;
constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;
constexpr int kMostHistoryDays = 36500;
constexpr int kMostPort = 65535;

// Far more than each file needs, and little enough to read at once at every start.
constexpr qint64 kMostConfigBytes = qint64(64) * 1024;
constexpr qint64 kMostPasswordBytes = qint64(4) * 1024;
constexpr qint64 kMostCaBytes = qint64(1024) * 1024;

const QString kUsage = QStringLiteral(
    "Usage: zavok [OPTION]...\n"
    "Monitors and annunciates eight game-port inputs: four alert contacts and four analogue sensors.\n"
    "\n"
    "Options:\n"
    "  --input=SOURCE  where the contacts and sensors are read from:\n"
    "                    auto       joysticks when one is plugged in at start, else the simulator (the default;\n"
    "                               with --headless, joysticks only)\n"
    "                    joystick   joysticks and game pads\n"
    "                    sim        the built-in input simulator window\n"
    "                    file:PATH  a state file of five whole numbers: the port byte, then joystick 1 X,\n"
    "                               joystick 1 Y, joystick 2 X, joystick 2 Y\n"
    "                    ioport     the game port at 0x201 (x86 Linux; needs root or CAP_SYS_RAWIO)\n"
    "  --logs-in-data-dir\n"
    "                  write the daily activity logs into the data directory, beside the settings, instead of\n"
    "                  the working directory (the desktop entry and the service start ZAVOK this way)\n"
    "  --headless      run without any window or display, as a service; no box ever opens\n"
    "  --mqtt=URL      publish alerts, zones, channels and the log to an MQTT broker:\n"
    "                  mqtt://[USER@]HOST[:PORT] (port 1883) or mqtts://[USER@]HOST[:PORT] (TLS, port 8883);\n"
    "                  the password comes from ZAVOK_MQTT_PASSWORD or --mqtt-password-file, never from the URL\n"
    "  --mqtt-ca=FILE  the CA certificate that a TLS broker's certificate is checked against (default: the\n"
    "                  system's CAs)\n"
    "  --mqtt-password-file=PATH\n"
    "                  read the broker's password from the first line of this file\n"
    "  --site=NAME     this site's id in every topic: a-z, 0-9, _ and - (default: the host name)\n"
    "  --mqtt-discovery=PREFIX|off\n"
    "                  Home Assistant's discovery prefix (default: homeassistant), or off\n"
    "  --mqtt-commands take RESET, BELL OFF and BELL ON from the broker (off by default)\n"
    "  --history-days=N\n"
    "                  keep N days of history (default: 400)\n"
    "  --history-csv[=N]\n"
    "                  print the history of channel N, or of every channel, as CSV lines\n"
    "                  (time,channel,min,mean,max,count) and exit\n"
    "  --from=YYYY-MM-DD, --to=YYYY-MM-DD\n"
    "                  the first and the last day that --history-csv prints\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "The options that set up a run can also stand in $XDG_CONFIG_HOME/zavok/zavok.conf as name=value lines,\n"
    "named as the options without their dashes (input, logs-in-data-dir, history-days, mqtt, mqtt-ca,\n"
    "mqtt-password-file, site, mqtt-discovery, mqtt-commands; a switch as true or false); the command line wins.\n");

enum class Takes { Nothing, Value, MaybeValue };

// Where an option may stand. What sets up a run may stand in zavok.conf too, so that a service's unit never needs
// editing; what chooses the program or an action of one run is for the command line alone.
enum class Scope { CommandLine, Run, Broker };

struct OptionRule {
    const char* name;
    Takes takes;
    Scope scope;
    const char* wants; // what a missing value should have been
};

constexpr OptionRule kOptionRules[] = {
    {"input", Takes::Value, Scope::Run, "a source, as in --input=sim"},
    {"logs-in-data-dir", Takes::Nothing, Scope::Run, nullptr},
    {"headless", Takes::Nothing, Scope::CommandLine, nullptr},
    {"mqtt", Takes::Value, Scope::Run, "the broker's address, as in --mqtt=mqtt://broker.local"},
    {"mqtt-ca", Takes::Value, Scope::Broker, "a file, as in --mqtt-ca=/etc/ssl/my-ca.pem"},
    {"mqtt-password-file", Takes::Value, Scope::Broker, "a file, as in --mqtt-password-file=/etc/zavok/password"},
    {"site", Takes::Value, Scope::Broker, "a name, as in --site=plant-room"},
    {"mqtt-discovery", Takes::Value, Scope::Broker, "a prefix or off, as in --mqtt-discovery=homeassistant"},
    {"mqtt-commands", Takes::Nothing, Scope::Broker, nullptr},
    {"history-days", Takes::Value, Scope::Run, "a number of days, as in --history-days=400"},
    {"history-csv", Takes::MaybeValue, Scope::CommandLine, nullptr},
    {"from", Takes::Value, Scope::CommandLine, "a day, as in --from=2026-12-01"},
    {"to", Takes::Value, Scope::CommandLine, "a day, as in --to=2026-12-31"},
};

// The settings zavok.conf can hold, for a message that names them.
QString configNames() {
    QStringList names;
    for (const OptionRule& rule : kOptionRules) {
        if (rule.scope != Scope::CommandLine) {
            names << QLatin1String(rule.name);
        }
    }
    return names.join(QStringLiteral(", "));
}

const OptionRule* findRule(const QString& name) {
    for (const OptionRule& rule : kOptionRules) {
        if (name == QLatin1String(rule.name)) {
            return &rule;
        }
    }
    return nullptr;
}

// A setting and where it was given, which is where a message about it points.
struct Setting {
    QString value;
    QString origin;      // "--site", or "site in /home/ann/.config/zavok/zavok.conf"
    bool inFile = false; // from zavok.conf rather than the command line
};
using Settings = std::map<QString, Setting>;

// A reason to refuse, for the user.
struct Refusal {
    QString line;
};

std::optional<Refusal> readConfig(const QString& path, Settings& settings) {
    if (!QFileInfo::exists(path)) {
        return std::nullopt;
    }
    const QString where = kit::printable(path);
    const auto read = kit::readSmallFile(path, kMostConfigBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return Refusal{QStringLiteral("cannot read %1 (%2)").arg(where, *why)};
    }
    const QByteArray& content = std::get<kit::SmallFile>(read).content;
    // A NUL would end a file's name where the system reads it, and another file than the one shown would be read.
    if (content.contains('\0')) {
        return Refusal{QStringLiteral("cannot read %1 (it holds a NUL byte, which no text file does)").arg(where)};
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
        const OptionRule* rule = findRule(name);
        if (equals < 0 || rule == nullptr || rule->scope == Scope::CommandLine) {
            return Refusal{QStringLiteral("%1, line %2: '%3' is no setting this file can hold (%4)")
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
std::variant<Settings, int, Refusal> readArguments(const QStringList& args, const QString& version, Settings settings,
                                                   QTextStream& out) {
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
        if (!arg.startsWith(QStringLiteral("--"))) {
            return Refusal{arg.startsWith(u'-') ? QStringLiteral("unknown option '%1'").arg(kit::printable(arg))
                                                : QStringLiteral("unexpected argument '%1'").arg(kit::printable(arg))};
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
        const OptionRule* rule = findRule(name);
        if (rule == nullptr) {
            return Refusal{QStringLiteral("unknown option '%1'").arg(kit::printable(arg))};
        }
        const QString option = QStringLiteral("--") + name;
        QString value = equals < 0 ? QString() : arg.mid(equals + 1);
        switch (rule->takes) {
        case Takes::Nothing:
            if (equals >= 0) {
                return Refusal{QStringLiteral("%1 takes no value").arg(option)};
            }
            value = QStringLiteral("true");
            break;
        case Takes::Value:
            if (equals < 0) {
                if (++i == args.size()) {
                    return Refusal{QStringLiteral("%1 needs %2").arg(option, QLatin1String(rule->wants))};
                }
                value = args[i];
            }
            break;
        case Takes::MaybeValue:
            break;
        }
        settings[name] = {value, option};
    }
    return settings;
}

std::variant<inputs::InputOptions, Refusal> inputSource(const QString& value) {
    using Source = inputs::InputOptions::Source;
    const QString filePrefix = QStringLiteral("file:");
    if (value.startsWith(filePrefix)) {
        const QString path = value.mid(filePrefix.size());
        if (path.isEmpty()) {
            return Refusal{
                QStringLiteral("--input=file: needs the path of the state file, as in --input=file:/tmp/zavok.txt")};
        }
        return inputs::InputOptions{Source::File, path};
    }
    const std::pair<QString, Source> names[] = {
        {QStringLiteral("auto"), Source::Auto},
        {QStringLiteral("joystick"), Source::Joystick},
        {QStringLiteral("sim"), Source::Sim},
        {QStringLiteral("ioport"), Source::IoPort},
    };
    for (const auto& [name, kind] : names) {
        if (value == name) {
            return inputs::InputOptions{kind, {}};
        }
    }
    return Refusal{QStringLiteral("unknown input source '%1' (choose auto, joystick, sim, file:PATH or ioport)")
                       .arg(kit::printable(value))};
}

// A switch: true from the command line, or as a line of zavok.conf gives it.
std::variant<bool, Refusal> truth(const Setting& setting) {
    const QString v = setting.value.toLower();
    if (v == QStringLiteral("true") || v == QStringLiteral("yes") || v == QStringLiteral("on") ||
        v == QStringLiteral("1")) {
        return true;
    }
    if (v == QStringLiteral("false") || v == QStringLiteral("no") || v == QStringLiteral("off") ||
        v == QStringLiteral("0")) {
        return false;
    }
    return Refusal{
        QStringLiteral("%1: '%2' is neither true nor false").arg(setting.origin, kit::printable(setting.value))};
}

// The host name as a site id: lower case, and every character a topic should not carry turned into "-".
QString siteOf(const QString& hostName) {
    QString site = hostName.toLower();
    for (QChar& c : site) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-')) {
            c = u'-';
        }
    }
    return site.isEmpty() ? QStringLiteral("zavok") : site;
}

// The address as given, with what stands as its password shown as ***: an address refused for its form may still
// hold one, and a message must not carry it into the journal. Everything from the first colon after the scheme to
// the last @ counts, which hides more than the password rather than less when the address is garbled.
QString withoutPassword(const QString& address) {
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    const qsizetype at = address.lastIndexOf(u'@');
    const qsizetype colon = address.indexOf(u':', start);
    if (at < start || colon < 0 || colon > at) {
        return address;
    }
    return address.left(colon + 1) + QStringLiteral("***") + address.mid(at);
}

// A file that a TLS library can take its CAs from holds at least one certificate in PEM form.
bool holdsPemCertificate(const QByteArray& content) {
    static const QRegularExpression kCertificate(
        QStringLiteral("-----BEGIN ((X509 |TRUSTED )?CERTIFICATE)-----[A-Za-z0-9+/=\\s]+-----END \\1-----"));
    return kCertificate.match(QString::fromLatin1(content)).hasMatch();
}

std::optional<Refusal> caFile(const Setting& ca) {
    const QString file = kit::printable(ca.value);
    const QFileInfo info(ca.value);
    if (!info.exists()) {
        return Refusal{QStringLiteral("%1: no such file '%2'").arg(ca.origin, file)};
    }
    if (info.isDir()) {
        return Refusal{QStringLiteral("%1: %2 is a directory; name the file of the CA's certificate (PEM) in it")
                           .arg(ca.origin, file)};
    }
    const auto read = kit::readSmallFile(ca.value, kMostCaBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return Refusal{QStringLiteral("%1: cannot read %2 (%3)").arg(ca.origin, file, *why)};
    }
    if (!holdsPemCertificate(std::get<kit::SmallFile>(read).content)) {
        return Refusal{
            QStringLiteral("%1: %2 holds no certificate in PEM form (a block from -----BEGIN CERTIFICATE----- "
                           "to -----END CERTIFICATE-----)")
                .arg(ca.origin, file)};
    }
    return std::nullopt;
}

// The first line of the password file. A file that others can read is used all the same, where ssh would refuse such
// a key: refusing it would leave the site unwatched. It is told at every start until it is put right.
std::variant<QString, Refusal> password(const Setting& file, QStringList& warnings) {
    const QString path = kit::printable(file.value);
    const auto read = kit::readSmallFile(file.value, kMostPasswordBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return Refusal{QStringLiteral("%1: cannot read %2 (%3)").arg(file.origin, path, *why)};
    }
    const kit::SmallFile& secret = std::get<kit::SmallFile>(read);
    if ((secret.permissions & 077) != 0) {
        warnings << QStringLiteral("%1: %2 is open to other users of this machine (mode %3); a password should be "
                                   "readable by its owner alone (chmod 600)")
                        .arg(file.origin, path, QStringLiteral("%1").arg(secret.permissions, 4, 8, QChar(u'0')));
    }
    return QString::fromUtf8(secret.content.left(secret.content.indexOf('\n'))).remove(u'\r');
}

std::optional<Refusal> mqttOptions(const Settings& settings, const Surroundings& surroundings, mqtt::MqttOptions& mqtt,
                                   QStringList& warnings) {
    const auto given = [&settings](const char* name) -> const Setting* {
        const auto found = settings.find(QLatin1String(name));
        return found != settings.end() ? &found->second : nullptr;
    };
    const Setting* address = given("mqtt");
    if (address == nullptr) {
        return std::nullopt;
    }
    const QUrl url(address->value, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QStringLiteral("mqtt") && scheme != QStringLiteral("mqtts")) ||
        url.host().isEmpty() || (!url.path().isEmpty() && url.path() != QStringLiteral("/")) || url.hasQuery() ||
        url.hasFragment()) {
        return Refusal{QStringLiteral("%1: '%2' is no broker address; write mqtt://[USER@]HOST[:PORT] or "
                                      "mqtts://[USER@]HOST[:PORT]")
                           .arg(address->origin, kit::printable(withoutPassword(address->value)))};
    }
    if (!url.password().isEmpty()) {
        return Refusal{QStringLiteral("%1: the address holds a password, which every user of this machine could "
                                      "read; give it in ZAVOK_MQTT_PASSWORD or --mqtt-password-file instead")
                           .arg(address->origin)};
    }
    if (url.port() == 0) {
        return Refusal{
            QStringLiteral("%1: '%2' names port 0; a broker's port is 1 to %3")
                .arg(address->origin, kit::printable(withoutPassword(address->value)), QString::number(kMostPort))};
    }
    mqtt.tls = scheme == QStringLiteral("mqtts");
    mqtt.host = url.host();
    mqtt.port = url.port(mqtt.tls ? kMqttsPort : kMqttPort);
    mqtt.user = url.userName();
    mqtt.password = surroundings.mqttPassword;
    if (const Setting* file = given("mqtt-password-file")) {
        auto secret = password(*file, warnings);
        if (const auto* refusal = std::get_if<Refusal>(&secret)) {
            return *refusal;
        }
        mqtt.password = std::get<QString>(std::move(secret));
    }
    if (const Setting* ca = given("mqtt-ca")) {
        if (!mqtt.tls) {
            return Refusal{QStringLiteral("%1 serves a TLS broker only, an mqtts:// address").arg(ca->origin)};
        }
        if (const auto refusal = caFile(*ca)) {
            return refusal;
        }
        mqtt.caFile = ca->value;
    }
    mqtt.site = siteOf(surroundings.hostName);
    if (const Setting* site = given("site")) {
        static const QRegularExpression kSiteId(QStringLiteral("^[a-z0-9_-]+$"));
        if (!kSiteId.match(site->value).hasMatch()) {
            return Refusal{QStringLiteral("%1: '%2' may hold only a-z, 0-9, _ and -, as it names this site in every "
                                          "topic")
                               .arg(site->origin, kit::printable(site->value))};
        }
        mqtt.site = site->value;
    }
    mqtt.discoveryPrefix = QStringLiteral("homeassistant");
    if (const Setting* discovery = given("mqtt-discovery")) {
        if (discovery->value == QStringLiteral("off")) {
            mqtt.discoveryPrefix.clear();
        } else if (discovery->value.isEmpty() || discovery->value.contains(u'+') || discovery->value.contains(u'#')) {
            return Refusal{QStringLiteral("%1: '%2' is no topic prefix (and off turns discovery off)")
                               .arg(discovery->origin, kit::printable(discovery->value))};
        } else {
            mqtt.discoveryPrefix = discovery->value;
        }
    }
    if (const Setting* commands = given("mqtt-commands")) {
        const auto on = truth(*commands);
        if (const auto* refusal = std::get_if<Refusal>(&on)) {
            return *refusal;
        }
        mqtt.commands = std::get<bool>(on);
    }
    return std::nullopt;
}

// The settings that serve the broker alone do nothing without one. Given on the command line, they are a mistake
// to point out; standing in zavok.conf, they may wait there for a broker to come, and the start goes on.
std::optional<Refusal> withoutBroker(const Settings& settings, QStringList& warnings) {
    if (settings.contains(QStringLiteral("mqtt"))) {
        return std::nullopt;
    }
    for (const OptionRule& rule : kOptionRules) {
        const auto found = settings.find(QLatin1String(rule.name));
        if (rule.scope != Scope::Broker || found == settings.end()) {
            continue;
        }
        const QString& origin = found->second.origin;
        if (!found->second.inFile) {
            return Refusal{
                QStringLiteral("%1 serves an MQTT broker only, and no broker is given (--mqtt)").arg(origin)};
        }
        warnings << QStringLiteral("%1 serves an MQTT broker only, and no broker is given (an mqtt= line or --mqtt); "
                                   "it is ignored")
                        .arg(origin);
    }
    return std::nullopt;
}

std::variant<QDate, Refusal> day(const Setting& setting) {
    const QDate date = QDate::fromString(setting.value, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) {
        return Refusal{
            QStringLiteral("%1: '%2' is no day; write YYYY-MM-DD").arg(setting.origin, kit::printable(setting.value))};
    }
    return date;
}

std::optional<Refusal> historyOptions(const Settings& settings, Options& options) {
    if (const auto days = settings.find(QStringLiteral("history-days")); days != settings.end()) {
        bool ok = false;
        options.historyDays = days->second.value.toInt(&ok);
        if (!ok || options.historyDays < 1 || options.historyDays > kMostHistoryDays) {
            return Refusal{
                QStringLiteral("%1: '%2' is no number of days from 1 to %3")
                    .arg(days->second.origin, kit::printable(days->second.value), QString::number(kMostHistoryDays))};
        }
    }
    for (const auto& [name, bound] :
         {std::pair{"from", &history::HistoryExport::from}, std::pair{"to", &history::HistoryExport::to}}) {
        const auto given = settings.find(QLatin1String(name));
        if (given == settings.end()) {
            continue;
        }
        if (!options.historyCsv) {
            return Refusal{
                QStringLiteral("%1 chooses the days of --history-csv, which is not given").arg(given->second.origin)};
        }
        const auto date = day(given->second);
        if (const auto* refusal = std::get_if<Refusal>(&date)) {
            return *refusal;
        }
        (*options.historyCsv).*bound = std::get<QDate>(date);
    }
    return std::nullopt;
}

} // namespace

std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version,
                                            const Surroundings& surroundings, QTextStream& out, QTextStream& err) {
    const auto refuse = [&err](const Refusal& refusal) {
        err << QStringLiteral("zavok: ") << refusal.line << '\n' << kUsage;
        err.flush();
        return kUsageError;
    };
    Settings settings;
    // The arguments go first, so that --help answers whatever the settings file holds.
    auto arguments = readArguments(args, version, settings, out);
    if (const int* status = std::get_if<int>(&arguments)) {
        return *status;
    }
    if (const auto* refusal = std::get_if<Refusal>(&arguments)) {
        return refuse(*refusal);
    }
    if (const auto refusal = readConfig(surroundings.configFile, settings)) {
        return refuse(*refusal);
    }
    for (auto& [name, setting] : std::get<Settings>(arguments)) {
        settings[name] = setting;
    }

    Options options;
    const auto has = [&settings](const char* name) { return settings.contains(QLatin1String(name)); };
    if (has("input")) {
        auto chosen = inputSource(settings.at(QStringLiteral("input")).value);
        if (const auto* refusal = std::get_if<Refusal>(&chosen)) {
            return refuse(*refusal);
        }
        options.input = std::get<inputs::InputOptions>(chosen);
    }
    if (has("logs-in-data-dir")) {
        const auto on = truth(settings.at(QStringLiteral("logs-in-data-dir")));
        if (const auto* refusal = std::get_if<Refusal>(&on)) {
            return refuse(*refusal);
        }
        options.logsInDataDirectory = std::get<bool>(on);
    }
    options.headless = has("headless");
    if (options.headless && options.input.source == inputs::InputOptions::Source::Sim) {
        return refuse({QStringLiteral("--input=sim needs a window to drive the simulator, and --headless has none")});
    }
    QStringList warnings;
    if (const auto refusal = withoutBroker(settings, warnings)) {
        return refuse(*refusal);
    }
    if (const auto refusal = mqttOptions(settings, surroundings, options.mqtt, warnings)) {
        return refuse(*refusal);
    }
    if (has("history-csv")) {
        const Setting& csv = settings.at(QStringLiteral("history-csv"));
        options.historyCsv.emplace();
        if (!csv.value.isEmpty()) {
            bool ok = false;
            const int channel = csv.value.toInt(&ok);
            if (!ok || channel < 1 || channel > 4) {
                return refuse(
                    {QStringLiteral("--history-csv=%1: the channel is 1, 2, 3 or 4").arg(kit::printable(csv.value))});
            }
            options.historyCsv->channel = channel;
        }
    }
    if (const auto refusal = historyOptions(settings, options)) {
        return refuse(*refusal);
    }
    if (options.historyCsv && options.historyCsv->from && options.historyCsv->to &&
        *options.historyCsv->from > *options.historyCsv->to) {
        return refuse({QStringLiteral("--from is after --to")});
    }
    for (const QString& warning : warnings) {
        err << QStringLiteral("zavok: ") << warning << '\n';
    }
    err.flush();
    return options;
}

} // namespace zavok::service
