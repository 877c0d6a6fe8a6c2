// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace lumi::platform {

// Knows whether other processes of this program run for this user. Every process, in
// whatever mode, registers itself for its whole life by holding an InstanceRegistry.
class InstanceRegistry {
public:
    virtual ~InstanceRegistry() = default;

    // True when another live process of this program runs for this user, in any mode.
    // A process that ended without cleaning up does not count.
    virtual bool anotherInstanceRunning() = 0;
};

// Registers the calling process; the registration ends with the returned object.
std::unique_ptr<InstanceRegistry> registerThisInstance();

// True when a live process of this program runs for this user, in any mode. For a process
// that watches from outside and is no instance itself (the idle starter).
bool instanceRunning();

}  // namespace lumi::platform
