// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lumi::platform {

// The core's text is UTF-8; Win32's wide calls take UTF-16. A byte sequence that is not UTF-8
// turns each stray byte into U+FFFD, and a lone surrogate the other way likewise, so that no
// conversion fails.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace lumi::platform
