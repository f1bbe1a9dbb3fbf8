#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

class QTextStream;

namespace zavok::platform {

// Where the contacts and the sensors are read from.
struct InputOptions {
    enum class Source {
        Auto,     // the joysticks when SDL finds one at start, else the simulator
        Joystick, // joysticks and game pads through SDL2
        Sim,      // the built-in simulator window
        File,     // a state file that another program rewrites
        IoPort,   // the real game port at 0x201
    };
    Source source = Source::Auto;
    QString path; // the state file, for Source::File

    friend bool operator==(const InputOptions&, const InputOptions&) = default;
};

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

// The history's minute rows, printed as CSV: one channel or all, between two days (both included).
struct HistoryExport {
    std::optional<int> channel; // 1..4; every channel when unset
    std::optional<QDate> from;
    std::optional<QDate> to;

    friend bool operator==(const HistoryExport&, const HistoryExport&) = default;
};

// Everything the command line, and the settings file behind it, chooses.
struct Options {
    static constexpr int kDefaultHistoryDays = 400;

    InputOptions input;
    // The daily activity logs go into the data directory, beside the settings, rather than into the working
    // directory: a program started from the desktop's menu works in the home folder, which a year of logs would
    // litter.
    bool logsInDataDirectory = false;
    // No window, no display and no box: the same core as a service.
    bool headless = false;
    MqttOptions mqtt;
    int historyDays = kDefaultHistoryDays;
    std::optional<HistoryExport> historyCsv;

    friend bool operator==(const Options&, const Options&) = default;
};

// What the command line draws on besides its arguments, gathered by the caller so that reading it stays free of the
// machine.
struct Surroundings {
    QString configFile;   // zavok.conf: MQTT settings as "name=value" lines, named as their options
    QString mqttPassword; // the environment's ZAVOK_MQTT_PASSWORD
    QString hostName;     // the machine's name, which the site is named after unless told otherwise
};

// Reads the command line (the program's name first, as argv has it), over the settings file's MQTT settings.
// --help and --version write to `out` and give exit status 0; anything wrong (an unknown option, a stray argument,
// a value that cannot be used, a password in the broker's address, a file named by a setting that is no regular file
// of a sensible size) writes one line saying what and why, then the usage, to `err` and gives exit status 2. What
// goes on but is worth putting right (a password file that others can read, a setting of zavok.conf that does nothing
// without a broker) is written to `err`, a line each, along with the options. Nothing else happens on the way, and
// nothing waits on the files it reads, so the caller can run this before it creates or logs anything.
std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version,
                                            const Surroundings& surroundings, QTextStream& out, QTextStream& err);

} // namespace zavok::platform
