// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileQuery.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureListFile.h"

namespace lumi::testing {

// Files and folders in memory: a file is a name with its size.
class FakeFileQuery final : public platform::FileQuery {
public:
    bool isFile(const std::string& path) const override { return files.contains(path); }
    bool isFolder(const std::string& path) const override { return folders.contains(path); }
    std::uint64_t size(const std::string& path) const override {
        const auto found = files.find(path);
        return found != files.end() ? found->second : 0;
    }

    std::map<std::string, std::uint64_t> files;
    std::set<std::string> folders;
};

// Records every box as "question|title|text" (or information, error) and answers the
// questions from `answers`, No when none is left.
class FakeMessageBoxes final : public platform::MessageBoxes {
public:
    bool question(const std::string& title, const std::string& text) override {
        shown.push_back("question|" + title + "|" + text);
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void information(const std::string& title, const std::string& text) override {
        shown.push_back("information|" + title + "|" + text);
    }
    void error(const std::string& title, const std::string& text) override {
        shown.push_back("error|" + title + "|" + text);
    }

    std::vector<std::string> shown;
    std::deque<bool> answers;
};

// A picture list in memory. It cannot hold a name with a double quote; while `refusal` is
// set, every edit is refused with it, after `changedByOther` (another dialog's edit) landed.
class FakePictureListFile final : public platform::PictureListFile {
public:
    bool exists() const override { return present; }
    Result read() const override { return Result{entries, readError}; }
    Result edit(const Edit& edit) override {
        if (!readError.empty()) {
            return Result{{}, readError};
        }
        if (changedByOther) {
            entries = *changedByOther;
        }
        if (refusal) {
            return Result{entries, *refusal};
        }
        present = true;
        entries = edit(entries);
        return Result{entries, {}};
    }
    bool canHold(const std::string& entry) const override {
        return entry.find('"') == std::string::npos;
    }

    bool present = true;
    Entries entries;
    std::string readError;
    std::optional<std::string> refusal;
    std::optional<Entries> changedByOther;
};

}  // namespace lumi::testing
