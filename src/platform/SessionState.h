// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace lumi::platform {

// What the desktop says about the session at a given moment: whether something holds a
// screen saver back. Asked by the idle starter each time the user has become idle.
class SessionState {
public:
    enum class Hold {
        None,       // nothing holds a screen saver back (also when nobody answers)
        Locked,     // the session is locked
        Inhibited,  // an application inhibits idle (a playing video)
    };

    virtual ~SessionState() = default;

    // Asks the desktop and calls `answer` once, from the event loop, with the first hold
    // found. A service that does not exist or does not answer in time counts as no hold.
    virtual void query(std::function<void(Hold)> answer) = 0;
};

std::unique_ptr<SessionState> createSessionState();

}  // namespace lumi::platform
