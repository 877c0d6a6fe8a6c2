// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/SelectionString.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lumi::setup {
namespace {

constexpr QChar kNul(u'\0');

QChar separatorOf(const QString& folder) {
    const bool windowsStyle = folder.contains(u'\\') && !folder.contains(u'/');
    return windowsStyle ? QChar(u'\\') : QChar(u'/');
}

}  // namespace

int CountFiles(const QString& selection) {
    const auto count = static_cast<int>(selection.count(kNul));
    return count == 0 ? 1 : count;
}

QString GetFilePath(const QString& selection, int n) {
    const qsizetype firstNul = selection.indexOf(kNul);
    if (firstNul < 0) {
        return selection;
    }
    QString folder = selection.left(firstNul);
    const QChar separator = separatorOf(folder);
    // An empty folder: each name is a full path of its own.
    if (!folder.isEmpty() && !folder.endsWith(separator)) {
        folder += separator;
    }
    // A closing NUL ends the last name like every other one.
    const QString names = selection + kNul;
    qsizetype nul = firstNul;
    for (int count = 1; count < n && nul >= 0; ++count) {
        nul = names.indexOf(kNul, nul + 1);
    }
    if (n < 1 || nul < 0 || nul + 1 >= names.size()) {
        return folder;
    }
    const qsizetype end = names.indexOf(kNul, nul + 1);
    return folder + names.mid(nul + 1, end - nul - 1);
}

QString selectionString(const QStringList& paths) {
    if (paths.isEmpty()) {
        return {};
    }
    if (paths.size() == 1) {
        return QDir::toNativeSeparators(paths.first());
    }
    const QString folder = QFileInfo(paths.first()).absolutePath();
    const bool oneFolder = std::all_of(
        paths.cbegin(), paths.cend(),
        [&folder](const QString& path) { return QFileInfo(path).absolutePath() == folder; });
    QString selection = oneFolder ? QDir::toNativeSeparators(folder) : QString();
    for (const QString& path : paths) {
        selection += kNul;
        selection += oneFolder ? QFileInfo(path).fileName() : QDir::toNativeSeparators(path);
    }
    return selection;
}

}  // namespace lumi::setup
