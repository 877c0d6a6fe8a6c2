// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/SetupDialog.h"

#include <commctrl.h>

#include "windows/platform/WinHandles.h"
#include "windows/setup/Setup.h"
#include "windows/setup/SetupLibraries.h"

namespace lumi::setup {

int runSetup(HINSTANCE instance) {
    // The file and folder choosers and the shell need COM on this thread.
    const platform::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    library::InitCommonControlsEx(&controls);
    Setup setup(instance);
    return setup.run() ? 0 : 1;
}

}  // namespace lumi::setup
