// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumi::platform {

// The fixed install folder of the Windows edition, with its closing separator. It holds the
// picture list "List.txt", the tunes "1.mid" to "10.mid", the fallback picture "default.jpg"
// and the default background "bg.jpg". Nothing configures it; the display and the Setup
// dialog read it from here.
inline constexpr wchar_t kInstallDir[] = L"C:\\Corvanta\\Lumiscribe\\";

}  // namespace lumi::platform
