// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/SetupPages.h"

#include <cstdint>
#include <optional>

#include "settings/IntegerConversion.h"
#include "settings/SettingKeys.h"
#include "setup/PictureListEditor.h"
#include "setup/SelectionString.h"

namespace lumi::setup {
namespace {

constexpr std::string_view kNever = "Never";

}  // namespace

void PageSettings::write(std::string_view key, std::string_view value) {
    if (!storing_) {
        return;
    }
    store_.write(key, value);
}

// ---- Options ----

LoadedValue OptionsPageSettings::loadBackground() const {
    const std::optional<int> choice =
        settings::backgroundChoice(store().read("BG", dialogDefault("BG")));
    return LoadedValue{choice.value_or(1), choice.has_value()};
}

std::string OptionsPageSettings::loadBackgroundFile() const {
    return store().read("BGFile", dialogDefault("BGFile"));
}

LoadedValue OptionsPageSettings::loadDelay() const {
    return loadSetting(store(), "Delay", kDelayMinimum, kDelayMaximum);
}

LoadedValue OptionsPageSettings::loadMouseSensitivity() const {
    return loadSetting(store(), "MouseSen", kMouseMinimum, kMouseMaximum);
}

LoadedValue OptionsPageSettings::loadCalendar() const {
    return loadCheckState(store(), "Calendar", SetWhen::One);
}

std::string OptionsPageSettings::delayChanged(int seconds) {
    write("Delay", std::to_string(seconds));
    return std::to_string(seconds) + " seconds";
}

std::string OptionsPageSettings::mouseSensitivityChanged(int value) {
    write("MouseSen", std::to_string(value));
    return std::to_string(value);
}

bool OptionsPageSettings::backgroundChosen(int index) {
    write("BG", std::to_string(index));
    return index == kCustomBackground;
}

std::string OptionsPageSettings::backgroundPictureChosen(const std::string& selection,
                                                         std::string shown,
                                                         PictureListEditor& checks) {
    if (selection.empty()) {
        return shown;
    }
    const int count = CountFiles(selection);
    for (int i = 1; i <= count; ++i) {
        std::string path = GetFilePath(selection, i);
        if (checks.existsOrReport(path) && checks.confirmedSize(path)) {
            shown = std::move(path);
        }
    }
    write("BGFile", shown);
    return shown;
}

void OptionsPageSettings::calendarClicked(bool checked) {
    write("Calendar", checkValue(checked));
}

// ---- Music ----

const std::array<std::string_view, 20>& MusicPageSettings::soundOffItems() {
    static constexpr std::array<std::string_view, 20> kItems{
        kNever, "1",  "2",  "3",   "4",   "5",   "10",  "15",  "20",  "30",
        "45",   "60", "90", "120", "180", "240", "300", "360", "420", "480"};
    return kItems;
}

LoadedValue MusicPageSettings::loadMusic() const {
    return loadCheckState(store(), "Music", SetWhen::NotZero);
}

LoadedValue MusicPageSettings::loadTune(int index) const {
    return loadCheckState(store(), "Midi" + std::to_string(index + 1), SetWhen::One);
}

std::string MusicPageSettings::loadSoundOff() const {
    const std::optional<std::int16_t> minutes =
        settings::toInteger(store().read("SoundOff", dialogDefault("SoundOff")));
    return !minutes || *minutes == 0 ? std::string(kNever) : std::to_string(*minutes);
}

int MusicPageSettings::soundOffItem(std::string_view text) {
    const auto& items = soundOffItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            return static_cast<int>(i);
        }
    }
    const std::optional<double> minutes = settings::toNumber(text);
    if (!minutes) {
        return 0;
    }
    int below = 0;
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (settings::toNumber(items[i]).value_or(0) <= *minutes) {
            below = static_cast<int>(i);
        }
    }
    return below;
}

void MusicPageSettings::musicClicked(bool checked) {
    write("Music", checkValue(checked));
}

void MusicPageSettings::tuneClicked(int index, bool checked) {
    write("MIDI" + std::to_string(index + 1), checkValue(checked));
}

void MusicPageSettings::soundOffChosen(std::string_view itemText) {
    write("SoundOff", itemText != kNever ? itemText : "0");
}

std::string MusicPageSettings::testTunePath(std::string_view installDir, int index) {
    return std::string(installDir) + std::to_string(index + 1) + ".mid";
}

// ---- More ----

LoadedValue MorePageSettings::loadIdleWait() const {
    return loadSetting(store(), "IdleWait", kIdleWaitMinimum, settings::kIdleWaitMaximumMinutes);
}

LoadedValue MorePageSettings::loadFitLarge() const {
    return loadCheckState(store(), "FitLarge", SetWhen::One);
}

LoadedValue MorePageSettings::loadShuffle() const {
    return loadCheckState(store(), "Shuffle", SetWhen::One);
}

bool MorePageSettings::loadLockScreen() const {
    return loadValue(store(), "LockScreen", 0, 1) == 1;
}

bool MorePageSettings::loadPhotoDate() const {
    return loadValue(store(), "PhotoDate", 0, 1) == 1;
}

void MorePageSettings::idleWaitChanged(int minutes) {
    write("IdleWait", std::to_string(minutes));
}

void MorePageSettings::fitLargeClicked(bool checked) {
    write("FitLarge", checkValue(checked));
}

void MorePageSettings::shuffleClicked(bool checked) {
    write("Shuffle", checkValue(checked));
}

void MorePageSettings::lockScreenClicked(bool checked) {
    write("LockScreen", checkValue(checked));
}

void MorePageSettings::photoDateClicked(bool checked) {
    write("PhotoDate", checkValue(checked));
}

}  // namespace lumi::setup
