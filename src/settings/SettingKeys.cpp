// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingKeys.h"

#include <algorithm>

#include "settings/IntegerConversion.h"

namespace lumi::settings {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool sameKey(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

const SettingKey* findSettingKey(std::string_view name) {
    for (const SettingKey& key : kSettingKeys) {
        if (sameKey(name, key.name)) {
            return &key;
        }
    }
    return nullptr;
}

std::string resolveValue(const char* value, std::string_view installDir) {
    const std::string_view text(value);
    const std::string_view mark(kInstallFolderMark);
    if (!text.starts_with(mark)) {
        return std::string(text);
    }
    return std::string(installDir).append(text.substr(mark.size()));
}

void SetRegistry(platform::SettingsStore& store, std::string_view installDir, KeyUses uses) {
    const SettingKey& firstRunFlag = kSettingKeys.back();
    for (const SettingKey& key : kSettingKeys) {
        if (!key.usedWith(uses)) {
            continue;
        }
        // The flag is written whatever it holds: a value other than 2 would bring the first
        // run back at every start.
        if (&key != &firstRunFlag && store.contains(key.name)) {
            continue;
        }
        store.write(key.name, resolveValue(key.firstRunValue, installDir));
    }
}

std::vector<std::pair<std::string, std::string>> restoreValues(std::string_view installDir,
                                                               KeyUses uses) {
    std::vector<std::pair<std::string, std::string>> values;
    for (const SettingKey& key : kSettingKeys) {
        if (key.restoreValue != nullptr && key.usedWith(uses)) {
            values.emplace_back(key.name, resolveValue(key.restoreValue, installDir));
        }
    }
    return values;
}

std::optional<std::string> writeRestoreValues(platform::SettingsStore& store,
                                              std::string_view installDir, KeyUses uses) {
    return store.writeAll(restoreValues(installDir, uses));
}

std::optional<std::int16_t> tryReadInteger(const platform::SettingsStore& store,
                                           std::string_view key, std::string_view readDefault) {
    return toInteger(store.read(key, readDefault));
}

std::int16_t readInteger(const platform::SettingsStore& store, std::string_view key,
                         std::string_view readDefault, std::int16_t unconverted) {
    return tryReadInteger(store, key, readDefault).value_or(unconverted);
}

std::int16_t valueBeforeRead(std::string_view key) {
    if (sameKey(key, "Delay")) {
        return kDelayBeforeRead;
    }
    if (sameKey(key, "IdleWait")) {
        return kIdleWaitBeforeReadMinutes;
    }
    return 0;
}

std::optional<int> backgroundChoice(std::string_view text) {
    const std::optional<double> number = toNumber(text);
    if (!number) {
        return std::nullopt;
    }
    for (int choice = 0; choice <= 3; ++choice) {
        if (*number == choice) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace lumi::settings
