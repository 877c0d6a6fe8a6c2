// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "setup/SelectionString.h"

namespace lumi::setup {
namespace {

// A selection string written with "|" standing for NUL.
std::string sel(const char* text) {
    std::string selection(text);
    std::ranges::replace(selection, '|', '\0');
    return selection;
}

TEST(SelectionStringTest, CountFilesAndGetFilePathTakeTheSelectionApart) {
    struct Case {
        const char* selection;
        int files;
        int n;
        const char* path;
    };
    for (const Case& c : {
             Case{"C:\\Pics\\a.jpg", 1, 1, "C:\\Pics\\a.jpg"},  // one file: unchanged
             Case{"D:\\Pics|a.jpg|b b.jpg|c,d.jpg", 3, 1, "D:\\Pics\\a.jpg"},
             Case{"D:\\Pics|a.jpg|b b.jpg|c,d.jpg", 3, 2, "D:\\Pics\\b b.jpg"},
             Case{"D:\\Pics|a.jpg|b b.jpg|c,d.jpg", 3, 3, "D:\\Pics\\c,d.jpg"},
             Case{"C:\\|a.jpg|b.jpg", 2, 2, "C:\\b.jpg"},  // a root folder: no doubled separator
             Case{"/home/ann/My Pics|a.jpg|b.jpg", 2, 2, "/home/ann/My Pics/b.jpg"},
             Case{"/|a.jpg|b.jpg", 2, 1, "/a.jpg"}, Case{"", 1, 1, ""},
             Case{"D:\\Pics|a.jpg|b.jpg", 2, 3, "D:\\Pics\\"},               // past the last name
             Case{"|/a/pics/a.jpg|/b/other/b.jpg", 2, 2, "/b/other/b.jpg"},  // several folders
             Case{"/pics|bl\xE9.png|b.png", 2, 1, "/pics/bl\xE9.png"},  // a name's own bytes
         }) {
        EXPECT_EQ(CountFiles(sel(c.selection)), c.files) << c.selection;
        EXPECT_EQ(GetFilePath(sel(c.selection), c.n), c.path)
            << c.selection << " #" << c.n;
    }
}

}  // namespace
}  // namespace lumi::setup
