// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/HostOptions.h"

namespace lumi::startup {

std::optional<platform::NativeWindow> parseWindowId(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    platform::NativeWindow id = 0;
    if (trimmed.startsWith(u"0x", Qt::CaseInsensitive)) {
        id = trimmed.mid(2).toULongLong(&ok, 16);
    } else {
        id = trimmed.toULongLong(&ok, 10);
    }
    if (!ok || id == 0) {
        return std::nullopt;
    }
    return id;
}

HostOptions parseHostOptions(const QStringList& arguments, const QString& environmentWindow) {
    HostOptions options;
    bool root = false;
    std::optional<QString> windowArgument;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"-help" || argument == u"--help") {
            options.info = InfoRequest::Help;
        } else if (argument == u"-version" || argument == u"--version") {
            if (options.info == InfoRequest::None) {
                options.info = InfoRequest::Version;
            }
        } else if (argument == u"-add-to-xscreensaver" || argument == u"--add-to-xscreensaver") {
            options.addToXScreenSaver = true;
        } else if (argument == u"-root" || argument == u"--root") {
            root = true;
        } else if (argument == u"-window-id" || argument == u"--window-id") {
            if (i + 1 < arguments.size()) {
                windowArgument = arguments.at(++i);
            } else {
                options.error = QStringLiteral("%1 needs a window ID").arg(argument);
            }
        } else if (argument.startsWith(u"--window-id=")) {
            windowArgument = argument.mid(QStringLiteral("--window-id=").size());
        } else {
            options.error = QStringLiteral("unknown argument %1").arg(argument);
        }
    }
    if (windowArgument) {
        if (const auto id = parseWindowId(*windowArgument)) {
            options.target = HostOptions::Target::HostWindow;
            options.window = *id;
            options.preview = true;
            return options;
        }
        options.error = QStringLiteral("not a window ID: %1").arg(*windowArgument);
    }
    if (root) {
        if (const auto id = parseWindowId(environmentWindow)) {
            options.target = HostOptions::Target::HostWindow;
            options.window = *id;
        } else {
            options.target = HostOptions::Target::WholeScreen;
        }
    }
    return options;
}

}  // namespace lumi::startup
