// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "idle/IdleOptions.h"
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

// Whole minutes from 0 (never) to 120; what is no number reads as the default of 10.
TEST(IdleWaitTest, ReadsTheSettingInMinutesWithinItsRange) {
    const std::vector<std::pair<std::optional<QString>, std::chrono::minutes>> cases{
        {std::nullopt, 10min}, {"", 10min},     {"soon", 10min}, {"0", 0min},  {"3", 3min},
        {"120", 120min},       {"121", 120min}, {"-4", 0min},    {"7.6", 8min}};
    for (const auto& [stored, expected] : cases) {
        testing::FakeSettingsStore store;
        if (stored) {
            store.write("IdleWait", *stored);
        }
        EXPECT_EQ(idleWaitOf(store), expected) << (stored ? stored->toStdString() : "missing");
    }
}

}  // namespace
}  // namespace lumi::idle
