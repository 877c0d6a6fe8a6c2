// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "settings/PictureFolders.h"

namespace lumi::settings {
namespace {

const std::vector<std::string> kExtensions{"jpg", "jpeg", "png"};

// A file system in memory. Each folder has a path of its own; a link is a second path to the
// same folder, listed as a folder entry of its parent.
class FakeFolderReader final : public platform::FolderReader {
public:
    struct Entry {
        std::string name;
        bool folder = false;
        bool hidden = false;
    };
    struct Folder {
        std::uint64_t index = 0;
        bool readable = true;
        std::vector<Entry> entries;
    };

    std::map<std::string, Folder> folders;     // by their own path
    std::map<std::string, std::string> links;  // link path -> the folder's own path
    mutable std::vector<std::string> listed;   // the paths list() was called for

    std::optional<platform::FolderIdentity> identify(const std::string& path) const override {
        const Folder* folder = find(path);
        return folder ? std::optional(platform::FolderIdentity{7, folder->index}) : std::nullopt;
    }
    bool list(const std::string& path,
              const std::function<void(const platform::FolderEntry&)>& onEntry) const override {
        listed.push_back(path);
        const Folder* folder = find(path);
        if (!folder || !folder->readable) {
            return false;
        }
        for (const Entry& entry : folder->entries) {
            onEntry({entry.name, entry.folder, entry.hidden});
        }
        return true;
    }
    std::string join(const std::string& folder, std::string_view name) const override {
        return folder + (folder.ends_with('/') ? "" : "/") + std::string(name);
    }

private:
    const Folder* find(const std::string& path) const {
        const std::string own =
            path.size() > 1 && path.ends_with('/') ? path.substr(0, path.size() - 1) : path;
        const auto link = links.find(own);
        const auto folder = folders.find(link == links.end() ? own : link->second);
        return folder == folders.end() ? nullptr : &folder->second;
    }
};

TEST(PictureFoldersTest, NamesSortAsFileManagersSortThemInEveryFoldedScript) {
    // Each lower-case name comes before the upper-case one with the larger number, which
    // only folding the case gives.
    const std::vector<std::string> expected{
        "a.jpg",    "B.jpg",    "c1.jpg", "c01.jpg",   "c2.jpg",     "c10.jpg",
        "c10a.jpg", "c10b.jpg", "IMG_2",  "IMG_9.png", "img_10.png", "IMG_100.png",
        "x",        "ça 1",     "Ça 2",   "ł 1",       "Ł 2",        "ω 1",
        "Ω 2",      "я 1",      "Я 2",    "ё 1",       "Ё 2",        "\xff raw"};
    std::vector<std::string> names(expected.rbegin(), expected.rend());
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return naturalLess(a, b); });
    EXPECT_EQ(names, expected);
    for (const std::string& name : expected) {
        EXPECT_FALSE(naturalLess(name, name)) << name;
    }
}

TEST(PictureFoldersTest, PictureExtensionsIgnoreCaseAndNeedAName) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"a.JPG", true}, {"b.c.png", true}, {"x.Jpeg", true}, {".jpg", false},
        {"a.", false},   {"a.jpgx", false}, {"jpg", false},   {"a.gif", false}};
    for (const auto& [name, picture] : cases) {
        EXPECT_EQ(hasPictureExtension(name, kExtensions), picture) << name;
    }
}

// Pictures come out by path, name by name; hidden entries, other files and folders without
// pictures add nothing; a link loop and a second link to one folder are read once; an
// unreadable folder is skipped.
TEST(PictureFoldersTest, FolderExpandsToItsPicturesInPathOrder) {
    FakeFolderReader reader;
    reader.folders["/p"] = {1,
                            true,
                            {{"IMG_10.jpg"},
                             {"img_2.PNG"},
                             {"notes.txt"},
                             {".h.jpg"},
                             {"marked.jpg", false, true},
                             {"2024", true},
                             {"locked", true},
                             {".cache", true},
                             {"again", true},
                             {"zz", true}}};
    reader.folders["/p/2024"] = {2, true, {{"b.jpg"}, {"loop", true}, {"a.jpeg"}, {"10", true}}};
    reader.folders["/p/2024/10"] = {3, true, {{"y.jpg"}}};
    reader.folders["/p/locked"] = {4, false, {{"q.jpg"}}};
    reader.folders["/p/.cache"] = {5, true, {{"t.jpg"}}};
    reader.folders["/p/zz"] = {6, true, {{"readme.txt"}}};
    reader.links["/p/2024/loop"] = "/p";
    reader.links["/p/again"] = "/p/2024/10";

    const std::vector<std::string> expected{"/p/2024/10/y.jpg", "/p/2024/a.jpeg", "/p/2024/b.jpg",
                                            "/p/img_2.PNG", "/p/IMG_10.jpg"};
    EXPECT_EQ(expandFolder("/p", reader, kExtensions), expected);
    EXPECT_EQ(std::count(reader.listed.begin(), reader.listed.end(), "/p"), 1);
    EXPECT_EQ(std::count(reader.listed.begin(), reader.listed.end(), "/p/again"), 0);
    EXPECT_EQ(std::count(reader.listed.begin(), reader.listed.end(), "/p/.cache"), 0);

    // A folder without pictures and what is no folder stay in the list as they are.
    const std::vector<std::string> list{"/x.jpg", "/p/zz/", "/p/2024/10/", "/x.jpg", "/none"};
    EXPECT_EQ(
        expandPictureList(list, reader, kExtensions),
        (std::vector<std::string>{"/x.jpg", "/p/zz/", "/p/2024/10/y.jpg", "/x.jpg", "/none"}));
    EXPECT_TRUE(isFolderEntry("/p/again", reader));
    EXPECT_FALSE(isFolderEntry("/x.jpg", reader));
    EXPECT_FALSE(isFolderEntry("", reader));
}

}  // namespace
}  // namespace lumi::settings
