// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the readers of the selection string: each input byte is one character (so NUL,
// slashes and backslashes are easy to reach), and CountFiles() and GetFilePath() must agree
// with a plain split of the string on NUL.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "setup/SelectionString.h"

namespace {

using lumi::fuzz::check;
using lumi::setup::CountFiles;
using lumi::setup::GetFilePath;

// The numbers of the files that are checked: all of them in a short selection, the first and
// the last ones in a long one, which keeps each input fast.
std::vector<int> filesToCheck(int count) {
    constexpr int kEnds = 40;
    std::vector<int> numbers;
    for (int n = 1; n <= count; ++n) {
        if (n <= kEnds || n > count - kEnds) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string selection(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts(1);
    for (const char c : selection) {
        if (c == '\0') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }

    if (parts.size() == 1) {
        check(CountFiles(selection) == 1, "a selection without NUL is one file");
        for (const int n : {INT_MIN, -1, 0, 1, 2, INT_MAX}) {
            check(GetFilePath(selection, n) == selection,
                  "a selection without NUL is returned unchanged");
        }
        return 0;
    }

    const auto count = static_cast<int>(parts.size() - 1);
    check(CountFiles(selection) == count, "the file count is the number of NULs");

    const std::string& folder = parts.front();
    const bool windowsStyle =
        folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    const char separator = windowsStyle ? '\\' : '/';
    // After an empty folder (files from several folders) every name is a full path.
    const std::string prefix =
        folder.empty() || folder.back() == separator ? folder : folder + separator;
    for (const int n : filesToCheck(count)) {
        check(GetFilePath(selection, n) == prefix + parts[n],
              "file n is the folder, a separator and the n-th name, or the n-th full path");
    }
    for (const int n : {INT_MIN, -1, 0}) {
        check(GetFilePath(selection, n) == prefix, "a number below 1 gives only the folder");
    }
    for (const int n : {count + 1, count + 2, INT_MAX}) {
        check(GetFilePath(selection, n) == prefix, "a number above the count gives the folder");
    }
    return 0;
}
