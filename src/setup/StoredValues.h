// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

// How the controls of the Setup dialog load a stored setting, the same in every edition.
namespace lumi::setup {

// The default that the dialog passes when it reads `key`.
std::string dialogDefault(std::string_view key);

// A stored setting as a control of the dialog loads it.
struct LoadedValue {
    // What the control shows.
    int value = 0;
    // True when the stored text converted to `value` itself. Only then may the load store
    // the control's value back; otherwise the stored text stays as it is.
    bool storable = false;
};

// The stored value of `key`, read with the dialog's default, as the program that reads it
// will use it, brought into a control that ranges from `minimum` to `maximum`: the value of
// the conversion of every reader (settings::toInteger), or, when the text does not convert,
// settings::valueBeforeRead(key), the value that the reader keeps then; a value outside the
// range shows as the nearest value inside it.
LoadedValue loadSetting(const platform::SettingsStore& settings, std::string_view key,
                        int minimum, int maximum);

// When the display takes a stored flag as set.
enum class SetWhen {
    One,      // only 1: "Calendar", the tune flags, "FitLarge", "Shuffle"
    NotZero,  // anything but 0: "Music"
};

// The state of a check box for the flag `key`, read with the dialog's default: 1 (checked)
// when the display takes the stored value as set by `setWhen`, 0 otherwise, a value that does
// not convert being settings::valueBeforeRead(key). Storable when the text converted to 0 or
// 1.
LoadedValue loadCheckState(const platform::SettingsStore& settings, std::string_view key,
                           SetWhen setWhen);

// loadSetting(...).value.
int loadValue(const platform::SettingsStore& settings, std::string_view key, int minimum,
              int maximum);

// What a check box stores: "1" when checked, "0" otherwise.
inline const char* checkValue(bool checked) {
    return checked ? "1" : "0";
}

}  // namespace lumi::setup
