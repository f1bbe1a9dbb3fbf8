#include "mqtt_options.h"

#include "kit/printable.h"
#include "kit/regular_files.h"
#include "sensor_classes.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <array>
#include <variant>

namespace zavok::mqtt {

namespace {

constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;
constexpr int kMostPort = 65535;

// Far more than each file needs, and little enough to read at once at every start.
constexpr qint64 kMostPasswordBytes = qint64(4) * 1024;
constexpr qint64 kMostCaBytes = qint64(1024) * 1024;

constexpr std::array kRules = {
    kit::OptionRule{"mqtt", kit::Takes::Value, kit::Scope::Run,
                    "the broker's address, as in --mqtt=mqtt://broker.local"},
    kit::OptionRule{"mqtt-ca", kit::Takes::Value, kit::Scope::Broker, "a file, as in --mqtt-ca=/etc/ssl/my-ca.pem"},
    kit::OptionRule{"mqtt-password-file", kit::Takes::Value, kit::Scope::Broker,
                    "a file, as in --mqtt-password-file=/etc/zavok/password"},
    kit::OptionRule{"site", kit::Takes::Value, kit::Scope::Broker, "a name, as in --site=plant-room"},
    kit::OptionRule{"mqtt-discovery", kit::Takes::Value, kit::Scope::Broker,
                    "a prefix or off, as in --mqtt-discovery=homeassistant"},
    kit::OptionRule{"mqtt-birth-topic", kit::Takes::Value, kit::Scope::Broker,
                    "a topic, as in --mqtt-birth-topic=homeassistant/status"},
    kit::OptionRule{"mqtt-commands", kit::Takes::Nothing, kit::Scope::Broker, nullptr},
    kit::OptionRule{"unit1", kit::Takes::Value, kit::Scope::Broker, "a unit, as in --unit1=bar"},
    kit::OptionRule{"unit2", kit::Takes::Value, kit::Scope::Broker, "a unit, as in --unit2=L"},
    kit::OptionRule{"unit3", kit::Takes::Value, kit::Scope::Broker, "a unit, as in --unit3=m"},
    kit::OptionRule{"unit4", kit::Takes::Value, kit::Scope::Broker, "a unit, as in --unit4=L/min"},
    kit::OptionRule{"device-class1", kit::Takes::Value, kit::Scope::Broker,
                    "a device class, as in --device-class1=pressure"},
    kit::OptionRule{"device-class2", kit::Takes::Value, kit::Scope::Broker,
                    "a device class, as in --device-class2=volume_storage"},
    kit::OptionRule{"device-class3", kit::Takes::Value, kit::Scope::Broker,
                    "a device class, as in --device-class3=distance"},
    kit::OptionRule{"device-class4", kit::Takes::Value, kit::Scope::Broker,
                    "a device class, as in --device-class4=volume_flow_rate"},
};

// Its device classes of a sensor whose state is text: no channel's.
constexpr std::array kTextDeviceClasses = {"date", "enum", "timestamp"};

// Longer than any unit Home Assistant knows, short enough to show on a card.
constexpr qsizetype kLongestUnit = 16;

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

std::optional<kit::Refusal> caFile(const kit::Setting& ca) {
    const QString file = kit::printable(ca.value);
    const QFileInfo info(ca.value);
    if (!info.exists()) {
        return kit::Refusal{QStringLiteral("%1: no such file '%2'").arg(ca.origin, file)};
    }
    if (info.isDir()) {
        return kit::Refusal{QStringLiteral("%1: %2 is a directory; name the file of the CA's certificate (PEM) in it")
                                .arg(ca.origin, file)};
    }
    const auto read = kit::readSmallFile(ca.value, kMostCaBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return kit::Refusal{QStringLiteral("%1: cannot read %2 (%3)").arg(ca.origin, file, *why)};
    }
    if (!holdsPemCertificate(std::get<kit::SmallFile>(read).content)) {
        return kit::Refusal{
            QStringLiteral("%1: %2 holds no certificate in PEM form (a block from -----BEGIN CERTIFICATE----- "
                           "to -----END CERTIFICATE-----)")
                .arg(ca.origin, file)};
    }
    return std::nullopt;
}

// The first line of the password file. A file that others can read is used all the same, where ssh would refuse such
// a key: refusing it would leave the site unwatched. It is told at every start until it is put right.
std::variant<QString, kit::Refusal> passwordIn(const kit::Setting& file, QStringList& warnings) {
    const QString path = kit::printable(file.value);
    const auto read = kit::readSmallFile(file.value, kMostPasswordBytes);
    if (const auto* why = std::get_if<QString>(&read)) {
        return kit::Refusal{QStringLiteral("%1: cannot read %2 (%3)").arg(file.origin, path, *why)};
    }
    const auto& secret = std::get<kit::SmallFile>(read);
    if ((secret.permissions & 077) != 0) {
        warnings << QStringLiteral("%1: %2 is open to other users of this machine (mode %3); a password should be "
                                   "readable by its owner alone (chmod 600)")
                        .arg(file.origin, path, QStringLiteral("%1").arg(secret.permissions, 4, 8, QChar(u'0')));
    }
    return QString::fromUtf8(secret.content.left(secret.content.indexOf('\n'))).remove(u'\r');
}

// Channel n's unit and device class, where given.
std::optional<kit::Refusal> readChannel(const kit::Settings& settings, int n, MqttOptions& mqtt) {
    const std::size_t i = n - 1;
    if (const kit::Setting* unit = kit::given(settings, QByteArray("unit" + QByteArray::number(n)).constData())) {
        if (unit->value.size() > kLongestUnit || kit::printable(unit->value) != unit->value) {
            return kit::Refusal{QStringLiteral("%1: '%2' is no unit; write at most %3 characters, none of them a "
                                               "control character, as in °C or bar")
                                    .arg(unit->origin, kit::printable(unit->value), QString::number(kLongestUnit))};
        }
        mqtt.units.at(i) = unit->value;
    }
    const kit::Setting* kind = kit::given(settings, QByteArray("device-class" + QByteArray::number(n)).constData());
    if (kind == nullptr) {
        return std::nullopt;
    }
    const auto named = [&kind](const char* name) { return kind->value == QLatin1String(name); };
    if (std::any_of(kTextDeviceClasses.begin(), kTextDeviceClasses.end(), named)) {
        return kit::Refusal{QStringLiteral("%1: '%2' is a device class of a sensor that shows text, and channel %3 "
                                           "shows a number")
                                .arg(kind->origin, kind->value, QString::number(n))};
    }
    const SensorClass* sensor = sensorClass(kind->value);
    if (sensor == nullptr) {
        return kit::Refusal{
            QStringLiteral("%1: '%2' is no device class of Home Assistant's sensors that a channel may have (%3)")
                .arg(kind->origin, kit::printable(kind->value), measuringClasses().join(QStringLiteral(", ")))};
    }
    if (!measures(*sensor)) {
        return kit::Refusal{
            QStringLiteral("%1: Home Assistant takes a sensor of device class '%2' only as %3, and channel %4 is a "
                           "measurement")
                .arg(kind->origin, kind->value, QLatin1String(sensor->stateClasses), QString::number(n))};
    }
    // Without a unit too, Home Assistant warns of a class that wants one.
    if (!takesUnit(*sensor, mqtt.units.at(i))) {
        const QString units = unitsOf(*sensor).join(QStringLiteral(", "));
        if (mqtt.units.at(i).isEmpty()) {
            return kit::Refusal{QStringLiteral("%1: Home Assistant's device class '%2' wants a unit, and unit%3 is not "
                                               "given (one of %4)")
                                    .arg(kind->origin, kind->value, QString::number(n), units)};
        }
        return kit::Refusal{
            QStringLiteral("%1: '%2' is no unit of Home Assistant's device class '%3' (%4)")
                .arg(kit::given(settings, QByteArray("unit" + QByteArray::number(n)).constData())->origin,
                     mqtt.units.at(i), kind->value, units)};
    }
    mqtt.deviceClasses.at(i) = kind->value;
    return std::nullopt;
}

// A topic that the program subscribes to or publishes under: no wildcards, and something there.
bool isTopic(const QString& topic) {
    return !topic.isEmpty() && !topic.contains(u'+') && !topic.contains(u'#');
}

// The settings that serve the broker alone do nothing without one. Given on the command line, they are a mistake
// to point out; standing in zavok.conf, they may wait there for a broker to come, and the start goes on.
std::optional<kit::Refusal> withoutBroker(const kit::Settings& settings, QStringList& warnings) {
    if (settings.contains(QStringLiteral("mqtt"))) {
        return std::nullopt;
    }
    for (const kit::OptionRule& rule : kRules) {
        const auto found = settings.find(QLatin1String(rule.name));
        if (rule.scope != kit::Scope::Broker || found == settings.end()) {
            continue;
        }
        const QString& origin = found->second.origin;
        if (!found->second.inFile) {
            return kit::Refusal{
                QStringLiteral("%1 serves an MQTT broker only, and no broker is given (--mqtt)").arg(origin)};
        }
        warnings << QStringLiteral("%1 serves an MQTT broker only, and no broker is given (an mqtt= line or --mqtt); "
                                   "it is ignored")
                        .arg(origin);
    }
    return std::nullopt;
}

} // namespace

kit::OptionRules mqttRules() {
    return kRules;
}

QString mqttUsage() {
    return QStringLiteral(
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
        "  --mqtt-birth-topic=TOPIC\n"
        "                  where Home Assistant says it has started and wants the site announced again (default:\n"
        "                  homeassistant/status)\n"
        "  --mqtt-commands  take every press and entry of the windows from the broker (off by default)\n"
        "  --unitN=UNIT, --device-classN=CLASS\n"
        "                  the unit of channel N (1 to 4) and the kind of thing it measures, as Home Assistant shows\n"
        "                  them: --unit1=°C --device-class1=temperature; CLASS is one of Home Assistant's sensor\n"
        "                  device classes of a measurement, and UNIT one of the units it takes\n");
}

std::optional<kit::Refusal> readMqttOptions(const kit::Settings& settings, const QString& password,
                                            const QString& hostName, MqttOptions& mqtt, QStringList& warnings) {
    if (auto refusal = withoutBroker(settings, warnings)) {
        return refusal;
    }
    const kit::Setting* address = kit::given(settings, "mqtt");
    if (address == nullptr) {
        return std::nullopt;
    }
    const QUrl url(address->value, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QStringLiteral("mqtt") && scheme != QStringLiteral("mqtts")) ||
        url.host().isEmpty() || (!url.path().isEmpty() && url.path() != QStringLiteral("/")) || url.hasQuery() ||
        url.hasFragment()) {
        return kit::Refusal{QStringLiteral("%1: '%2' is no broker address; write mqtt://[USER@]HOST[:PORT] or "
                                           "mqtts://[USER@]HOST[:PORT]")
                                .arg(address->origin, kit::printable(withoutPassword(address->value)))};
    }
    if (!url.password().isEmpty()) {
        return kit::Refusal{QStringLiteral("%1: the address holds a password, which every user of this machine could "
                                           "read; give it in ZAVOK_MQTT_PASSWORD or --mqtt-password-file instead")
                                .arg(address->origin)};
    }
    if (url.port() == 0) {
        return kit::Refusal{
            QStringLiteral("%1: '%2' names port 0; a broker's port is 1 to %3")
                .arg(address->origin, kit::printable(withoutPassword(address->value)), QString::number(kMostPort))};
    }
    mqtt.tls = scheme == QStringLiteral("mqtts");
    mqtt.host = url.host();
    mqtt.port = url.port(mqtt.tls ? kMqttsPort : kMqttPort);
    mqtt.user = url.userName();
    mqtt.password = password;
    if (const kit::Setting* file = kit::given(settings, "mqtt-password-file")) {
        auto secret = passwordIn(*file, warnings);
        if (const auto* refusal = std::get_if<kit::Refusal>(&secret)) {
            return *refusal;
        }
        mqtt.password = std::get<QString>(std::move(secret));
    }
    if (const kit::Setting* ca = kit::given(settings, "mqtt-ca")) {
        if (!mqtt.tls) {
            return kit::Refusal{QStringLiteral("%1 serves a TLS broker only, an mqtts:// address").arg(ca->origin)};
        }
        if (auto refusal = caFile(*ca)) {
            return refusal;
        }
        mqtt.caFile = ca->value;
    }
    mqtt.site = siteOf(hostName);
    if (const kit::Setting* site = kit::given(settings, "site")) {
        static const QRegularExpression kSiteId(QStringLiteral("^[a-z0-9_-]+$"));
        if (!kSiteId.match(site->value).hasMatch()) {
            return kit::Refusal{
                QStringLiteral("%1: '%2' may hold only a-z, 0-9, _ and -, as it names this site in every "
                               "topic")
                    .arg(site->origin, kit::printable(site->value))};
        }
        mqtt.site = site->value;
    }
    mqtt.discoveryPrefix = QStringLiteral("homeassistant");
    if (const kit::Setting* discovery = kit::given(settings, "mqtt-discovery")) {
        if (discovery->value == QStringLiteral("off")) {
            mqtt.discoveryPrefix.clear();
        } else if (!isTopic(discovery->value)) {
            return kit::Refusal{QStringLiteral("%1: '%2' is no topic prefix (and off turns discovery off)")
                                    .arg(discovery->origin, kit::printable(discovery->value))};
        } else {
            mqtt.discoveryPrefix = discovery->value;
        }
    }
    if (const kit::Setting* birth = kit::given(settings, "mqtt-birth-topic")) {
        if (!isTopic(birth->value)) {
            return kit::Refusal{QStringLiteral("%1: '%2' is no topic to subscribe to; name one topic, without + or #")
                                    .arg(birth->origin, kit::printable(birth->value))};
        }
        mqtt.birthTopic = birth->value;
    }
    for (int n = 1; n <= 4; ++n) {
        if (auto refusal = readChannel(settings, n, mqtt)) {
            return refusal;
        }
    }
    if (const kit::Setting* commands = kit::given(settings, "mqtt-commands")) {
        const auto on = kit::truth(*commands);
        if (const auto* refusal = std::get_if<kit::Refusal>(&on)) {
            return *refusal;
        }
        mqtt.commands = std::get<bool>(on);
    }
    return std::nullopt;
}

} // namespace zavok::mqtt
