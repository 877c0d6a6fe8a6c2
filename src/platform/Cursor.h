// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumi::platform {

// The mouse cursor with a display count, as on the desktop this program was designed for:
// the cursor shows while the count is 0 or more. Each call adds 1 (show) or subtracts 1
// (hide) and returns the new count. The display hides it once at load and shows it once
// when it closes.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int showCursor(bool show) = 0;
};

}  // namespace lumi::platform
