#pragma once

// What every fuzz target does when a property breaks: say which, and stop, so that libFuzzer
// keeps the input.

#include <cstdio>
#include <cstdlib>

inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
