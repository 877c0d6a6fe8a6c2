// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/SettingsStore.h"

namespace lumi::settings {

// The largest "IdleWait" in minutes; a larger stored number counts as this one.
inline constexpr int kIdleWaitMaximumMinutes = 120;
// The wait of the idle starter before it reads "IdleWait", kept when the stored value does
// not convert: the setting's default.
inline constexpr std::int16_t kIdleWaitBeforeReadMinutes = 10;
// The display's "Delay" before it reads the setting, kept when the stored value does not
// convert.
inline constexpr std::int16_t kDelayBeforeRead = 5;

// The filter that the Setup dialog's file dialogs showed last, by its description ("All
// pictures"). Kept by the dialogs alone: neither the first run nor Restore writes it.
inline constexpr char kPictureFilterKey[] = "PictureFilter";

// Marks a value that names a file in the install folder: written values replace the mark
// with the install folder (which ends with its separator).
inline constexpr char kInstallFolderMark[] = "{installDir}";

// What of an edition a key serves. Every edition stores the keys of KeyUse::Everywhere; the
// others only an edition that has the feature, so that no store holds a setting that nothing
// of its edition reads.
enum class KeyUse : unsigned {
    Everywhere = 0,
    IdleStarter = 1,  // an idle starter of the edition's own starts the screen saver
    SessionLock = 2,  // the end of the display asks the desktop to lock the session
};

// The features that an edition has, as a set of KeyUse bits.
using KeyUses = unsigned;
inline constexpr KeyUses kEveryKeyUse = static_cast<unsigned>(KeyUse::IdleStarter) |
                                        static_cast<unsigned>(KeyUse::SessionLock);

// One stored setting, described once for every part of the program that reads or writes it.
struct SettingKey {
    // The name under which the value is stored (compared without regard to case).
    const char* name;
    // What the display passes as the default when it reads the key.
    const char* readDefault;
    // What the Setup dialog passes as the default when it reads the key.
    const char* dialogReadDefault;
    // What the first run writes; may start with kInstallFolderMark.
    const char* firstRunValue;
    // What the Setup dialog's Restore writes, or nullptr when Restore leaves the key alone;
    // may start with kInstallFolderMark.
    const char* restoreValue;
    KeyUse use = KeyUse::Everywhere;

