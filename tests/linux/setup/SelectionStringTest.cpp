// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/setup/SelectionString.h"

namespace lumi::setup {
namespace {

// A selection string written with "|" standing for NUL.
QString sel(const char* text) {
    return QString::fromUtf8(text).replace(u'|', QChar(u'\0'));
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
         }) {
        EXPECT_EQ(CountFiles(sel(c.selection)), c.files) << c.selection;
        EXPECT_EQ(GetFilePath(sel(c.selection), c.n), QString::fromUtf8(c.path))
            << c.selection << " #" << c.n;
    }
}

TEST(SelectionStringTest, SelectionStringOfTheDialogsChoiceReadsBack) {
    EXPECT_EQ(selectionString({}), "");
    EXPECT_EQ(selectionString({"/pics/a.jpg"}), "/pics/a.jpg");
    EXPECT_EQ(selectionString({"/pics/a.jpg", "/pics/b c.jpg"}), sel("/pics|a.jpg|b c.jpg"));
    EXPECT_EQ(GetFilePath(selectionString({"/a.jpg", "/b.jpg"}), 2), "/b.jpg");
    // Typed full paths from two folders: each file keeps its own folder.
    const QString twoFolders = selectionString({"/a/pics/a.jpg", "/b/other/b.jpg"});
    EXPECT_EQ(twoFolders, sel("|/a/pics/a.jpg|/b/other/b.jpg"));
    EXPECT_EQ(GetFilePath(twoFolders, 1), "/a/pics/a.jpg");
    EXPECT_EQ(GetFilePath(twoFolders, 2), "/b/other/b.jpg");
}

}  // namespace
}  // namespace lumi::setup
