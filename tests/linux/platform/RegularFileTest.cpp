// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "linux/platform/RegularFile.h"
#include "support/Files.h"
#include "support/HostileFiles.h"

namespace lumi::platform {
namespace {

using testing::Hostile;

TEST(RegularFileTest, ReadsARegularFileWhole) {
    QTemporaryDir dir;
    QByteArray bytes(300'000, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    ASSERT_TRUE(testing::writeFileBytes(dir.filePath("a.jpg"), bytes));
    const FileRead read = readRegularFile(dir.filePath("a.jpg"));
    EXPECT_EQ(read.state, FileRead::State::Read);
    EXPECT_EQ(read.bytes, bytes);
}

// Every path that is no readable regular file is refused at once, never waited on.
TEST(RegularFileTest, RefusesWhatIsNoRegularFile) {
    struct Expected {
        Hostile kind;
        FileRead::State state;
        const char* reason;
    };
    const Expected table[] = {
        {Hostile::Fifo, FileRead::State::NotRegular, "it is a named pipe, not a regular file"},
        {Hostile::Folder, FileRead::State::NotRegular, "it is a folder, not a regular file"},
        {Hostile::Device, FileRead::State::NotRegular, "it is a device, not a regular file"},
        {Hostile::Unreadable, FileRead::State::Unreadable, "Permission denied"},
        {Hostile::Vanished, FileRead::State::Missing, ""},
    };
    for (const Expected& expected : table) {
        QTemporaryDir dir;
        const QString path = dir.filePath("x.jpg");
        if (!testing::makeHostile(expected.kind, path)) {
            continue;  // this user reads every file
        }
        const FileRead read = readRegularFile(path);
        EXPECT_EQ(read.state, expected.state) << static_cast<int>(expected.kind);
        EXPECT_EQ(read.error, QString::fromLatin1(expected.reason));
        EXPECT_TRUE(read.bytes.isEmpty());
    }
}

// A file that stops answering is given up after the patience, and while its read still
// hangs the reader gives up on the next read at once instead of waiting again.
TEST(RegularFileTest, AFileThatDoesNotAnswerIsGivenUpOnce) {
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    auto gate = std::make_shared<Gate>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    RegularFileReader reader(std::chrono::milliseconds(50),
                             [gate, calls](const QByteArray&, FileSizeTest,
                                           const std::function<void()>&) {
                                 ++*calls;
                                 std::unique_lock lock(gate->mutex);
                                 gate->opened.wait(lock, [&] { return gate->open; });
                                 return FileRead{FileRead::State::Read, "late", {}};
                             });
    const FileRead first = reader.read("/net/a.ini");
    EXPECT_EQ(first.state, FileRead::State::NoAnswer);
    EXPECT_EQ(first.error, "it did not answer within 50 ms");
    EXPECT_EQ(reader.read("/net/a.ini").state, FileRead::State::NoAnswer);
    EXPECT_EQ(*calls, 1);  // the second read did not start another wait

    {
        const std::lock_guard lock(gate->mutex);
        gate->open = true;
    }
    gate->opened.notify_all();
    // Once the hung read has ended, the reader reads again.
    FileRead later;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (later.state != FileRead::State::Read && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        later = reader.read("/net/a.ini");
    }
    EXPECT_EQ(later.state, FileRead::State::Read);
    EXPECT_EQ(later.bytes, "late");
}

TEST(RegularFileTest, FileNamesRoundTripByteForByte) {
    const QByteArray names[] = {
        "/pictures/plain.png",
        "/pictures/bl\xC3\xA9.png",       // UTF-8
        "/pictures/bl\xE9.png",           // Latin-1
        "/p/\xFF\xFE\x80\xC0\x80.jpg",    // stray and overlong bytes
        "/p/\xED\xA0\x80.jpg",            // an encoded surrogate
        "/p/\xE2\x82",                    // a sequence cut short at the end
        "/p/\xF0\x9F\x98\x80 smile.jpg",  // outside the basic plane
    };
    for (const QByteArray& name : names) {
        const QString decoded = decodeFileName(name);
        EXPECT_EQ(encodeFileName(decoded), name) << name.toHex().constData();
    }
    EXPECT_EQ(decodeFileName("bl\xC3\xA9"), QString::fromUtf8("bl\xC3\xA9"));
    EXPECT_EQ(decodeFileName("bl\xE9"), QStringLiteral("bl") + QChar(char16_t(0xDCE9)));
}

}  // namespace
}  // namespace lumi::platform
