// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumi::platform {

// The per-user store of this application's settings: text values (UTF-8) under the
// application "Lumiscribe", section "Config". Key names are compared without regard to case.
// Each edition keeps it where its platform keeps such settings.
class SettingsStore {
public:
    using Values = std::vector<std::pair<std::string, std::string>>;

    virtual ~SettingsStore() = default;

    // The stored value of `key`, or `defaultValue` when none is stored.
    virtual std::string read(std::string_view key, std::string_view defaultValue) const = 0;

    // True when a value is stored under `key`: exactly when read() would return the stored
    // value rather than the caller's default.
    virtual bool contains(std::string_view key) const = 0;

    // Stores `value` under `key`, replacing any value stored under the same name in
    // another case. Returns nullopt when the value is stored; otherwise the store keeps
    // what it held and the result is the reason, in words for a message ("the disk is full").
    virtual std::optional<std::string> write(std::string_view key, std::string_view value) = 0;

    // Stores every one of `values`, in their order. A store that can replace its content as
    // a whole does so once, so that a reader (or a kill) meets either all the old values or
    // all the new ones; this default, for a store that cannot, writes them one by one, goes
    // on past a refusal, and returns the first refusal's reason.
    virtual std::optional<std::string> writeAll(const Values& values) {
        std::optional<std::string> firstRefusal;
        for (const auto& [key, value] : values) {
            std::optional<std::string> refusal = write(key, value);
            if (refusal && !firstRefusal) {
                firstRefusal = std::move(refusal);
            }
        }
        return firstRefusal;
    }
};

}  // namespace lumi::platform