    // True when an edition with the features `uses` stores this key.
    constexpr bool usedWith(KeyUses uses) const {
        return use == KeyUse::Everywhere || (static_cast<unsigned>(use) & uses) != 0;
    }
};

// Every key, in the order in which the first run writes them. "SetReg" must stay last: its
// presence tells later starts that the first run completed, so it is written only after
// every other value is in place.
inline constexpr std::array<SettingKey, 23> kSettingKeys{{
    {"MIDI1", "1", "1", "1", "1"},
    {"MIDI2", "1", "1", "1", "1"},
    {"MIDI3", "1", "1", "1", "1"},
    {"MIDI4", "1", "1", "1", "1"},
    {"MIDI5", "1", "1", "1", "1"},
    {"MIDI6", "1", "1", "1", "1"},
    {"MIDI7", "1", "1", "1", "1"},
    {"MIDI8", "1", "1", "1", "1"},
    {"MIDI9", "1", "1", "1", "1"},
    {"MIDI10", "1", "1", "1", "1"},
    {"BG", "1", "1", "3", "3"},
    {"Calendar", "1", "1", "0", "0"},
    {"Delay", "1", "1", "5", "5"},
    {"MouseSen", "1", "1", "4", "4"},
    {"Music", "1", "1", "1", "1"},
    // The Setup dialog reads "SoundOff" with the empty text as its default, unlike the display.
    {"SoundOff", "1", "", "0", "0"},
    {"BGFile", "1", "1", "{installDir}bg.jpg", "{installDir}bg.jpg"},
    // Minutes without input after which the idle starter starts the screen saver; 0 never.
    {"IdleWait", "10", "10", "10", "10", KeyUse::IdleStarter},
    // 1: a picture larger than the screen is shrunk to fit it; 0: shown 1:1, cropped.
    {"FitLarge", "0", "0", "0", "0"},
    // 1: each round shows every picture once in a fresh random order; 0: list order.
    {"Shuffle", "0", "0", "0", "0"},
    // 1: the display shows the day the picture on the screen was taken, from its EXIF data.
    {"PhotoDate", "0", "0", "0", "0"},
    // 1: the end of the full-screen display asks the desktop to lock the session. Restore
    // leaves it alone, so that a lock once chosen is never switched off unnoticed.
    {"LockScreen", "0", "0", "0", nullptr, KeyUse::SessionLock},
    {"SetReg", "1", "1", "2", nullptr},
}};
static_assert(std::string_view(kSettingKeys.back().name) == "SetReg",
              "the first-run flag must be written last");

// The entry of `kSettingKeys` named `name` (compared without regard to case), or nullptr.
const SettingKey* findSettingKey(std::string_view name);

// True when the key names `a` and `b` are the same, compared without regard to case (the
// store's keys are ASCII; other bytes compare as they are).
bool sameKey(std::string_view a, std::string_view b);

// `value` with a leading kInstallFolderMark replaced by `installDir`.
std::string resolveValue(const char* value, std::string_view installDir);

// Writes the first-run value of every key that holds no value yet, in table order, and then
// "SetReg" "2", whose presence marks a completed first run, after every other value. A value
// already stored (chosen in the Setup dialog before the first full-screen start, or left by
// an earlier first run when "SetReg" holds something other than 2) is kept as it is; an
// empty store gets every first-run value. Only the keys that an edition with the features
// `uses` stores are written.
void SetRegistry(platform::SettingsStore& store, std::string_view installDir,
                 KeyUses uses = kEveryKeyUse);

// The restore value of every key that has one and that an edition with the features `uses`
// stores, in table order ("SetReg" has none).
std::vector<std::pair<std::string, std::string>> restoreValues(std::string_view installDir,
                                                               KeyUses uses = kEveryKeyUse);

// Writes restoreValues() as one write of the store (SettingsStore::writeAll()). Called by the
// Setup dialog's Restore button. Returns nullopt when every value landed, otherwise the
// store's reason.
std::optional<std::string> writeRestoreValues(platform::SettingsStore& store,
                                              std::string_view installDir,
                                              KeyUses uses = kEveryKeyUse);

// The stored value of `key` converted by toInteger(), reading `readDefault` when nothing is
// stored; nullopt when that text does not convert.
std::optional<std::int16_t> tryReadInteger(const platform::SettingsStore& store,
                                           std::string_view key, std::string_view readDefault);

// Like tryReadInteger(), but a value that does not convert (no number, the empty text, a
// number outside -32768..32767) is never an error: the result is `unconverted`, which a
// reader passes as the value that its member holds before the read, so that the member stays
// as it was. Every member that the display reads starts at 0, except "Delay" (see
// valueBeforeRead()).
std::int16_t readInteger(const platform::SettingsStore& store, std::string_view key,
                         std::string_view readDefault, std::int16_t unconverted = 0);

// What the readers of `key` hold before they read it, and so keep when its stored value does
// not convert: kDelayBeforeRead for "Delay", kIdleWaitBeforeReadMinutes for "IdleWait", 0
// for every other key. The Setup dialog shows this value for such a setting, as the program
// that reads it will use it.
std::int16_t valueBeforeRead(std::string_view key);

// The background that the text of "BG" chooses, compared as a number: 0 white, 1 black, 2
// the button-face colour, 3 the picture of "BGFile"; nullopt for any other text, number or
// not, with which the display keeps its designed black.
std::optional<int> backgroundChoice(std::string_view text);

}  // namespace lumi::settings
