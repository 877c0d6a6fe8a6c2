// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "linux/settings/PictureList.h"
#include "support/Files.h"
#include "support/HostileFiles.h"

namespace lumi::settings {
namespace {

class PictureListTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath("List.txt"); }

    void writeBytes(const QByteArray& bytes) const {
        ASSERT_TRUE(testing::writeFileBytes(path(), bytes));
    }

    QByteArray readBytes() const { return testing::fileBytes(path()); }

    QTemporaryDir dir_;
};

TEST_F(PictureListTest, WritesQuotedEntriesWithCrLfAndReadsThemBack) {
    const QStringList entries{R"(C:\Pics\a.jpg)", R"(C:\My Pictures\b,c.jpg)"};
    ASSERT_EQ(writePictureList(path(), entries), std::nullopt);
    EXPECT_EQ(readBytes(), QByteArray("\"C:\\Pics\\a.jpg\"\r\n\"C:\\My Pictures\\b,c.jpg\"\r\n"));
    const PictureListReadResult result = readPictureList(path());
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.entries, entries);
}

TEST_F(PictureListTest, EmptyListIsAZeroByteFile) {
    writeBytes("\"old\"\r\n");
    ASSERT_EQ(writePictureList(path(), {}), std::nullopt);
    EXPECT_EQ(readBytes(), QByteArray());
    const PictureListReadResult result = readPictureList(path());
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.entries.isEmpty());
}

TEST_F(PictureListTest, Utf8NamesAndSpacesRoundTrip) {
    const QStringList entries{QString::fromUtf8("/home/zoë/Bilder/Blåbær ü.png"), " lead", "tail ",
                              "", "a,b, c"};
    ASSERT_EQ(writePictureList(path(), entries), std::nullopt);
    EXPECT_TRUE(readBytes().startsWith("\"/home/zo\xc3\xab/Bilder/Bl\xc3\xa5"));
    EXPECT_EQ(readPictureList(path()).entries, entries);
}

TEST_F(PictureListTest, RefusesEntriesTheFileCannotHoldAndKeepsTheOldList) {
    writeBytes("\"keep\"\r\n");
    for (const QString& bad : {QString("a\"b"), QString("a\rb"), QString("a\nb")}) {
        EXPECT_FALSE(canHoldPath(bad));
        const std::optional<QString> error = writePictureList(path(), {"fine", bad});
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(error->contains(QDir::toNativeSeparators(path()))) << error->toStdString();
        EXPECT_EQ(readBytes(), QByteArray("\"keep\"\r\n"));
    }
    EXPECT_TRUE(canHoldPath(R"(C:\My Pictures\b,c.jpg)"));
}

TEST_F(PictureListTest, WriteFailureNamesTheFile) {
    const QString missingFolder = dir_.filePath("no/such/folder/List.txt");
    const std::optional<QString> error = writePictureList(missingFolder, {"a"});
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QDir::toNativeSeparators(missingFolder)));
}

// A full disk: the file-size limit makes every write of the process fail, as a full disk
// does, even for root.
class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(PictureListTest, FullDiskIsReportedAndKeepsTheOldList) {
    const QByteArray old = "\"/old/a.jpg\"\r\n";
    writeBytes(old);
    std::optional<QString> error;
    {
        const FullDisk fullDisk;
        error = settings::writePictureList(path(), {"/new/b.jpg", "/new/c.jpg"});
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains("List.txt")) << error->toStdString();
    EXPECT_EQ(readBytes(), old);
}

TEST_F(PictureListTest, MissingFileIsAnEmptyListWithoutError) {
    const PictureListReadResult result = readPictureList(path());
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.entries.isEmpty());
}

TEST_F(PictureListTest, UnreadableFileIsAnErrorWithNoEntries) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("List.txt"));  // a folder where the file belongs
    const PictureListReadResult result = readPictureList(path());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path())));
    EXPECT_TRUE(result.entries.isEmpty());
}

// What stands where the list belongs is refused at once with its reason, never waited on.
TEST_F(PictureListTest, HostileListFilesAreRefusedWithTheirReason) {
    struct Expected {
        testing::Hostile kind;
        const char* reason;  // empty: read as a missing list, without an error
    };
    const Expected table[] = {
        {testing::Hostile::Fifo, "it is a named pipe, not a regular file"},
        {testing::Hostile::Folder, "it is a folder, not a regular file"},
        {testing::Hostile::Device, "it is a device, not a regular file"},
        {testing::Hostile::Unreadable, "Permission denied"},
        {testing::Hostile::Vanished, ""},
    };
    for (const Expected& expected : table) {
        QTemporaryDir dir;
        const QString list = dir.filePath("List.txt");
        if (!testing::makeHostile(expected.kind, list)) {
            continue;  // this user reads every file
        }
        const PictureListReadResult result = readPictureList(list);
        EXPECT_TRUE(result.entries.isEmpty());
        if (*expected.reason == '\0') {
            EXPECT_TRUE(result.ok()) << result.error.toStdString();
        } else {
            EXPECT_EQ(result.error, QStringLiteral("Cannot read the picture list \"%1\": %2")
                                        .arg(QDir::toNativeSeparators(list), expected.reason));
        }
    }
}

// File names are bytes: an entry that is not UTF-8 is kept byte for byte through a read and
// a write of the list with another entry added.
TEST_F(PictureListTest, EntriesThatAreNotUtf8AreWrittenBackByteForByte) {
    writeBytes("\"/pics/bl\xE9.png\"\r\n\"/pics/\xC3\xA9t\xE9 \xFF.jpg\"\r\n");
    PictureListReadResult result = readPictureList(path());
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.entries.size(), 2);
    for (const QString& entry : result.entries) {
        EXPECT_TRUE(canHoldPath(entry));
    }
    result.entries.append(QString::fromUtf8("/pics/new\xC3\xA9.png"));
    ASSERT_EQ(writePictureList(path(), result.entries), std::nullopt);
    EXPECT_EQ(readBytes(), QByteArray("\"/pics/bl\xE9.png\"\r\n\"/pics/\xC3\xA9t\xE9 \xFF.jpg\"\r\n"
                                      "\"/pics/new\xC3\xA9.png\"\r\n"));
}

}  // namespace
}  // namespace lumi::settings
