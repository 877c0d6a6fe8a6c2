// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "linux/platform/SettingsStore.h"

namespace lumi::setup {

// The settings store as one Setup session uses it: reads and writes go to the user's store,
// and the first write of the session that the store refuses is handed to `report` with the
// store's reason, so that the user learns that the dialog shows changes the disk does not
// hold. Later refusals are not reported again (the store still says each one on standard
// error), so that a full disk costs one message, not one per control.
class SessionSettingsStore final : public platform::SettingsStore {
public:
    using Report = std::function<void(const QString& reason)>;

    SessionSettingsStore(platform::SettingsStore& store, Report report);

    QString read(const QString& key, const QString& defaultValue) const override;
    bool contains(const QString& key) const override;
    std::optional<QString> write(const QString& key, const QString& value) override;

    // Counts a refusal that the caller has shown itself (Restore's message) as the session's
    // report.
    void markReported() { reported_ = true; }

    platform::SettingsStore& store() { return store_; }

private:
    platform::SettingsStore& store_;
    Report report_;
    bool reported_ = false;
};

}  // namespace lumi::setup
