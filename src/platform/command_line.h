#pragma once

#include <QString>
#include <QStringList>

#include <variant>

class QTextStream;

namespace zavok::platform {

// Where the contacts and the sensors are read from, as chosen on the command line.
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

// Everything the command line chooses.
struct Options {
    InputOptions input;
    // The daily activity logs go into the data directory, beside the settings, rather than into the working
    // directory: a program started from the desktop's menu works in the home folder, which a year of logs would
    // litter.
    bool logsInDataDirectory = false;

    friend bool operator==(const Options&, const Options&) = default;
};

// Reads the command line (the program's name first, as argv has it). --help and --version write to `out` and
// give exit status 0; an unknown option, a stray argument or an unknown source writes one line saying what is
// wrong, then the usage, to `err` and gives exit status 2. Nothing else happens on the way, so the caller can run
// this before it creates or logs anything.
std::variant<Options, int> parseCommandLine(const QStringList& args, const QString& version, QTextStream& out,
                                            QTextStream& err);

} // namespace zavok::platform
