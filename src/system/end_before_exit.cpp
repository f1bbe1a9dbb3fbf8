#include "end_before_exit.h"

#include <cstdlib>
#include <thread>

namespace zavok::system {

namespace {

std::function<void()> pending;
std::thread::id mainThread;

extern "C" void endPending() {
    if (!pending || std::this_thread::get_id() != mainThread) {
        return;
    }
    const std::function<void()> end = std::move(pending);
    pending = nullptr;
    end();
}

} // namespace

EndBeforeExit::EndBeforeExit(std::function<void()> end) {
    pending = std::move(end);
    mainThread = std::this_thread::get_id();
    // Exit handlers run in the reverse order of their registration, interleaved with the destructors of statics:
    // registered once the program has started, this one runs before the parts of Qt that start-up brought up go.
    [[maybe_unused]] static const bool registered = std::atexit(endPending) == 0;
}

EndBeforeExit::~EndBeforeExit() {
    pending = nullptr;
}

} // namespace zavok::system
