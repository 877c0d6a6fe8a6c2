// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::platform {

// The desktop's shell, as far as the Setup dialog needs it: opening a web address in the
// user's browser.
class Shell {
public:
    virtual ~Shell() = default;

    // Asks the desktop to open `url` (a web address, or a file: URL of a local page) in the
    // user's browser and returns at once. False when the desktop has no program to hand it
    // to or refused it; true says only that the request was handed on.
    virtual bool openUrl(const QString& url) = 0;
};

}  // namespace lumi::platform
