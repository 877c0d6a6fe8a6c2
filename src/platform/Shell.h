#pragma once

#include <QString>

namespace lumi::platform {

// The desktop's shell, as far as the Setup dialog needs it: opening a web address in the
// user's browser.
class Shell {
public:
    virtual ~Shell() = default;

    // Asks the desktop to open `url` in the user's browser and returns at once. Whether a
    // browser came up is not reported: without a browser or a connection nothing happens,
    // and the callers' tool tips tell the user that a connection is needed.
    virtual void openUrl(const QString& url) = 0;
};

}  // namespace lumi::platform
