// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/setup/DialogSelection.h"
#include "setup/SelectionString.h"

namespace lumi::setup {
namespace {

// A selection string written with "|" standing for NUL.
QString sel(const char* text) {
    return QString::fromUtf8(text).replace(u'|', QChar(u'\0'));
}

std::string pathOf(const QString& selection, int n) {
    return GetFilePath(selection.toStdString(), n);
}

TEST(SelectionStringTest, SelectionStringOfTheDialogsChoiceReadsBack) {
    EXPECT_EQ(selectionString({}), "");
    EXPECT_EQ(selectionString({"/pics/a.jpg"}), "/pics/a.jpg");
    EXPECT_EQ(selectionString({"/pics/a.jpg", "/pics/b c.jpg"}), sel("/pics|a.jpg|b c.jpg"));
    EXPECT_EQ(pathOf(selectionString({"/a.jpg", "/b.jpg"}), 2), "/b.jpg");
    // Typed full paths from two folders: each file keeps its own folder.
    const QString twoFolders = selectionString({"/a/pics/a.jpg", "/b/other/b.jpg"});
    EXPECT_EQ(twoFolders, sel("|/a/pics/a.jpg|/b/other/b.jpg"));
    EXPECT_EQ(pathOf(twoFolders, 1), "/a/pics/a.jpg");
    EXPECT_EQ(pathOf(twoFolders, 2), "/b/other/b.jpg");
}

}  // namespace
}  // namespace lumi::setup
