// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/SessionSettingsStore.h"

#include <utility>

namespace lumi::setup {

SessionSettingsStore::SessionSettingsStore(platform::SettingsStore& store, Report report)
    : store_(store), report_(std::move(report)) {}

QString SessionSettingsStore::read(const QString& key, const QString& defaultValue) const {
    return store_.read(key, defaultValue);
}

bool SessionSettingsStore::contains(const QString& key) const {
    return store_.contains(key);
}

std::optional<QString> SessionSettingsStore::write(const QString& key, const QString& value) {
    std::optional<QString> refusal = store_.write(key, value);
    if (refusal && !reported_) {
        reported_ = true;
        report_(*refusal);
    }
    return refusal;
}

}  // namespace lumi::setup
