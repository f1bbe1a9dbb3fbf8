#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace zavok::test {

// Ends the test program, failing, when the code it watches has not returned within the limit. Code that waits on a
// FIFO or reads a device for ever cannot be stopped from outside; without this it would hang the suite instead of
// failing it.
class Watchdog {
public:
    explicit Watchdog(const char* what, std::chrono::seconds limit = std::chrono::seconds(30))
        : thread_([this, what, limit] {
            std::unique_lock lock(mutex_);
            if (!done_.wait_for(lock, limit, [this] { return returned_; })) {
                std::fprintf(stderr, "Failure: %s did not return within %lld s\n", what,
                             static_cast<long long>(limit.count()));
                std::fflush(stdout);
                std::_Exit(EXIT_FAILURE);
            }
        }) {}
    ~Watchdog() {
        {
            const std::lock_guard lock(mutex_);
            returned_ = true;
        }
        done_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool returned_ = false;
    std::thread thread_; // last, so that it starts once the rest is there
};

} // namespace zavok::test
