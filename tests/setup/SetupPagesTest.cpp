// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/SetupPages.h"
#include "support/MemorySettingsStore.h"

namespace lumi::setup {
namespace {

TEST(SetupPagesTest, TheLoadedStopTimeChoosesTheItemThatTheArrowsGoOnFrom) {
    const struct {
        const char* text;
        int item;
    } cases[]{{"Never", 0}, {"5", 5},     {"7", 5},  {"0.5", 0},
              {"12.5", 6},  {"1000", 19}, {"-3", 0}, {"soon", 0}};
    for (const auto& row : cases) {
        EXPECT_EQ(MusicPageSettings::soundOffItem(row.text), row.item) << row.text;
    }
}

// A handler that a load runs stores only when the load says the value is storable, and
// gives the label's text either way.
TEST(SetupPagesTest, AHandlerRunByALoadStoresOnlyAStorableValue) {
    testing::MemorySettingsStore store;
    OptionsPageSettings options(store);
    std::string label;
    options.load(false, [&] { label = options.delayChanged(300); });
    EXPECT_EQ(label, "300 seconds");
    options.load(true, [&] { label = options.delayChanged(12); });
    EXPECT_EQ(options.backgroundChosen(3), true);
    EXPECT_EQ(options.backgroundChosen(2), false);
    MusicPageSettings music(store);
    music.soundOffChosen("Never");
    music.tuneClicked(9, true);
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"Delay=12", "BG=3", "BG=2", "SoundOff=0", "MIDI10=1"}));
}

}  // namespace
}  // namespace lumi::setup
