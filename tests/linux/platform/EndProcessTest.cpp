// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <future>
#include <thread>

#include "linux/platform/Platform.h"

namespace lumi::platform {
namespace {

// The display ends through endProcessNow() while other threads may be in the middle of a
// long read from a stream of their own (FluidSynth loading its SoundFont holds that
// stream's lock throughout). The end must not wait for them.
TEST(EndProcessTest, EndsWhileAnotherThreadHoldsAStreamLock) {
    EXPECT_EXIT(
        {
            alarm(5);  // a wait for the lock ends the child by SIGALRM instead of hanging
            std::FILE* stream = std::tmpfile();
            std::promise<void> locked;
            std::thread([stream, &locked] {
                flockfile(stream);  // and never gives it back
                locked.set_value();
                pause();
            }).detach();
            locked.get_future().wait();
            std::fputs("written before the end\n", stdout);
            endProcessNow();
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace lumi::platform
