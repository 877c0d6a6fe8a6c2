// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/platform/SystemMessage.h"

#include <windows.h>

#include <array>
#include <string_view>

#include "windows/platform/Utf16.h"

namespace lumi::platform {

std::string systemMessage(std::uint32_t code) {
    // Every description the system holds fits in a few hundred characters.
    std::array<wchar_t, 1024> buffer{};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::wstring_view text(buffer.data(), length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return "Windows error " + std::to_string(code);
    }
    return toUtf8(text);
}

}  // namespace lumi::platform
