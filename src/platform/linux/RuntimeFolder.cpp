// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RuntimeFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace lumi::platform {

QString runtimeFolder() {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/lumiscribe";
    QDir().mkpath(folder);
    return folder;
}

}  // namespace lumi::platform
