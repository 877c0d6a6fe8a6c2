// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/SettingKeys.h"
#include "support/MemorySettingsStore.h"

namespace lumi::settings {
namespace {

constexpr char kInstall[] = "/opt/inst/";

TEST(SettingKeysTest, FirstRunWritesEveryValueInOrderWithSetRegLast) {
    testing::MemorySettingsStore store;
    SetRegistry(store, kInstall);
    const std::vector<std::string> expected{"MIDI1=1",
                               "MIDI2=1",
                               "MIDI3=1",
                               "MIDI4=1",
                               "MIDI5=1",
                               "MIDI6=1",
                               "MIDI7=1",
                               "MIDI8=1",
                               "MIDI9=1",
                               "MIDI10=1",
                               "BG=3",
                               "Calendar=0",
                               "Delay=5",
                               "MouseSen=4",
                               "Music=1",
                               "SoundOff=0",
                               "BGFile=/opt/inst/bg.jpg",
                               "IdleWait=10",
                               "FitLarge=0",
                               "Shuffle=0",
                               "PhotoDate=0", "LockScreen=0",
                               "SetReg=2"};
    EXPECT_EQ(store.writes, expected);
}

// A store that already holds values: SetRegistry writes only the keys that hold none, in
// table order, then "SetReg" "2" whatever the flag held, and every stored value stays.
struct PartlyFilledCase {
    const char* name;
    std::vector<std::string> stored;    // "key=value", written before SetRegistry
    std::vector<std::string> expected;  // SetRegistry's writes, in order
};

class SetRegistryOnPartlyFilledStoreTest : public ::testing::TestWithParam<PartlyFilledCase> {};

TEST_P(SetRegistryOnPartlyFilledStoreTest, WritesOnlyMissingKeysAndSetRegLast) {
    const PartlyFilledCase& c = GetParam();
    testing::MemorySettingsStore store;
    for (const std::string& pair : c.stored) {
        store.write(pair.substr(0, pair.find('=')), pair.substr(pair.find('=') + 1));
    }
    store.writes.clear();
    SetRegistry(store, kInstall);
    EXPECT_EQ(store.writes, c.expected);
    for (const std::string& pair : c.stored) {
        std::string key = pair.substr(0, pair.find('='));
        if (!sameKey(key, "SetReg")) {
            std::ranges::transform(key, key.begin(), [](char k) { return std::toupper(k); });
            EXPECT_EQ(store.read(key, "none"), pair.substr(pair.find('=') + 1)) << key;
        }
    }
    EXPECT_EQ(store.read("SetReg", "none"), "2");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetRegistryOnPartlyFilledStoreTest,
    ::testing::Values(
        // What the Setup dialog leaves when White is chosen and the dialog closed.
        PartlyFilledCase{"WrittenBySetup",
                         {"Midi7=0", "bg=0", "Calendar=1", "Delay=1", "MouseSen=1", "Music=1",
                          "SoundOff=", "BGFile=/pics/sky.jpg", "MIDI1=1"},
                         {"MIDI2=1", "MIDI3=1", "MIDI4=1", "MIDI5=1", "MIDI6=1", "MIDI8=1",
                          "MIDI9=1", "MIDI10=1", "IdleWait=10", "FitLarge=0", "Shuffle=0", "PhotoDate=0", "LockScreen=0",
                          "SetReg=2"}},
        PartlyFilledCase{"OnlyTwoKeys",
                         {"Delay=12", "calendar=1"},
                         {"MIDI1=1", "MIDI2=1", "MIDI3=1", "MIDI4=1", "MIDI5=1", "MIDI6=1",
                          "MIDI7=1", "MIDI8=1", "MIDI9=1", "MIDI10=1", "BG=3", "MouseSen=4",
                          "Music=1", "SoundOff=0", "BGFile=/opt/inst/bg.jpg", "IdleWait=10",
                          "FitLarge=0", "Shuffle=0", "PhotoDate=0", "LockScreen=0", "SetReg=2"}},
        // A flag other than 2 brings the first run back; the values of the earlier one stay.
        PartlyFilledCase{
            "FlagOtherThanTwo",
            {"MIDI1=0", "MIDI2=0", "MIDI3=0", "MIDI4=0", "MIDI5=0", "MIDI6=0", "MIDI7=0", "MIDI8=0",
             "MIDI9=0", "MIDI10=0", "BG=1", "Calendar=1", "Delay=9", "MouseSen=8", "Music=0",
             "SoundOff=30", "BGFile=/x.png", "IdleWait=0", "FitLarge=1", "Shuffle=1",
             "PhotoDate=1", "LockScreen=1", "SetReg=3"},
            {"SetReg=2"}}),
    [](const ::testing::TestParamInfo<PartlyFilledCase>& info) {
        return std::string(info.param.name);
    });

// Restore leaves "LockScreen" alone too: a lock once chosen is never switched off unnoticed.
// Its values go to the store as one write, which a file store replaces at once.
TEST(SettingKeysTest, RestoreWritesEveryValueButSetRegAndLockScreenInOneWrite) {
    testing::MemorySettingsStore store;
    store.write("setreg", "2");
    store.writes.clear();
    writeRestoreValues(store, kInstall);
    EXPECT_EQ(store.writeAllSizes, std::vector<std::size_t>{21});
    ASSERT_EQ(store.writes.size(), 21);
    EXPECT_EQ(store.writes.front(), "MIDI1=1");
    EXPECT_EQ(store.writes.at(10), "BG=3");
    EXPECT_EQ(store.writes.at(16), "BGFile=/opt/inst/bg.jpg");
    EXPECT_EQ(store.writes.at(17), "IdleWait=10");
    EXPECT_EQ(store.writes.at(19), "Shuffle=0");
    EXPECT_EQ(store.writes.back(), "PhotoDate=0");
    for (const std::string& write : store.writes) {
        EXPECT_FALSE(write.starts_with("SetReg") || write.starts_with("LockScreen")) << write;
    }
    EXPECT_EQ(store.read("SetReg", "none"), "2");
}

// An edition without an idle starter and a session lock of its own stores neither key.
TEST(SettingKeysTest, AnEditionWithoutAFeatureNeverStoresItsKeys) {
    testing::MemorySettingsStore store;
    SetRegistry(store, kInstall, 0);
    writeRestoreValues(store, kInstall, 0);
    EXPECT_EQ(store.writes.size(), 21u + 20u);
    for (const std::string& write : store.writes) {
        EXPECT_FALSE(write.starts_with("IdleWait") || write.starts_with("LockScreen")) << write;
    }
}

TEST(SettingKeysTest, TableDefaultsAreWhatReadersPass) {
    const SettingKey* soundOff = findSettingKey("soundoff");
    ASSERT_NE(soundOff, nullptr);
    EXPECT_STREQ(soundOff->readDefault, "1");
    EXPECT_STREQ(soundOff->dialogReadDefault, "");
    for (const SettingKey& key : kSettingKeys) {
        const std::string_view name(key.name);
        const char* expected = name == "IdleWait"                         ? "10"
                               : name == "FitLarge" || name == "Shuffle" || name == "PhotoDate" ||
                                       name == "LockScreen"
                                   ? "0"
                                   : "1";
        EXPECT_STREQ(key.readDefault, expected) << key.name;
    }
    EXPECT_EQ(findSettingKey("NoSuchKey"), nullptr);
}

TEST(SettingKeysTest, InstallFolderMarkResolvesOnlyAtTheStart) {
    EXPECT_EQ(resolveValue("{installDir}bg.jpg", "/x/"), "/x/bg.jpg");
    EXPECT_EQ(resolveValue("3", "/x/"), "3");
    EXPECT_EQ(resolveValue("a{installDir}", "/x/"), "a{installDir}");
}

struct ReadCase {
    const char* stored;  // nullptr: nothing stored
    const char* readDefault;
    std::int16_t expected;  // with 5 as the value that the member holds before the read
    std::optional<std::int16_t> expectedTry;
};

class ReadIntegerTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadIntegerTest, AValueThatDoesNotConvertLeavesTheMemberAsItWas) {
    const ReadCase& c = GetParam();
    testing::MemorySettingsStore store;
    if (c.stored != nullptr) {
        store.write("delay", c.stored);
    }
    EXPECT_EQ(readInteger(store, "Delay", c.readDefault, 5), c.expected);
    EXPECT_EQ(tryReadInteger(store, "Delay", c.readDefault), c.expectedTry);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadIntegerTest,
                         ::testing::Values(ReadCase{"7", "1", 7, 7}, ReadCase{" 2.5 ", "1", 2, 2},
                                           ReadCase{nullptr, "1", 1, 1},
                                           ReadCase{"fast", "1", 5, std::nullopt},
                                           ReadCase{"", "1", 5, std::nullopt},
                                           ReadCase{"99999", "4", 5, std::nullopt},
                                           ReadCase{"-32769", "4", 5, std::nullopt},
                                           ReadCase{"-32768", "4", -32768, -32768},
                                           ReadCase{nullptr, "", 5, std::nullopt},
                                           ReadCase{"junk", "", 5, std::nullopt}));

TEST(ReadIntegerWithoutMemberTest, WithoutAMemberValueAValueThatDoesNotConvertReadsZero) {
    testing::MemorySettingsStore store;
    store.write("Calendar", "yes");
    EXPECT_EQ(readInteger(store, "Calendar", "1"), 0);
}

TEST(SettingKeysTest, BackgroundChoiceIsTheNumberZeroToThreeExactly) {
    const std::vector<std::pair<std::string, std::optional<int>>> cases{
        {"0", 0},           {" 3 ", 3},           {"2.0", 2},           {"1e0", 1},
        {"2.5", std::nullopt}, {"4", std::nullopt}, {"-1", std::nullopt}, {"40000", std::nullopt},
        {"", std::nullopt},  {"grey", std::nullopt}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(backgroundChoice(text), expected) << text;
    }
}

}  // namespace
}  // namespace lumi::settings
