// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/platform/Shell.h"

namespace lumi::platform {

// The shell of any desktop that Qt supports: QDesktopServices hands the address to the
// desktop's default browser (xdg-open on Linux).
class QtShell final : public Shell {
public:
    bool openUrl(const QString& url) override;
};

}  // namespace lumi::platform
