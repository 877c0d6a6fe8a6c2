// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/PictureListEditor.h"

#include <algorithm>
#include <utility>

#include "setup/SelectionString.h"
#include "setup/SetupMessages.h"

namespace lumi::setup {
namespace {

using Entries = platform::PictureListFile::Entries;

void show(platform::MessageBoxes& boxes, const MessageText& message) {
    boxes.error(message.title, message.text);
}

// The view of `entries` with row `index` selected, or the last row when past the end.
PictureListView viewOf(Entries entries, int index) {
    PictureListView view;
    view.selected = std::min(index, static_cast<int>(entries.size()) - 1);
    view.count = std::to_string(entries.size());
    view.entries = std::move(entries);
    return view;
}

Entries appended(Entries entries, const Entries& added) {
    entries.insert(entries.end(), added.begin(), added.end());
    return entries;
}

// The folder's path with its closing separator, the one the path uses.
std::string folderEntry(const std::string& path) {
    const char separator = separatorOf(path);
    return !path.empty() && path.back() == separator ? path : path + separator;
}

}  // namespace

std::string pictureFilter(const std::vector<std::string>& extensions) {
    std::vector<std::string> patterns;
    for (const std::string& extension : extensions) {
        patterns.push_back("*." + extension);
    }
    std::ranges::sort(patterns);
    std::string filter =
        "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*|All pictures|";
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        filter += (i == 0 ? "" : ";") + patterns[i];
    }
    return filter;
}

PictureListEditor::PictureListEditor(platform::PictureListFile& list,
                                     const platform::FileQuery& files,
                                     platform::MessageBoxes& boxes)
    : list_(list), files_(files), boxes_(boxes) {}

PictureListView PictureListEditor::load() {
    PictureListView view;
    if (!list_.exists()) {
        return view;
    }
    platform::PictureListFile::Result read = list_.read();
    if (!read.ok()) {
        show(boxes_, pictureListError(read.error));
    }
    if (!read.entries.empty()) {
        view.count = std::to_string(read.entries.size());
    }
    view.entries = std::move(read.entries);
    return view;
}

bool PictureListEditor::existsOrReport(const std::string& path) {
    if (files_.isFile(path)) {
        return true;
    }
    show(boxes_, fileDoesNotExist(path));
    return false;
}

bool PictureListEditor::holdableOrReport(const std::string& path) {
    if (list_.canHold(path)) {
        return true;
    }
    show(boxes_, cannotHoldName(path, files_.isFolder(path)));
    return false;
}

bool PictureListEditor::confirmedSize(const std::string& path) {
    if (files_.size(path) > 0) {
        return true;
    }
    const MessageText question = zeroByteFile(path);
    return boxes_.question(question.title, question.text);
}

std::vector<std::string> PictureListEditor::checkedEntries(const std::vector<std::string>& paths) {
    Entries added;
    for (const std::string& path : paths) {
        if (files_.isFolder(path)) {
            if (holdableOrReport(path)) {
                added.push_back(folderEntry(path));
            }
        } else if (existsOrReport(path) && holdableOrReport(path) && confirmedSize(path)) {
            added.push_back(path);
        }
    }
    return added;
}

std::optional<PictureListView> PictureListEditor::addSelection(const std::string& selection,
                                                               const PictureListView& shown) {
    if (selection.empty()) {
        return std::nullopt;
    }
    Entries added;
    const int count = CountFiles(selection);
    for (int i = 1; i <= count; ++i) {
        const std::string path = GetFilePath(selection, i);
        if (existsOrReport(path) && holdableOrReport(path) && confirmedSize(path)) {
            added.push_back(path);
        }
    }
    return apply([&added](Entries entries) { return appended(std::move(entries), added); }, shown,
                 kKeepSelection);
}

std::optional<PictureListView> PictureListEditor::addPaths(const std::vector<std::string>& paths,
                                                           const PictureListView& shown) {
    const Entries added = checkedEntries(paths);
    return apply([&added](Entries entries) { return appended(std::move(entries), added); }, shown,
                 kKeepSelection);
}

std::optional<PictureListView> PictureListEditor::deleteSelected(const PictureListView& shown) {
    const int k = shown.selected;
    if (k < 0 || k >= static_cast<int>(shown.entries.size())) {
        show(boxes_, shown.entries.empty() ? listIsEmpty() : chooseAFileToDelete());
        // The count shows, whatever the write gives.
        PictureListView counted = shown;
        counted.count = std::to_string(shown.entries.size());
        std::optional<PictureListView> written =
            apply([](Entries entries) { return entries; }, counted, kKeepSelection);
        return written ? written : std::optional(counted);
    }
    const std::string chosen = shown.entries[static_cast<std::size_t>(k)];
    return apply(
        [k, &chosen](Entries entries) {
            const auto at = static_cast<std::size_t>(k);
            if (at < entries.size() && entries[at] == chosen) {
                entries.erase(entries.begin() + k);
            } else if (const auto found = std::ranges::find(entries, chosen);
                       found != entries.end()) {
                entries.erase(found);
            }
            return entries;
        },
        shown, k);
}

std::optional<PictureListView> PictureListEditor::clearAll(const PictureListView& shown) {
    return apply([](const Entries&) { return Entries(); }, shown, -1);
}

std::optional<PictureListView> PictureListEditor::apply(const platform::PictureListFile::Edit& edit,
                                                        const PictureListView& shown, int index) {
    const int selected = index == kKeepSelection ? shown.selected : index;
    platform::PictureListFile::Result result = list_.edit(edit);
    if (result.ok()) {
        return viewOf(std::move(result.entries), selected);
    }
    show(boxes_, pictureListError(result.error));
    // The list shows what the file holds, which the refused edit did not change (but another
    // dialog may have).
    platform::PictureListFile::Result stored = list_.read();
    if (stored.ok() && stored.entries != shown.entries) {
        return viewOf(std::move(stored.entries), shown.selected);
    }
    return std::nullopt;
}

}  // namespace lumi::setup
