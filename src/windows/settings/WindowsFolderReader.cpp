// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/settings/WindowsFolderReader.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "windows/platform/Utf16.h"

namespace lumi::settings {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// The information of what `path` leads to, links followed; nothing when it cannot be opened.
std::optional<BY_HANDLE_FILE_INFORMATION> targetInformation(const std::wstring& path) {
    // FILE_FLAG_BACKUP_SEMANTICS opens folders as well as files; without
    // FILE_FLAG_OPEN_REPARSE_POINT the open goes through links to their target.
    HANDLE raw = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const FileHandle file(raw);
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(file.get(), &information)) {
        return std::nullopt;
    }
    return information;
}

bool isLink(const WIN32_FIND_DATAW& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
            data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

}  // namespace

std::optional<platform::FolderIdentity> WindowsFolderReader::identify(
    const std::string& path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    const std::optional<BY_HANDLE_FILE_INFORMATION> information =
        targetInformation(platform::toUtf16(path));
    if (!information || (information->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    return platform::FolderIdentity{
        information->dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information->nFileIndexHigh) << 32) |
            information->nFileIndexLow};
}

bool WindowsFolderReader::list(
    const std::string& path,
    const std::function<void(const platform::FolderEntry& entry)>& onEntry) const {
    const std::wstring pattern = platform::toUtf16(join(path, "*"));
    WIN32_FIND_DATAW data = {};
    HANDLE raw = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (raw == INVALID_HANDLE_VALUE) {
        // Only the root of an empty drive has no entry at all, not even "." and "..".
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    const FindHandle search(raw);
    do {
        const std::wstring_view wideName(data.cFileName);
        if (wideName == L"." || wideName == L"..") {
            continue;
        }
        const std::string name = platform::toUtf8(wideName);
        DWORD attributes = data.dwFileAttributes;
        if (isLink(data)) {
            const std::optional<BY_HANDLE_FILE_INFORMATION> target =
                targetInformation(platform::toUtf16(join(path, name)));
            if (!target) {
                continue;  // a link that leads nowhere
            }
            attributes = target->dwFileAttributes |
                         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        }
        if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
            continue;
        }
        onEntry({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                 (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
    } while (FindNextFileW(search.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

std::string WindowsFolderReader::join(const std::string& folder, std::string_view name) const {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    path += name;
    return path;
}

}  // namespace lumi::settings
