// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/ShippedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace lumi::platform {

namespace {

bool isPresent(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Copies `source` to `target` unless `target` appears meanwhile; true when `target` is there.
bool copyWithoutOverwriting(const QString& source, const QString& target) {
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        return false;
    }
    QTemporaryFile output(QFileInfo(target).absolutePath() + QStringLiteral("/.seeding-XXXXXX"));
    if (!output.open()) {
        return false;
    }
    const QByteArray contents = input.readAll();
    if (input.error() != QFileDevice::NoError || output.write(contents) != contents.size() ||
        !output.flush()) {
        return false;
    }
    output.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                          QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // QFile::rename never replaces an existing file: a copy that lost a race is dropped.
    if (!output.rename(target)) {
        return isPresent(target);
    }
    output.setAutoRemove(false);
    return true;
}

}  // namespace

QStringList shippedFileNames() {
    QStringList names;
    for (int n = 1; n <= 10; ++n) {
        names << QString::number(n) + QStringLiteral(".mid");
    }
    names << QStringLiteral("default.jpg") << QStringLiteral("bg.jpg");
    return names;
}

SeedReport seedInstallFolder(const QString& shippedDir, const QString& installDir) {
    SeedReport report;
    QStringList missing;
    for (const QString& name : shippedFileNames()) {
        if (!isPresent(installDir + name)) {
            missing << name;
        }
    }
    if (missing.isEmpty()) {
        return report;
    }
    if (!QFileInfo(shippedDir).isDir()) {
        report.problem = QStringLiteral(
                             "the shipped tunes and pictures are not in %1, so %2 "
                             "lacks %3")
                             .arg(shippedDir, installDir, missing.join(QStringLiteral(", ")));
        return report;
    }
    if (!QDir().mkpath(installDir)) {
        report.problem = QStringLiteral("cannot create the install folder %1").arg(installDir);
        return report;
    }
    QStringList failed;
    for (const QString& name : missing) {
        if (copyWithoutOverwriting(shippedDir + name, installDir + name)) {
            report.copied << name;
        } else {
            failed << name;
        }
    }
    if (!failed.isEmpty()) {
        report.problem = QStringLiteral("cannot copy %1 from %2 into %3")
                             .arg(failed.join(QStringLiteral(", ")), shippedDir, installDir);
    }
    return report;
}

}  // namespace lumi::platform
