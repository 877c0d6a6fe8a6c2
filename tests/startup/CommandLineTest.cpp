// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "startup/CommandLine.h"

namespace lumi::startup {
namespace {

struct SwitchCase {
    const char* commandLine;
    const char* expectedSwitch;
    RunMode expectedMode;
};

class CommandLineTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(CommandLineTest, SelectsModeByTheFirstTwoCharactersOfTheTrimmedLowerCasedLine) {
    const SwitchCase& c = GetParam();
    const std::string switchText = switchOf(normaliseCommandLine(c.commandLine));
    EXPECT_EQ(switchText, c.expectedSwitch);
    EXPECT_EQ(modeFor(switchText), c.expectedMode);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTest,
    ::testing::Values(
        SwitchCase{"", "", RunMode::FullScreen}, SwitchCase{"    ", "", RunMode::FullScreen},
        SwitchCase{"/s", "/s", RunMode::FullScreen}, SwitchCase{"/S", "/s", RunMode::FullScreen},
        SwitchCase{"  /s  ", "/s", RunMode::FullScreen},
        SwitchCase{"/s123", "/s", RunMode::FullScreen},
        SwitchCase{"/p 1234", "/p", RunMode::Preview},
        SwitchCase{"/P:1234", "/p", RunMode::Preview},
        SwitchCase{"/c:1234", "/c", RunMode::Settings},
        SwitchCase{"/a 1234", "/a", RunMode::ChangePassword}, SwitchCase{"-s", "-s", RunMode::None},
        SwitchCase{"s", "s", RunMode::None}, SwitchCase{"/x", "/x", RunMode::None},
        // Only spaces are trimmed: a tab makes the switch something else.
        SwitchCase{"\t/s", "\t/", RunMode::None}, SwitchCase{" / s", "/ ", RunMode::None}));

}  // namespace
}  // namespace lumi::startup
