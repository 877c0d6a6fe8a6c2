// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileQuery.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureListFile.h"

namespace lumi::setup {

// What the Setup dialog's picture list box shows: the entries in order (in the edition's
// bytes of a file name), the selected row (-1: none) and the text of the count beside it.
struct PictureListView {
    std::vector<std::string> entries;
    int selected = -1;
    std::string count;

    bool operator==(const PictureListView&) const = default;
};

// The filter of the open-file dialogs of Add Files and of the background picture, in the form
// "description|patterns|description|patterns" (patterns separated by ";"): the two classic
// choices, then "All pictures" with every one of `extensions` (without their dot) that the
// picture loader reads on this machine, sorted.
std::string pictureFilter(const std::vector<std::string>& extensions);

// The rules of the Setup dialog's picture list editor, the same in every edition: which
// chosen names go into the list, with which questions and messages, and what the list box
// shows after each edit. The list box itself, the open-file dialog and the folder chooser
// stay with the edition, which hands the editor what the user chose and what the list box
// shows now, and shows the view it gets back.
//
// Each edit is applied to what the list file holds at that moment, under its lock, so that
// the edits of two dialogs open at once all land; the list box then shows what the file
// holds, the selection kept on its row (or moved to the last row when past the end). An edit
// that could not be written is reported; the list box then shows what the file holds when
// that differs from what it shows, and otherwise stays as it is (nullopt).
class PictureListEditor {
public:
    // Each outlives the editor.
    PictureListEditor(platform::PictureListFile& list, const platform::FileQuery& files,
                      platform::MessageBoxes& boxes);

    // What the list box shows when the dialog loads: the entries of the file, an unreadable
    // file reported and shown empty. The count stays blank when the file is missing or holds
    // no entry.
    PictureListView load();

    // Add Files: every file of the selection string `selection` (see SelectionString.h) that
    // exists, that the list can hold and, when it is empty, that the user still wants after a
    // question, in this order of checks, each failed check reported. An empty selection (the
    // dialog was cancelled) changes nothing.
    std::optional<PictureListView> addSelection(const std::string& selection,
                                                const PictureListView& shown);

    // Add Folder and a drop: each folder as a folder entry (its path with a closing
    // separator, "/" or, for a path written the Windows way, "\\"),
    // each other name as Add Files takes a file.
    std::optional<PictureListView> addPaths(const std::vector<std::string>& paths,
                                            const PictureListView& shown);

    // Delete File: removes the selected entry where it stands in the file now (another dialog
    // may have moved it), and selects the row that took its place. With no row selected it
    // says why, and writes the list as it stands, as every edit does.
    std::optional<PictureListView> deleteSelected(const PictureListView& shown);

    // Clear All: empties the list, asking nothing.
    std::optional<PictureListView> clearAll(const PictureListView& shown);

    // True when `path` names an existing file, otherwise says so.
    bool existsOrReport(const std::string& path);
    // True when the file `path` is not empty, or when the user wants it although it is.
    bool confirmedSize(const std::string& path);

private:
    static constexpr int kKeepSelection = -2;

    bool holdableOrReport(const std::string& path);
    // The entries of `paths` that pass their checks, in order.
    std::vector<std::string> checkedEntries(const std::vector<std::string>& paths);
    // Applies `edit` and gives what the list box shows then, with row `index` selected
    // (kKeepSelection: the row selected now).
    std::optional<PictureListView> apply(const platform::PictureListFile::Edit& edit,
                                         const PictureListView& shown, int index);

    platform::PictureListFile& list_;
    const platform::FileQuery& files_;
    platform::MessageBoxes& boxes_;
};

}  // namespace lumi::setup
