// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace lumi::platform {

// The per-user store of this application's settings: text values under the application
// "Lumiscribe", section "Config". Key names are compared without regard to case.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored value of `key`, or `defaultValue` when none is stored.
    virtual QString read(const QString& key, const QString& defaultValue) const = 0;

    // True when a value is stored under `key`: exactly when read() would return the stored
    // value rather than the caller's default.
    virtual bool contains(const QString& key) const = 0;

    // Stores `value` under `key`, replacing any value stored under the same name in
    // another case. Returns nullopt when the value is on disk; otherwise the store keeps
    // what it held and the result is the reason, in words for a message ("the disk is full").
    virtual std::optional<QString> write(const QString& key, const QString& value) = 0;
};

}  // namespace lumi::platform
