// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/SetupDialog.h"

namespace lumi::setup {

int runSetup(HINSTANCE /*instance*/) {
    return 0;
}

}  // namespace lumi::setup
