// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/StoredValues.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "settings/SettingKeys.h"

namespace lumi::setup {

std::string dialogDefault(std::string_view key) {
    const settings::SettingKey* entry = settings::findSettingKey(key);
    return entry != nullptr ? entry->dialogReadDefault : "";
}

LoadedValue loadSetting(const platform::SettingsStore& settings, std::string_view key,
                        int minimum, int maximum) {
    const std::optional<std::int16_t> stored =
        settings::tryReadInteger(settings, key, dialogDefault(key));
    const int value = stored ? *stored : settings::valueBeforeRead(key);
    const int shown = std::clamp(value, minimum, maximum);
    return LoadedValue{shown, stored && shown == value};
}

LoadedValue loadCheckState(const platform::SettingsStore& settings, std::string_view key,
                           SetWhen setWhen) {
    const std::optional<std::int16_t> stored =
        settings::tryReadInteger(settings, key, dialogDefault(key));
    const int value = stored ? *stored : settings::valueBeforeRead(key);
    const bool set = setWhen == SetWhen::One ? value == 1 : value != 0;
    return LoadedValue{set ? 1 : 0, stored && (value == 0 || value == 1)};
}

int loadValue(const platform::SettingsStore& settings, std::string_view key, int minimum,
              int maximum) {
    return loadSetting(settings, key, minimum, maximum).value;
}

}  // namespace lumi::setup
