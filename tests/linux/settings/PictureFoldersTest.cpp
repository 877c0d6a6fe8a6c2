// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include "linux/settings/PictureFolders.h"
#include "support/Files.h"

namespace lumi::settings {
namespace {

// A folder tree as users keep it: the pictures come out by path, name by name, numbers as
// numbers and extensions of either case; other files, hidden ones and empty folders add
// nothing.
TEST(PictureFoldersTest, FolderExpandsToItsPicturesInPathOrder) {
    QTemporaryDir dir;
    const QString root = dir.filePath("Pictures");
    for (const char* name : {"IMG_10.jpg", "IMG_2.JPG", "img_1.jpeg", "scan.PNG", "notes.txt",
                             "README", ".hidden.jpg", "2024/b.gif", "2024/a.bmp", "2024/3/z.jpg",
                             "2024/10/y.jpg", "Holiday/x.webp", ".thumbnails/t.png", "empty/"}) {
        const QString path = root + "/" + name;
        if (path.endsWith('/')) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            ASSERT_TRUE(testing::writeFileBytes(path, ""));
        }
    }
    QStringList expected;
    for (const char* name : {"2024/3/z.jpg", "2024/10/y.jpg", "2024/a.bmp", "2024/b.gif",
                             "img_1.jpeg", "IMG_2.JPG", "IMG_10.jpg", "scan.PNG"}) {
        expected.append(root + "/" + name);
    }
    if (pictureExtensions().contains("webp")) {
        expected.insert(4, root + "/Holiday/x.webp");
    }
    EXPECT_EQ(expandFolder(root), expected);
    EXPECT_EQ(expandFolder(root + "/"), expected);
    EXPECT_TRUE(expandFolder(root + "/empty").isEmpty());
    EXPECT_TRUE(expandFolder(root + "/notes.txt").isEmpty());
    EXPECT_TRUE(isFolderEntry(root + "/2024/"));
    EXPECT_FALSE(isFolderEntry(root + "/notes.txt"));
    EXPECT_FALSE(isFolderEntry(""));
}

// Links are followed, but no folder is read twice, so a link loop ends; a folder that cannot
// be read is skipped and the rest still shows.
TEST(PictureFoldersTest, LinkLoopsAreReadOnceAndUnreadableFoldersSkipped) {
    QTemporaryDir dir;
    const QString root = dir.filePath("top");
    ASSERT_TRUE(testing::writeFileBytes(root + "/a/p.png", ""));
    ASSERT_TRUE(testing::writeFileBytes(root + "/locked/q.png", ""));
    ASSERT_TRUE(testing::writeFileBytes(root + "/z.png", ""));
    ASSERT_TRUE(QFile::link(root, root + "/a/loop"));
    ASSERT_TRUE(QFile(root + "/locked").setPermissions({}));
    QStringList expected{root + "/a/p.png", root + "/z.png"};
    if (::geteuid() == 0) {
        expected.insert(1, root + "/locked/q.png");  // permissions do not hold back root
    }
    EXPECT_EQ(expandFolder(root), expected);
    QFile(root + "/locked").setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
}  // namespace lumi::settings
