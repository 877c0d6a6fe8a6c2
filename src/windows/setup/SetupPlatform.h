// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/FileQuery.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureListFile.h"
#include "platform/SettingsStore.h"

// The Setup dialog's platform on Windows: message boxes, questions about chosen files, the
// picture list file, the open-file and folder dialogs and the shell. Texts and names are UTF-8
// here and UTF-16 towards the system.
namespace lumi::setup {

// Message boxes owned by `owner`, which may change (a page asks with its own window).
class WindowsMessageBoxes final : public platform::MessageBoxes {
public:
    explicit WindowsMessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    bool question(const std::string& title, const std::string& text) override;
    void information(const std::string& title, const std::string& text) override;
    void error(const std::string& title, const std::string& text) override;

private:
    int show(const std::string& title, const std::string& text, UINT type);

    HWND owner_;
};

// `text` as a message box shows it: UTF-16, every line break (CR, LF or CR LF) as CR LF.
std::wstring messageBoxText(std::string_view text);

class WindowsFileQuery final : public platform::FileQuery {
public:
    bool isFile(const std::string& path) const override;
    bool isFolder(const std::string& path) const override;
    std::uint64_t size(const std::string& path) const override;
};

// "List.txt" at `path`, read and edited under its lock (settings/PictureListFile.h).
class WindowsPictureListFile final : public platform::PictureListFile {
public:
    explicit WindowsPictureListFile(std::string path) : path_(std::move(path)) {}

    bool exists() const override;
    Result read() const override;
    Result edit(const Edit& edit) override;
    bool canHold(const std::string& entry) const override;

private:
    std::string path_;
};

// The selection string (setup/SelectionString.h) of what the open-file dialog returned in
// `buffer`: one full path, or the folder and the names, each ended by NUL and the whole by a
// second NUL. An empty buffer is the empty selection.
std::string selectionString(std::wstring_view buffer);

// Windows' own open-file dialog, owned by `owner`, for one picture or (`multiple`) several,
// with the pictures' filters; the filter last chosen is kept by its description in `store`
// and chosen again the next time. Gives the selection string; empty when cancelled.
std::string openPictureFiles(HWND owner, bool multiple, platform::SettingsStore& store);

// Windows' own folder chooser, owned by `owner`: the chosen folder's path, empty when
// cancelled. Needs COM on the calling thread.
std::string chooseFolder(HWND owner);

// Opens `target` (an address or a file) through the shell's "open", owned by `owner`; true
// when the shell started something for it.
bool openInShell(HWND owner, std::string_view target);

}  // namespace lumi::setup
