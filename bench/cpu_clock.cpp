// Prints the CPU time (user and system) each of the given processes has used so far, in seconds to the nanosecond,
// one line "PID SECONDS" each: its process CPU clock, which sums all its threads, those that have ended included.
// /proc/PID/stat gives the same in clock ticks of 10 ms, too coarse for a baseline of a few tenths of a second;
// the threads' schedstat misses a thread that ends. A process that has ended is left out.
//
// Usage: zavok_cpu_clock PID...
#include <charconv>
#include <cstdio>
#include <cstring>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        pid_t pid = 0;
        const char* end = argv[i] + std::strlen(argv[i]);
        clockid_t clock{};
        timespec used{};
        if (std::from_chars(argv[i], end, pid).ptr != end || clock_getcpuclockid(pid, &clock) != 0 ||
            clock_gettime(clock, &used) != 0) {
            continue;
        }
        std::printf("%d %lld.%09ld\n", int(pid), static_cast<long long>(used.tv_sec), used.tv_nsec);
    }
    return 0;
}
