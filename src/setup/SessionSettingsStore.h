// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace lumi::setup {

// The settings store as one Setup session uses it, so that no control shows a value that is
// not stored. Reads and writes go to the user's store; every write that the store refuses is
// handed to `report` with the store's reason (the dialog shows it), and then `restore` runs,
// which sets every control back to the value that is stored.
//
// A refusal that comes while a report or a restore is under way is not reported again: the
// steps of a scroll bar held down behind the open message box, and the controls that the
// restore sets back, are one burst, and its report is the one on the screen. The next
// refusal after that is reported again, with its own reason.
class SessionSettingsStore final : public platform::SettingsStore {
public:
    using Report = std::function<void(const std::string& reason)>;
    using Restore = std::function<void()>;

    SessionSettingsStore(platform::SettingsStore& store, Report report, Restore restore);

    std::string read(std::string_view key, std::string_view defaultValue) const override;
    bool contains(std::string_view key) const override;
    std::optional<std::string> write(std::string_view key, std::string_view value) override;
    std::optional<std::string> writeAll(const Values& values) override;

    // Runs `load`, which sets controls to the stored values, without reporting a refusal
    // of the writes that it makes: a value written back as it is stored loses nothing when
    // the disk refuses it, and the user, who changed nothing, learns of the disk at the first
    // change.
    void withoutReports(const std::function<void()>& load);

    platform::SettingsStore& store() { return store_; }

private:
    std::optional<std::string> reported(std::optional<std::string> refusal);

    platform::SettingsStore& store_;
    Report report_;
    Restore restore_;
    bool handling_ = false;  // a report or a restore is under way
};

}  // namespace lumi::setup
