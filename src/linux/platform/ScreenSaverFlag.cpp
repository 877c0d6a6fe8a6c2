// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/ScreenSaverFlag.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdio>

#include "linux/platform/RuntimeFolder.h"

namespace lumi::platform {

bool swapScreenSaverFlag(bool running) {
    const QString path = runtimeFolder() + QStringLiteral("/screensaver-running");
    QFile previousFile(path);
    const bool previous =
        previousFile.open(QIODevice::ReadOnly) && previousFile.readAll().trimmed() == "1";
    // Written beside the flag and renamed over it, so that a reader sees "1" or "0" and never
    // a half-written file. No fsync: the flag lives in the runtime folder, which does not
    // outlive the session, and the display calls this on its way out, where waiting for the
    // disk would delay the end of the screen saver.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (file.open() && file.write(running ? "1\n" : "0\n") == 2 && file.flush()) {
        file.close();
        if (std::rename(QFile::encodeName(file.fileName()).constData(),
                        QFile::encodeName(path).constData()) != 0) {
            file.remove();
        }
    } else {
        file.remove();
    }
    return previous;
}

}  // namespace lumi::platform
