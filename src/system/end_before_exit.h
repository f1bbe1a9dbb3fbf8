#pragma once

#include <functional>

namespace zavok::system {

// Runs `end` when code the program does not own ends the process with exit() while the program still runs: Qt's X11
// plugin does so when the display's connection breaks ("The X11 connection broke"), which is how a session ends on
// a desktop that sends no signal first. Qt's plugin calls exit() on the main thread, from inside the event loop,
// so the core is between events and the orderly shutdown can run as it would from a click. An exit() from any
// other thread runs nothing, as the core belongs to the main thread. One instance at a time; `end` runs at most
// once, and never once the instance is gone.
class EndBeforeExit {
public:
    explicit EndBeforeExit(std::function<void()> end);
    ~EndBeforeExit();

    EndBeforeExit(const EndBeforeExit&) = delete;
    EndBeforeExit& operator=(const EndBeforeExit&) = delete;
};

} // namespace zavok::system
