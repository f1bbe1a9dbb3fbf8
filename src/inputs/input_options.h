#pragma once

#include <QString>

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

} // namespace zavok::inputs
