#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant is a crash to libFuzzer: it stops, keeps the input and prints where.
#define FUZZ_CHECK(condition) ((condition) ? void() : fuzzCheckFailed(__FILE__, __LINE__, #condition))

[[noreturn]] inline void fuzzCheckFailed(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}
