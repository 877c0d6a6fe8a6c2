// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/SetupPlatform.h"

#include <commdlg.h>
#include <shellapi.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "settings/PictureListFormat.h"
#include "settings/SettingKeys.h"
#include "setup/PictureListEditor.h"
#include "windows/display/FileStatus.h"
#include "windows/platform/Utf16.h"
#include "windows/settings/PictureListFile.h"
#include "windows/setup/SetupLibraries.h"

namespace lumi::setup {
namespace {

// The largest selection, in UTF-16 units: room for thousands of names.
constexpr DWORD kSelectionBufferSize = 1 << 18;

// The filters of "description|patterns|..." as the open-file dialog takes them, each part
// ended by NUL and the whole by a second NUL, and their descriptions in order.
struct DialogFilters {
    std::wstring text;
    std::vector<std::string> descriptions;
};

DialogFilters dialogFilters(std::string_view filter) {
    DialogFilters filters;
    std::size_t start = 0;
    for (int part = 0; start <= filter.size(); ++part) {
        const std::size_t end = std::min(filter.find('|', start), filter.size());
        const std::string_view piece = filter.substr(start, end - start);
        if (part % 2 == 0) {
            filters.descriptions.emplace_back(piece);
        }
        filters.text += platform::toUtf16(piece);
        filters.text += L'\0';
        start = end + 1;
    }
    filters.text += L'\0';
    return filters;
}

template <typename Interface>
struct ComReleaser {
    void operator()(Interface* pointer) const { pointer->Release(); }
};
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComReleaser<Interface>>;

}  // namespace

int WindowsMessageBoxes::show(const std::string& title, const std::string& text, UINT type) {
    return ::MessageBoxW(owner_, messageBoxText(text).c_str(), platform::toUtf16(title).c_str(),
                         type);
}

bool WindowsMessageBoxes::question(const std::string& title, const std::string& text) {
    return show(title, text, MB_YESNO) == IDYES;
}

void WindowsMessageBoxes::information(const std::string& title, const std::string& text) {
    show(title, text, MB_OK);
}

void WindowsMessageBoxes::error(const std::string& title, const std::string& text) {
    show(title, text, MB_OK | MB_ICONERROR);
}

std::wstring messageBoxText(std::string_view text) {
    const std::wstring wide = platform::toUtf16(text);
    std::wstring shown;
    shown.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' || wide[i] == L'\n') {
            shown += L"\r\n";
            if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') {
                ++i;
            }
            continue;
        }
        shown += wide[i];
    }
    return shown;
}

bool WindowsFileQuery::isFile(const std::string& path) const {
    return display::fileStatus(path).kind == display::FileStatus::Kind::Regular;
}

bool WindowsFileQuery::isFolder(const std::string& path) const {
    return display::fileStatus(path).kind == display::FileStatus::Kind::Folder;
}

std::uint64_t WindowsFileQuery::size(const std::string& path) const {
    const display::FileStatus status = display::fileStatus(path);
    return status.kind == display::FileStatus::Kind::Regular ? status.size : 0;
}

bool WindowsPictureListFile::exists() const {
    return display::fileStatus(path_).kind != display::FileStatus::Kind::Missing;
}

platform::PictureListFile::Result WindowsPictureListFile::read() const {
    settings::PictureListReadResult read = settings::readPictureList(path_);
    return Result{std::move(read.entries), std::move(read.error)};
}

platform::PictureListFile::Result WindowsPictureListFile::edit(const Edit& edit) {
    settings::PictureListEditResult result = settings::editPictureList(path_, edit);
    return Result{std::move(result.entries), std::move(result.error)};
}

bool WindowsPictureListFile::canHold(const std::string& entry) const {
    return settings::fitsPictureList(entry);
}

std::string selectionString(std::wstring_view buffer) {
    std::string selection;
    std::size_t start = 0;
    for (int part = 0; start < buffer.size() && buffer[start] != L'\0'; ++part) {
        const std::size_t end = std::min(buffer.find(L'\0', start), buffer.size());
        if (part > 0) {
            selection += '\0';
        }
        selection += platform::toUtf8(buffer.substr(start, end - start));
        start = end + 1;
    }
    return selection;
}

std::string openPictureFiles(HWND owner, bool multiple, platform::SettingsStore& store) {
    const DialogFilters filters = dialogFilters(pictureFilter(
        {settings::windowsPictureExtensions().begin(), settings::windowsPictureExtensions().end()}));
    const std::string remembered = store.read(settings::kPictureFilterKey, "");
    const auto rememberedAt = std::ranges::find(filters.descriptions, remembered);

    std::vector<wchar_t> buffer(kSelectionBufferSize, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.text.c_str();
    dialog.nFilterIndex = rememberedAt == filters.descriptions.end()
                              ? 1
                              : static_cast<DWORD>(rememberedAt - filters.descriptions.begin()) + 1;
    // The user's Pictures folder the first time; Windows then opens the folder last chosen.
    PWSTR pictures = nullptr;
    const std::wstring initialFolder =
        SUCCEEDED(library::SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &pictures)) ? pictures
                                                                                    : L"";
    ::CoTaskMemFree(pictures);
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kSelectionBufferSize;
    dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY |
                   (multiple ? OFN_ALLOWMULTISELECT : 0);
    const bool answered = library::GetOpenFileNameW(&dialog) != FALSE;

    const std::size_t chosen = dialog.nFilterIndex;
    if (chosen >= 1 && chosen <= filters.descriptions.size() &&
        filters.descriptions[chosen - 1] != remembered) {
        store.write(settings::kPictureFilterKey, filters.descriptions[chosen - 1]);
    }
    if (!answered) {
        return {};
    }
    // The buffer ends with two NULs; the names end at the first pair.
    const std::wstring_view names(buffer.data(), buffer.size());
    const std::size_t end = names.find(std::wstring_view(L"\0\0", 2));
    return selectionString(names.substr(0, end == std::wstring_view::npos ? names.size() : end + 1));
}

std::string chooseFolder(HWND owner) {
    IFileOpenDialog* created = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&created)))) {
        return {};
    }
    const ComPointer<IFileOpenDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    if (FAILED(dialog->Show(owner))) {
        return {};  // cancelled
    }
    IShellItem* item = nullptr;
    if (FAILED(dialog->GetResult(&item))) {
        return {};
    }
    const ComPointer<IShellItem> folder(item);
    PWSTR path = nullptr;
    if (FAILED(folder->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return {};
    }
    std::string chosen = platform::toUtf8(path);
    ::CoTaskMemFree(path);
    return chosen;
}

bool openInShell(HWND owner, std::string_view target) {
    const auto result = reinterpret_cast<INT_PTR>(library::ShellExecuteW(
        owner, L"open", platform::toUtf16(target).c_str(), L"", L"", SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace lumi::setup
