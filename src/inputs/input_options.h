#pragma once

#include "kit/option_rules.h"

#include <QString>

#include <optional>

namespace zavok::inputs {

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

// --input: its rule, its lines of the usage, and its reading into `input` (left as it is when not given).
kit::OptionRules inputRules();
QString inputUsage();
std::optional<kit::Refusal> readInputOptions(const kit::Settings& settings, InputOptions& input);

} // namespace zavok::inputs
