#pragma once

#include <memory>

#include "platform/PasswordService.h"
#include "platform/WindowServices.h"

namespace lumi::platform {

// Prepares the process for the platform before the application object exists: positions
// and sizes are device pixels (one picture pixel is one screen pixel, also on a scaled
// screen), and the window system is the one the window services speak to.
void prepareApplication();

// The platform's own implementations of the services that differ between systems.
std::unique_ptr<WindowServices> createWindowServices();
std::unique_ptr<PasswordService> createPasswordService();

// Ends the process at once with exit code 0: no destructor runs and nothing is saved.
// Output already written to the standard streams is flushed first.
[[noreturn]] void endProcessNow();

}  // namespace lumi::platform
