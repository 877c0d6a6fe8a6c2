// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumi::platform {

// The system's description of the Win32 error `code` (a GetLastError() or LSTATUS value), in
// UTF-8 and in the user's language, for a message: "Access is denied". The trailing line break
// and full stop that the system puts after every description are left off, so that the text
// fits inside a sentence. A code the system cannot describe gives "Windows error <code>".
std::string systemMessage(std::uint32_t code);

}  // namespace lumi::platform
