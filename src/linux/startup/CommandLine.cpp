// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/CommandLine.h"

namespace lumi::startup {

QString normaliseCommandLine(const QString& commandLine) {
    qsizetype first = 0;
    qsizetype last = commandLine.size();
    while (first < last && commandLine.at(first) == u' ') {
        ++first;
    }
    while (last > first && commandLine.at(last - 1) == u' ') {
        --last;
    }
    return commandLine.mid(first, last - first).toLower();
}

QString switchOf(const QString& normalisedCommandLine) {
    return normalisedCommandLine.left(2);
}

RunMode modeFor(const QString& switchText) {
    if (switchText.isEmpty() || switchText == u"/s") {
        return RunMode::FullScreen;
    }
    if (switchText == u"/p") {
        return RunMode::Preview;
    }
    if (switchText == u"/c") {
        return RunMode::Settings;
    }
    if (switchText == u"/a") {
        return RunMode::ChangePassword;
    }
    return RunMode::None;
}

}  // namespace lumi::startup
