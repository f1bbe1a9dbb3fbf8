#pragma once

namespace zavok::kit {

class Timer;

// Runs timers: the program uses one on the event loop, the tests a virtual one that advances by hand. Either
// way one tick, and everything it triggers, completes before the next tick starts.
class Scheduler {
public:
    virtual ~Scheduler() = default;

    // (Re)start the timer's period from now; it then fires every interval until stopped.
    virtual void start(Timer& timer) = 0;
    virtual void stop(Timer& timer) = 0;
};

} // namespace zavok::kit
