// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/SessionSettingsStore.h"
#include "support/MemorySettingsStore.h"

namespace lumi::setup {
namespace {

// Each refusal is reported with its reason and followed by the restore of the controls; a
// refusal during a report or a restore (the controls written back as they are set) belongs to
// the burst on the screen and is not reported again.
TEST(SessionSettingsStoreTest, ReportsEachRefusalOnceAndThenRestores) {
    testing::MemorySettingsStore store;
    std::vector<std::string> events;
    SessionSettingsStore* session = nullptr;
    SessionSettingsStore sessionStore(
        store,
        [&](const std::string& reason) {
            events.push_back("report " + reason);
            session->write("Delay", "7");  // a scroll bar's step behind the open box
        },
        [&] {
            events.push_back("restore " + session->read("Delay", "none"));
            session->write("Delay", "5");  // the control set back writes what it shows
        });
    session = &sessionStore;

    EXPECT_EQ(sessionStore.write("Delay", "5"), std::nullopt);
    store.refusal = "the disk is full";
    EXPECT_EQ(sessionStore.write("Delay", "6"), "the disk is full");
    store.refusal = "the disk is read-only";
    EXPECT_EQ(sessionStore.writeAll({{"BG", "1"}, {"Music", "0"}}), "the disk is read-only");
    EXPECT_EQ(events, (std::vector<std::string>{"report the disk is full", "restore 5",
                                                 "report the disk is read-only", "restore 5"}));
    EXPECT_EQ(store.read("BG", "none"), "none");
}

}  // namespace
}  // namespace lumi::setup
