// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "startup/CommandLine.h"
#include "startup/PreviewCommandLine.h"

namespace lumi::startup {
namespace {

struct TailCase {
    const char* commandLine;
    std::int32_t window;
};

class PreviewCommandLineTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(PreviewCommandLineTest, TakesTheLongestNumericTailOfTheNormalisedLine) {
    const TailCase& c = GetParam();
    EXPECT_EQ(previewWindowNumber(normaliseCommandLine(c.commandLine)), c.window);
}

INSTANTIATE_TEST_SUITE_P(Tails, PreviewCommandLineTest,
                         ::testing::Values(TailCase{"/p 1234", 1234}, TailCase{"/p:1234", 1234},
                                           TailCase{"/P 1234", 1234}, TailCase{"  /p   77  ", 77},
                                           TailCase{"/p", 0}, TailCase{"/p abc", 0},
                                           TailCase{"/p -5", -5}, TailCase{"/p 1e3", 1000},
                                           TailCase{"/p 2.5", 2},  // halves to even
                                           TailCase{"/p 3.5", 4},
                                           TailCase{"/p 12x", 0},  // no tail is a number
                                           TailCase{"/p 99999999999", 0}, TailCase{"/p 0x1f", 0}));

}  // namespace
}  // namespace lumi::startup
