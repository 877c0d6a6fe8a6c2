// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/FileExists.h"

#include <QFileInfo>

namespace lumi::settings {

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

}  // namespace lumi::settings
