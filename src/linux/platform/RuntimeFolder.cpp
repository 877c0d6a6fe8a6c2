// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>

#include <cstdio>

#include "linux/platform/FileSystem.h"
#include "linux/platform/RegularFile.h"

namespace lumi::platform {
namespace {

// Why `folder` cannot hold this user's run-time state, or an empty text when it can: it must
// be a folder (not a link to one) of this user that nobody else may write to.
QString problemWith(const QString& folder) {
    struct stat status = {};
    if (::lstat(encodeFileName(folder).constData(), &status) != 0) {
        return QStringLiteral("%1 cannot be created").arg(folder);
    }
    if (!S_ISDIR(status.st_mode)) {
        return QStringLiteral("%1 is not a folder").arg(folder);
    }
    if (status.st_uid != ::getuid()) {
        return QStringLiteral("%1 belongs to another user").arg(folder);
    }
    if (status.st_mode & (S_IWGRP | S_IWOTH)) {
        return QStringLiteral("%1 may be written by other users").arg(folder);
    }
    return {};
}

// Creates `folder` for this user alone when it is missing; the reason when it cannot serve.
QString prepare(const QString& folder) {
    ::mkdir(encodeFileName(folder).constData(), 0700);
    return problemWith(folder);
}

QString chooseRuntimeFolder() {
    const QByteArray session = qgetenv("XDG_RUNTIME_DIR");
    QString problem;
    if (session.startsWith('/')) {
        const QString base = decodeFileName(session);
        problem = problemWith(base);
        if (problem.isEmpty()) {
            const QString folder = base + QStringLiteral("/lumiscribe");
            problem = prepare(folder);
            if (problem.isEmpty()) {
                return folder;
            }
        }
    } else {
        problem = QStringLiteral("XDG_RUNTIME_DIR is not set");
    }
    // Every process of this user falls back along the same path, so that they still find
    // each other's locks: a folder in the temporary folder ($TMPDIR, else /tmp) of this
    // user's own, else one in the home folder.
    const QString inTemporary = QDir::tempPath() + QStringLiteral("/lumiscribe-%1").arg(::getuid());
    const QString inHome = homeFolder() + QStringLiteral("/.cache/lumiscribe-runtime");
    QString fallback = inTemporary;
    QString fallbackProblem = prepare(inTemporary);
    if (!fallbackProblem.isEmpty()) {
        QDir().mkpath(homeFolder() + QStringLiteral("/.cache"));
        fallback = inHome;
        problem += QStringLiteral(" and ") + fallbackProblem;
        fallbackProblem = prepare(inHome);
        if (!fallbackProblem.isEmpty()) {
            std::fprintf(stderr, "lumiscribe: no run-time folder: %s and %s\n", qPrintable(problem),
                         qPrintable(fallbackProblem));
            return fallback;
        }
    }
    std::fprintf(stderr, "lumiscribe: %s; using %s for the run-time state\n", qPrintable(problem),
                 qPrintable(fallback));
    return fallback;
}

}  // namespace

QString runtimeFolder() {
    // Chosen once per process: the environment does not change under it, every caller must
    // see the same folder, and the reason for a fallback is said once, not at every lock.
    static const QString folder = chooseRuntimeFolder();
    return folder;
}

}  // namespace lumi::platform
