// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

namespace lumi::fuzz {

// Ends the run when a property of the code under test does not hold: the abort is what makes
// libFuzzer report the input and keep it as a crash file. `property` says in words what
// should have held.
inline void check(bool holds, const char* property) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "Property does not hold: %s\n", property);
    std::abort();
}

}  // namespace lumi::fuzz
