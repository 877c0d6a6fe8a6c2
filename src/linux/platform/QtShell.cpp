// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace lumi::platform {

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

}  // namespace lumi::platform
