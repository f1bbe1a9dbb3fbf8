#pragma once

#include "history/history_options.h"
#include "inputs/input_options.h"
#include "mqtt/mqtt_options.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

class QTextStream;

namespace zavok::service {

// Everything the command line, and the settings file behind it, chooses.
struct Options {
    inputs::InputOptions input;
    // The daily activity logs go into the data directory, beside the settings, rather than into the working
    // directory: a program started from the desktop's menu works in the home folder, which a year of logs would
    // litter.
    bool logsInDataDirectory = false;
    // No window, no display and no box: the same core as a service.
    bool headless = false;
    mqtt::MqttOptions mqtt;
    int historyDays = history::kDefaultHistoryDays;
    std::optional<history::HistoryExport> historyCsv;

    friend bool operator==(const Options&, const Options&) = default;
};

// What the command line draws on besides its arguments, gathered by the caller so that reading it stays free of the
// machine.
struct Surroundings {
    QString configFile;   // zavok.conf: the settings of a run as "name=value" lines, named as their options
    QString mqttPassword; // the environment's ZAVOK_MQTT_PASSWORD
    QString hostName;     // the machine's name, which the site is named after unless told otherwise
};

// Reads the command line (the program's name first, as argv has it), over the settings file's settings. Each capability
// reads its own options (inputs, mqtt, history); this gathers them, reads the file and the arguments, and builds the
// usage.
// --help and --version write to `out` and give exit status 0; anything wrong (an unknown option, a stray argument,
// a value that cannot be used, a password in the broker's address, a file named by a setting that is no regular file
// of a sensible size) writes one line saying what and why, then "Try 'zavok --help' for more information.", to `err`
// and gives exit status 2. What goes on but is worth putting right (a password file that others can read, a setting of
// zavok.conf that does nothing without a broker) is written to `err`, a line each, along with the options. Nothing else
// happens on the way, and nothing waits on the files it reads, so the caller can run this before it creates or logs
// anything.
std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version,
                                            const Surroundings& surroundings, QTextStream& out, QTextStream& err);

} // namespace zavok::service
