#pragma once

#include "kit/option_rules.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace zavok::mqtt {

// Publishing to an MQTT broker, which is off while `host` is empty.
struct MqttOptions {
    bool tls = false;
    QString host;
    int port = 0;
    QString user;
    QString password;
    QString caFile;          // the CA that vouches for a TLS broker; the system's CAs when empty
    QString site;            // the site's id in every topic
    QString discoveryPrefix; // Home Assistant's discovery prefix; no discovery when empty
    bool commands = false;   // every press and entry of the windows is taken from the broker
    // Per channel, what Home Assistant shows its value in and what it measures; none where empty.
    std::array<QString, 4> units = {};
    std::array<QString, 4> deviceClasses = {};
    // Where Home Assistant says it has (re)started and wants every device announced again.
    QString birthTopic = QStringLiteral("homeassistant/status");

    bool isOn() const { return !host.isEmpty(); }
    friend bool operator==(const MqttOptions&, const MqttOptions&) = default;
};

// --mqtt and the options that serve a broker: their rules, their lines of the usage, and their reading into `mqtt`.
// The password is the environment's unless a password file is given, and the site is named after `hostName` unless
// told otherwise. What goes on but is worth putting right is added to `warnings`, a line each.
kit::OptionRules mqttRules();
QString mqttUsage();
std::optional<kit::Refusal> readMqttOptions(const kit::Settings& settings, const QString& password,
                                            const QString& hostName, MqttOptions& mqtt, QStringList& warnings);

} // namespace zavok::mqtt
