#pragma once

#include <QString>

#include <map>
#include <span>
#include <variant>

namespace zavok::kit {

// What an option takes on the command line: nothing (a switch), a value (--name=value or --name value), or a value
// that may be left out (--name or --name=value, never --name value).
enum class Takes { Nothing, Value, MaybeValue };

// Where an option may stand. What sets up a run may stand in zavok.conf too, so that a service's unit never needs
// editing; what chooses the program or an action of one run is for the command line alone; what serves the broker
// alone does nothing without one.
enum class Scope { CommandLine, Run, Broker };

// One option of the program, as the capability it sets up declares it.
struct OptionRule {
    const char* name;
    Takes takes;
    Scope scope;
    const char* wants; // what a missing value should have been
};
using OptionRules = std::span<const OptionRule>;

// A setting and where it was given, which is where a message about it points.
struct Setting {
    QString value;
    QString origin;      // "--site", or "site in /home/ann/.config/zavok/zavok.conf"
    bool inFile = false; // from zavok.conf rather than the command line
};
using Settings = std::map<QString, Setting>;

// A reason to refuse the options, for the user: one line.
struct Refusal {
    QString line;
};

// The setting of that name, if it is given.
const Setting* given(const Settings& settings, const char* name);

// A switch: true from the command line, or as a line of zavok.conf gives it.
std::variant<bool, Refusal> truth(const Setting& setting);

} // namespace zavok::kit
