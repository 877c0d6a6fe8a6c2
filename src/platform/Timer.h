// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumi::platform {

// A timer of a form, ticking once per interval from the event loop of the user-interface
// thread while it is on. The form owns it and routes its ticks to the handler that it names;
// the units of the core only switch it on and off.
class Timer {
public:
    virtual ~Timer() = default;

    // Switches the timer on; its first tick comes one interval later. A timer that is on
    // starts its interval again.
    virtual void start() = 0;

    // Switches the timer off; no tick comes until start().
    virtual void stop() = 0;

    virtual bool isActive() const = 0;
};

}  // namespace lumi::platform
