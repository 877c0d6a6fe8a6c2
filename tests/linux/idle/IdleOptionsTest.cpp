// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/idle/IdleOptions.h"
#include "support/Fakes.h"

namespace lumi::idle {
namespace {

using namespace std::chrono_literals;

struct OptionsCase {
    QStringList arguments;
    std::optional<std::chrono::seconds> after;
    bool error;
    startup::InfoRequest info;
};

class IdleOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(IdleOptionsTest, ReadsTheWaitAndTheRequests) {
    const OptionsCase& c = GetParam();
    const IdleOptions options = parseIdleOptions(c.arguments);
    EXPECT_EQ(options.after, c.after) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(!options.error.isEmpty(), c.error) << options.error.toStdString();
    EXPECT_EQ(options.info, c.info);
}

using startup::InfoRequest;
INSTANTIATE_TEST_SUITE_P(
    CommandLines, IdleOptionsTest,
    ::testing::Values(OptionsCase{{}, std::nullopt, false, InfoRequest::None},
                      OptionsCase{{"--after", "2"}, 2s, false, InfoRequest::None},
                      OptionsCase{{"--after=86400"}, 86400s, false, InfoRequest::None},
                      OptionsCase{{"--after", "0"}, std::nullopt, true, InfoRequest::None},
                      OptionsCase{{"--after", "1.5"}, std::nullopt, true, InfoRequest::None},
                      OptionsCase{{"--after"}, std::nullopt, true, InfoRequest::None},
                      OptionsCase{{"/s"}, std::nullopt, true, InfoRequest::None},
                      OptionsCase{
                          {"--after", "x", "--help"}, std::nullopt, true, InfoRequest::Help},
                      OptionsCase{{"--version"}, std::nullopt, false, InfoRequest::Version}));

// Whole minutes from 0 (never) to 120; a missing value reads as the default of 10, and one
// that does not convert keeps the wait in force (at the start, 10).
TEST(IdleWaitTest, ReadsTheSettingInMinutesWithinItsRange) {
    struct Case {
        std::optional<QString> stored;
        std::chrono::minutes atStart;
        std::chrono::minutes whileWaiting3;
    };
    const std::vector<Case> cases{{std::nullopt, 10min, 10min},
                                  {"", 10min, 3min},
                                  {"soon", 10min, 3min},
                                  {"40000", 10min, 3min},
                                  {"-40000", 10min, 3min},
                                  {"0", 0min, 0min},
                                  {"3", 3min, 3min},
                                  {"120", 120min, 120min},
                                  {"121", 120min, 120min},
                                  {"-4", 0min, 0min},
                                  {"7.6", 8min, 8min},
                                  {" 7 ", 7min, 7min}};
    for (const Case& c : cases) {
        testing::FakeSettingsStore store;
        if (c.stored) {
            store.write("IdleWait", c.stored->toStdString());
        }
        const std::string trace = c.stored ? c.stored->toStdString() : "missing";
        EXPECT_EQ(idleWaitOf(store), c.atStart) << trace;
        EXPECT_EQ(idleWaitOf(store, 3min), c.whileWaiting3) << trace;
    }
}

}  // namespace
}  // namespace lumi::idle
