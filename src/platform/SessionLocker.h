// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace lumi::platform {

// The lock of the session that the end of the full-screen display asks the desktop for, on
// a platform whose desktop has one the screen saver must ask for.
class SessionLocker {
public:
    virtual ~SessionLocker() = default;

    // Gets ready so that a later lock() goes out at once. Called once, well before.
    virtual void prepare() = 0;

    // Asks for the lock and calls `done` once, from the event loop, when the session is
    // locked or the lock's bounded wait is over; `problem` is empty when it locked, else a
    // line for the log that says why not. A second call while one runs is ignored.
    virtual void lock(std::function<void(const std::string& problem)> done) = 0;

    // True from lock() on.
    virtual bool requested() const = 0;
};

}  // namespace lumi::platform
