// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/FileStatus.h"

#include <windows.h>

#include <memory>

#include "windows/platform/Utf16.h"

namespace lumi::display {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace

FileStatus fileStatus(const std::string& path) {
    // Backup semantics open folders as well as files.
    const UniqueHandle handle(CreateFileW(
        platform::toUtf16(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        return {FileStatus::Kind::Unknown, 0, 0, error};
    }
    switch (GetFileType(handle.get())) {
        case FILE_TYPE_DISK:
            break;
        case FILE_TYPE_PIPE:
            return {FileStatus::Kind::Pipe};
        case FILE_TYPE_CHAR:
            return {FileStatus::Kind::Device};
        default:
            return {FileStatus::Kind::Other};
    }
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(handle.get(), &information)) {
        return {FileStatus::Kind::Unknown, 0, 0, GetLastError()};
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return {FileStatus::Kind::Folder};
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
        return {FileStatus::Kind::Device};
    }
    return {FileStatus::Kind::Regular,
            (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow,
            (std::uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32) |
                information.ftLastWriteTime.dwLowDateTime};
}

}  // namespace lumi::display
