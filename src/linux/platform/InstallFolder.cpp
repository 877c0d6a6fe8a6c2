// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/InstallFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumi::platform {

QString installDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Corvanta/Lumiscribe/");
}

QString shippedFilesDir() {
    // applicationDirPath() resolves symbolic links, so a link to the executable in
    // XScreenSaver's folder of savers still finds the installation it belongs to.
    const QDir executableDir(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(executableDir.filePath(QStringLiteral(LUMI_SHIPPED_FILES_FROM_BINDIR))) +
           QLatin1Char('/');
}

QString helpPagePath() {
    const QDir executableDir(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(executableDir.filePath(QStringLiteral(LUMI_HELP_PAGE_FROM_BINDIR)));
}

QString xscreensaverUserFile() {
    return QDir::homePath() + QStringLiteral("/.xscreensaver");
}

QString hostedDisplayCommand() {
    static constexpr auto kName = "lumiscribe-xscreensaver";
    const QString ours =
        QFileInfo(QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kName)))
            .absoluteFilePath();
    const QString found = QStandardPaths::findExecutable(QLatin1String(kName));
    if (!found.isEmpty() &&
        QFileInfo(found).canonicalFilePath() == QFileInfo(ours).canonicalFilePath()) {
        return QLatin1String(kName);
    }
    return ours;
}

}  // namespace lumi::platform
