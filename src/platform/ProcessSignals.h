// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

class QObject;
class QString;

namespace lumi::platform {

// Runs `handler` on the user-interface thread, from the event loop, when the process is asked
// to terminate (SIGTERM, SIGINT and SIGHUP on Linux). The request is watched for as long as
// `context` lives.
void onTerminationRequest(QObject* context, std::function<void()> handler);

// A lock that at most one process of this user holds at a time; it is released when the
// object is destroyed or the process ends in any way.
class ExclusiveLock {
public:
    virtual ~ExclusiveLock() = default;
};

// Takes the lock named `name` if no other process holds it; nothing otherwise. When the lock
// could not be tried at all (its file cannot be made), `problem`, if given, receives the
// reason; it stays empty when another process holds the lock.
std::unique_ptr<ExclusiveLock> tryTakeExclusiveLock(const char* name, QString* problem = nullptr);

}  // namespace lumi::platform
