// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "setup/PictureListEditor.h"
#include "support/FakeSetupPlatform.h"

namespace lumi::setup {
namespace {

using namespace std::string_literals;
using Entries = std::vector<std::string>;
using Boxes = std::vector<std::string>;
using Action =
    std::function<std::optional<PictureListView>(PictureListEditor&, const PictureListView&)>;

const std::string kList = "|Corvanta Lumiscribe Pictures|";

Action adding(std::string selection) {
    return [selection](PictureListEditor& editor, const PictureListView& shown) {
        return editor.addSelection(selection, shown);
    };
}

// One edit of a list that holds `stored` and shows `shownEntries` with row `selected`.
struct EditCase {
    const char* name;
    Entries stored;
    int selected;
    Action action;
    std::deque<bool> answers;
    Boxes boxes;
    std::optional<PictureListView> view;
    Entries afterwards;
    std::optional<std::string> refusal = std::nullopt;
    std::optional<Entries> changedByOther = std::nullopt;
};

TEST(PictureListEditorTest, EachEditChecksReportsAndShowsWhatTheFileHolds) {
    const auto deleting = [](PictureListEditor& editor, const PictureListView& shown) {
        return editor.deleteSelected(shown);
    };
    const std::vector<EditCase> cases{
        {"each file's checks in order, the empty file declined",
         {"/p/x.jpg"},
         0,
         adding("/p\0a.jpg\0gone.jpg\0q\"x.jpg\0empty.jpg"s),
         {false},
         {"error" + kList + "The file /p/gone.jpg does not exist.",
          "error" + kList +
              "The file /p/q\"x.jpg cannot be added: the picture list cannot "
              "hold a name with a double quote, a line break or a character "
              "outside the system's character set.",
          "question|Error|The file /p/empty.jpg is zero bytes in length!\rAre you Sure you "
          "want to add it?"},
         PictureListView{{"/p/x.jpg", "/p/a.jpg"}, 0, "2"},
         {"/p/x.jpg", "/p/a.jpg"}},
        {"the empty file wanted",
         {},
         -1,
         adding("/p/empty.jpg"),
         {true},
         {"question|Error|The file /p/empty.jpg is zero bytes in length!\rAre you Sure you "
          "want to add it?"},
         PictureListView{{"/p/empty.jpg"}, -1, "1"},
         {"/p/empty.jpg"}},
        {"a cancelled dialog", {"/p/x.jpg"}, 0, adding(""), {}, {}, std::nullopt, {"/p/x.jpg"}},
        {"folders and a file",
         {},
         -1,
         [](PictureListEditor& editor, const PictureListView& shown) {
             return editor.addPaths({"/p", "/q/", "/p/a.jpg", "/r\"s", "C:\\Pics"}, shown);
         },
         {},
         {"error" + kList +
          "The folder /r\"s cannot be added: the picture list cannot "
          "hold a name with a double quote, a line break or a "
          "character outside the system's character set."},
         PictureListView{{"/p/", "/q/", "/p/a.jpg", "C:\\Pics\\"}, -1, "4"},
         {"/p/", "/q/", "/p/a.jpg", "C:\\Pics\\"}},
        {"delete where another dialog moved the entry",
         {"/p/a.jpg", "/p/b.jpg"},
         1,
         deleting,
         {},
         {},
         PictureListView{{"/p/n.jpg", "/p/a.jpg"}, 1, "2"},
         {"/p/n.jpg", "/p/a.jpg"},
         std::nullopt,
         Entries{"/p/n.jpg", "/p/a.jpg", "/p/b.jpg"}},
        {"delete the last row",
         {"/p/a.jpg", "/p/b.jpg"},
         1,
         deleting,
         {},
         {},
         PictureListView{{"/p/a.jpg"}, 0, "1"},
         {"/p/a.jpg"}},
        {"delete from an empty list",
         {},
         -1,
         deleting,
         {},
         {"error" + kList + "List is empty!"},
         PictureListView{{}, -1, "0"},
         {}},
        {"delete with no row chosen, the write refused",
         {"/p/a.jpg"},
         -1,
         deleting,
         {},
         {"error" + kList + "Choose a file to delete!", "error" + kList + "disk full"},
         PictureListView{{"/p/a.jpg"}, -1, "1"},
         {"/p/a.jpg"},
         "disk full"},
        {"a refused write leaves the rows",
         {"/p/a.jpg"},
         0,
         [](PictureListEditor& editor, const PictureListView& shown) {
             return editor.clearAll(shown);
         },
         {},
         {"error" + kList + "disk full"},
         std::nullopt,
         {"/p/a.jpg"},
         "disk full"},
        {"a refused write shows another dialog's edit",
         {"/p/a.jpg", "/p/b.jpg"},
         1,
         deleting,
         {},
         {"error" + kList + "disk full"},
         PictureListView{{"/p/b.jpg"}, 0, "1"},
         {"/p/b.jpg"},
         "disk full",
         Entries{"/p/b.jpg"}},
        {"clear all",
         {"/p/a.jpg", "/p/b.jpg"},
         1,
         [](PictureListEditor& editor, const PictureListView& shown) {
             return editor.clearAll(shown);
         },
         {},
         {},
         PictureListView{{}, -1, "0"},
         {}},
    };
    for (const EditCase& row : cases) {
        SCOPED_TRACE(row.name);
        testing::FakeFileQuery files;
        files.files = {{"/p/a.jpg", 10}, {"/p/empty.jpg", 0}, {"/p/q\"x.jpg", 5}};
        files.folders = {"/p", "/q/", "/r\"s", "C:\\Pics"};
        testing::FakeMessageBoxes boxes;
        boxes.answers = row.answers;
        testing::FakePictureListFile list;
        list.entries = row.stored;
        list.refusal = row.refusal;
        list.changedByOther = row.changedByOther;
        PictureListEditor editor(list, files, boxes);

        const PictureListView shown{row.stored, row.selected, std::to_string(row.stored.size())};
        EXPECT_EQ(row.action(editor, shown), row.view);
        EXPECT_EQ(boxes.shown, row.boxes);
        EXPECT_EQ(list.entries, row.afterwards);
    }
}

TEST(PictureListEditorTest, LoadingLeavesTheCountBlankWithoutEntriesAndReportsAnUnreadableList) {
    testing::FakeFileQuery files;
    testing::FakeMessageBoxes boxes;
    testing::FakePictureListFile list;
    PictureListEditor editor(list, files, boxes);
    list.present = false;
    EXPECT_EQ(editor.load(), PictureListView{});
    list.present = true;
    list.entries = {"/p/a.jpg"};
    EXPECT_EQ(editor.load(), (PictureListView{{"/p/a.jpg"}, -1, "1"}));
    list.readError = "List.txt cannot be read";
    list.entries.clear();
    EXPECT_EQ(editor.load(), PictureListView{});
    EXPECT_EQ(boxes.shown, Boxes{"error" + kList + "List.txt cannot be read"});
}

}  // namespace
}  // namespace lumi::setup
