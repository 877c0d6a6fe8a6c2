// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "startup/CommandLine.h"
#include "linux/startup/HostOptions.h"
#include "linux/startup/ProgramInfo.h"

namespace lumi::startup {
namespace {

struct InfoCase {
    const char* commandLine;
    InfoRequest expected;
};

class ProgramInfoTest : public ::testing::TestWithParam<InfoCase> {};

// Only the whole line asks for a text; everything else stays a switch with its usual mode.
TEST_P(ProgramInfoTest, OnlyExactlyHelpOrVersionAskForTheirText) {
    const InfoCase& info = GetParam();
    EXPECT_EQ(infoRequestOf(normaliseCommandLine(info.commandLine)), info.expected)
        << info.commandLine;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, ProgramInfoTest,
                         ::testing::Values(InfoCase{"--help", InfoRequest::Help},
                                           InfoCase{"  --HELP ", InfoRequest::Help},
                                           InfoCase{"--version", InfoRequest::Version},
                                           InfoCase{"--Version", InfoRequest::Version},
                                           InfoCase{"--help me", InfoRequest::None},
                                           InfoCase{"--helpful", InfoRequest::None},
                                           InfoCase{"-h", InfoRequest::None},
                                           InfoCase{"/s", InfoRequest::None},
                                           InfoCase{"/c --help", InfoRequest::None},
                                           InfoCase{"", InfoRequest::None}));

TEST(ProgramInfoTextTest, TheVersionAndTheUsagesNameTheProgram) {
    EXPECT_EQ(versionText(), "Lumiscribe 1.02\n");
    EXPECT_TRUE(screenSaverUsage().startsWith("Usage: lumiscribe [/s | /p <window> | /c | /a]\n"));
    EXPECT_TRUE(hostedDisplayUsage().startsWith("Usage: lumiscribe-xscreensaver "));
    EXPECT_TRUE(hostedDisplayUsage().contains("lumiscribe /c"));
}

TEST(ProgramInfoTextTest, TheHostedDisplayAnswersHelpAndVersionAnywhereOnItsLine) {
    EXPECT_EQ(parseHostOptions({"--help"}, "").info, InfoRequest::Help);
    EXPECT_EQ(parseHostOptions({"-root", "-help"}, "0x5").info, InfoRequest::Help);
    EXPECT_EQ(parseHostOptions({"--version", "--help"}, "").info, InfoRequest::Help);
    EXPECT_EQ(parseHostOptions({"-version", "-fps"}, "").info, InfoRequest::Version);
    EXPECT_EQ(parseHostOptions({"-root"}, "0x5").info, InfoRequest::None);
}

}  // namespace
}  // namespace lumi::startup
