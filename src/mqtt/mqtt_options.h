#pragma once

#include <QString>

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
    bool commands = false;   // RESET, BELL OFF and BELL ON are taken from the broker

    bool isOn() const { return !host.isEmpty(); }
    friend bool operator==(const MqttOptions&, const MqttOptions&) = default;
};

} // namespace zavok::mqtt
