// What a fuzz target asserts: a property that fails stops the run with its
// description, and libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void require(bool property, const char* what) {
    if (!property) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}
