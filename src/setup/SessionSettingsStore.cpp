// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/SessionSettingsStore.h"

#include <utility>

namespace lumi::setup {

SessionSettingsStore::SessionSettingsStore(platform::SettingsStore& store, Report report,
                                           Restore restore)
    : store_(store), report_(std::move(report)), restore_(std::move(restore)) {}

std::string SessionSettingsStore::read(std::string_view key,
                                       std::string_view defaultValue) const {
    return store_.read(key, defaultValue);
}

bool SessionSettingsStore::contains(std::string_view key) const {
    return store_.contains(key);
}

std::optional<std::string> SessionSettingsStore::write(std::string_view key,
                                                       std::string_view value) {
    return reported(store_.write(key, value));
}

std::optional<std::string> SessionSettingsStore::writeAll(const Values& values) {
    return reported(store_.writeAll(values));
}

void SessionSettingsStore::withoutReports(const std::function<void()>& load) {
    const bool handling = std::exchange(handling_, true);
    load();
    handling_ = handling;
}

std::optional<std::string> SessionSettingsStore::reported(std::optional<std::string> refusal) {
    if (!refusal || handling_) {
        return refusal;
    }
    handling_ = true;
    report_(*refusal);
    restore_();
    handling_ = false;
    return refusal;
}

}  // namespace lumi::setup
