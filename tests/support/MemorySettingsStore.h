// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SettingsStore.h"

namespace lumi::testing {

// A settings store in memory that records what is written to it, for the core's tests. Keys
// compare without regard to ASCII case, as in every store.
class MemorySettingsStore final : public platform::SettingsStore {
public:
    std::string read(std::string_view key, std::string_view defaultValue) const override {
        const auto found = values_.find(folded(key));
        return found != values_.end() ? found->second : std::string(defaultValue);
    }

    bool contains(std::string_view key) const override { return values_.contains(folded(key)); }

    std::optional<std::string> write(std::string_view key, std::string_view value) override {
        const std::string entry = std::string(key) + "=" + std::string(value);
        if (refusal) {
            refusedWrites.push_back(entry);
            return refusal;
        }
        values_.insert_or_assign(folded(key), std::string(value));
        writes.push_back(entry);
        return std::nullopt;
    }

    std::optional<std::string> writeAll(const Values& values) override {
        writeAllSizes.push_back(values.size());
        return SettingsStore::writeAll(values);
    }

    std::vector<std::string> writes;  // every write as "key=value", in order
    // While set, every write is refused with this reason and kept in refusedWrites instead.
    std::optional<std::string> refusal;
    std::vector<std::string> refusedWrites;
    std::vector<std::size_t> writeAllSizes;  // the number of values of each writeAll()

private:
    static std::string folded(std::string_view key) {
        std::string text(key);
        std::ranges::transform(text, text.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        return text;
    }

    std::map<std::string, std::string> values_;
};

}  // namespace lumi::testing
