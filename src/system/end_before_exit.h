#pragma once

#include <functional>

namespace zavok::system {

// Runs `end` when code the program does not own ends the process with exit() while the program still runs: Qt's X11
// plugin does so when the display's connection breaks, which is how a session ends on a desktop that sends no
// signal first. Qt's plugin says "The X11 connection broke" and then calls exit() on the main thread, from inside
// the event loop, so the core is between events and the orderly shutdown can run as it would from a click. It runs
// as Qt says so, before exit() begins: the exit handlers run newest first, and a library loaded after the start (the
// history's database driver, at the first tick) has registered its own after this one, so exit() would take it
// apart before `end` could save into it. Any other exit() runs `end` among the exit handlers. An exit() from any
// other thread runs nothing, as the core belongs to the main thread. One instance at a time, made after
// QCoreApplication; `end` runs at most once, and never once the instance is gone.
class EndBeforeExit {
public:
    explicit EndBeforeExit(std::function<void()> end);
    ~EndBeforeExit();

    EndBeforeExit(const EndBeforeExit&) = delete;
    EndBeforeExit& operator=(const EndBeforeExit&) = delete;
};

} // namespace zavok::system
