// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "windows/platform/WinHandles.h"

namespace lumi::platform {

// The mark of a running full-screen display: a named mutex in the user's session
// ("Local\" namespace), of which every full-screen process holds a handle for its whole life.
// The kernel removes the name with the last handle, so a process that crashed counts no more.
//
// Only the full-screen processes hold it, because the one question asked of it is whether a
// "/s" start would put a second display over a running one. The Screen Saver Settings dialog
// keeps its "/p" preview running (and a "/c" Setup may be open) while its Preview button starts
// "/s"; counting those processes would refuse that start.
class FullScreenInstance {
public:
    // Takes a handle on the session's mark, creating it when no process holds it. Creating
    // and finding happen in one call, so of two full-screen starts at once one sees the other.
    static FullScreenInstance claim();

    // True when another process held the mark before `claim()` took this handle.
    bool claimedBefore() const { return claimedBefore_; }

private:
    FullScreenInstance(UniqueHandle mutex, bool claimedBefore)
        : mutex_(std::move(mutex)), claimedBefore_(claimedBefore) {}

    UniqueHandle mutex_;
    bool claimedBefore_;
};

}  // namespace lumi::platform
