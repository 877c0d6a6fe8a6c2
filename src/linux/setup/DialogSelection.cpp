// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/DialogSelection.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lumi::setup {
namespace {

constexpr QChar kNul(u'\0');

}  // namespace

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
