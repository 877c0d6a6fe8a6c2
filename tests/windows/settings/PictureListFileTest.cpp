// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "windows/platform/Utf16.h"
#include "windows/settings/PictureListFile.h"
#include "windows/settings/WindowsFolderReader.h"

namespace lumi::settings {
namespace {

namespace fs = std::filesystem;

// A scratch folder of its own for each test, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = fs::path(temp) / (L"lumi-list-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount64()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    // The UTF-8 path of `name` (UTF-8, "/" or "\" between folders) in the folder.
    std::string operator/(const std::string& name) const {
        return platform::toUtf8((path_ / platform::toUtf16(name)).make_preferred().wstring());
    }

private:
    fs::path path_;
};

std::string fileBytes(const std::string& path) {
    std::ifstream file(fs::path(platform::toUtf16(path)), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

void writeFile(const std::string& path, const std::string& bytes) {
    const fs::path wide(platform::toUtf16(path));
    fs::create_directories(wide.parent_path());
    std::ofstream(wide, std::ios::binary) << bytes;
}

TEST(PictureListFileTest, WritesExactBytesAndReadsThemBack) {
    const ScratchFolder folder;
    const std::string list = pictureListPath(folder / "");
    EXPECT_EQ(readPictureList(list).entries, std::vector<std::string>{});
    EXPECT_TRUE(readPictureList(list).ok());

    const std::vector<std::string> entries{"C:\\Pictures\\a.jpg", "D:\\Zo\xc3\xab\\b c.png", ""};
    ASSERT_EQ(writePictureList(list, entries), std::nullopt);
    EXPECT_EQ(fileBytes(list),
              "\"C:\\Pictures\\a.jpg\"\r\n\"D:\\Zo\xc3\xab\\b c.png\"\r\n\"\"\r\n");
    EXPECT_EQ(readPictureList(list).entries, entries);
    EXPECT_FALSE(fs::exists(platform::toUtf16(list + ".new")));

    // An entry the format cannot hold writes nothing; no entries make an empty file.
    const std::optional<std::string> refused = writePictureList(list, {"a\"b.jpg"});
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find(list), std::string::npos) << *refused;
    EXPECT_EQ(readPictureList(list).entries, entries);
    ASSERT_EQ(writePictureList(list, {}), std::nullopt);
    EXPECT_EQ(fileBytes(list), "");
}

// A write that fails leaves the old list whole; a list that is a folder is refused with the
// file's name and the reason.
TEST(PictureListFileTest, FailedWritesKeepTheOldListAndFoldersAreRefused) {
    const ScratchFolder folder;
    const std::string list = folder / "List.txt";
    writeFile(list, "\"old.jpg\"\r\n");
    fs::create_directories(platform::toUtf16(list + ".new"));  // the temporary cannot be made
    const std::optional<std::string> error = writePictureList(list, {"new.jpg"});
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(list), std::string::npos) << *error;
    EXPECT_EQ(fileBytes(list), "\"old.jpg\"\r\n");

    const std::string notFile = folder / "Folder.txt";
    fs::create_directories(platform::toUtf16(notFile));
    const PictureListReadResult read = readPictureList(notFile);
    EXPECT_TRUE(read.entries.empty());
    EXPECT_NE(read.error.find(notFile), std::string::npos) << read.error;
    EXPECT_NE(read.error.find("folder"), std::string::npos) << read.error;
}

// An edit changes what the file holds now; while another program holds the lock, an edit
// gives up after its bounded wait and writes nothing, and a read still reads.
TEST(PictureListFileTest, EditsWorkOnTheCurrentListUnderTheLock) {
    const ScratchFolder folder;
    const std::string list = folder / "List.txt";
    writeFile(list, "a.jpg\r\nb.jpg\r\n");
    const PictureListEditResult edited = editPictureList(list, [](std::vector<std::string> e) {
        e.push_back("c.jpg");
        return e;
    });
    ASSERT_TRUE(edited.ok()) << edited.error;
    EXPECT_EQ(fileBytes(list), "\"a.jpg\"\r\n\"b.jpg\"\r\n\"c.jpg\"\r\n");

    HANDLE other =
        CreateFileW(platform::toUtf16(list + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    OVERLAPPED where = {};
    ASSERT_TRUE(LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where));
    const ULONGLONG start = GetTickCount64();
    const PictureListEditResult blocked =
        editPictureList(list, [](std::vector<std::string>) { return std::vector<std::string>{}; });
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_NE(blocked.error.find("lock"), std::string::npos) << blocked.error;
    EXPECT_EQ(blocked.entries.size(), 3u);
    EXPECT_EQ(readPictureList(list).entries.size(), 3u);
    EXPECT_EQ(fileBytes(list), "\"a.jpg\"\r\n\"b.jpg\"\r\n\"c.jpg\"\r\n");
    CloseHandle(other);
}

// Folder entries expand on the real file system: pictures by natural order, a subfolder's
// where its name falls, hidden ones (by name or by mark) and other files left out.
TEST(PictureListFileTest, DisplayReadExpandsFolders) {
    const ScratchFolder folder;
    const std::string pictures = folder / "Pictures";
    for (const char* name : {"IMG_10.jpg", "img_2.PNG", "notes.txt", ".dot.jpg", "marked.jpg",
                             "2024/b.GIF", "2024/3/z.jpg", "Zo\xc3\xab/x.heic", "empty/a.txt"}) {
        writeFile(pictures + "/" + name, "");
    }
    SetFileAttributesW(platform::toUtf16(pictures + "\\marked.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::string list = folder / "List.txt";
    ASSERT_EQ(writePictureList(list, {"C:\\one.jpg", pictures + "\\", pictures + "\\empty"}),
              std::nullopt);

    const display::PictureListRead read = readDisplayPictureList(list);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.entries,
              (std::vector<std::string>{"C:\\one.jpg", pictures + "\\2024\\3\\z.jpg",
                                        pictures + "\\2024\\b.GIF", pictures + "\\img_2.PNG",
                                        pictures + "\\IMG_10.jpg",
                                        pictures + "\\Zo\xc3\xab\\x.heic", pictures + "\\empty"}));
    const WindowsFolderReader reader;
    EXPECT_EQ(reader.identify(pictures), reader.identify(pictures + "\\"));
    EXPECT_NE(reader.identify(pictures), reader.identify(pictures + "\\2024"));
    EXPECT_FALSE(reader.identify(pictures + "\\notes.txt"));
}

}  // namespace
}  // namespace lumi::settings
