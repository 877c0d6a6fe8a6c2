// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/SelectionString.h"

#include <algorithm>

namespace lumi::setup {
namespace {

constexpr char kNul = '\0';

}  // namespace

char separatorOf(std::string_view folder) {
    const bool windowsStyle =
        folder.find('\\') != std::string_view::npos && folder.find('/') == std::string_view::npos;
    return windowsStyle ? '\\' : '/';
}

int CountFiles(std::string_view selection) {
    const auto count = static_cast<int>(std::ranges::count(selection, kNul));
    return count == 0 ? 1 : count;
}

std::string GetFilePath(std::string_view selection, int n) {
    const std::size_t firstNul = selection.find(kNul);
    if (firstNul == std::string_view::npos) {
        return std::string(selection);
    }
    std::string folder(selection.substr(0, firstNul));
    const char separator = separatorOf(folder);
    // An empty folder: each name is a full path of its own.
    if (!folder.empty() && folder.back() != separator) {
        folder += separator;
    }
    // A closing NUL ends the last name like every other one.
    const std::string names = std::string(selection) + kNul;
    std::size_t nul = firstNul;
    for (int count = 1; count < n && nul != std::string::npos; ++count) {
        nul = names.find(kNul, nul + 1);
    }
    if (n < 1 || nul == std::string::npos || nul + 1 >= names.size()) {
        return folder;
    }
    const std::size_t end = names.find(kNul, nul + 1);
    return folder + names.substr(nul + 1, end - nul - 1);
}

}  // namespace lumi::setup
