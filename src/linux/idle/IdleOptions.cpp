// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/idle/IdleOptions.h"

#include <QtGlobal>

#include "settings/SettingKeys.h"

namespace lumi::idle {
namespace {

constexpr int kLongestAfterSeconds = 86400;

std::optional<std::chrono::seconds> parseSeconds(const QString& text) {
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 1 || seconds > kLongestAfterSeconds) {
        return std::nullopt;
    }
    return std::chrono::seconds(seconds);
}

}  // namespace

IdleOptions parseIdleOptions(const QStringList& arguments) {
    IdleOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-help" || argument == u"-h") {
            options.info = startup::InfoRequest::Help;
        } else if (argument == u"--version" || argument == u"-version") {
            if (options.info == startup::InfoRequest::None) {
                options.info = startup::InfoRequest::Version;
            }
        } else if (argument == u"--after" || argument.startsWith(u"--after=")) {
            QString value;
            if (argument == u"--after") {
                value = i + 1 < arguments.size() ? arguments[++i] : QString();
            } else {
                value = argument.mid(8);
            }
            options.after = parseSeconds(value);
            if (!options.after && options.error.isEmpty()) {
                options.error =
                    QStringLiteral(
                        "--after needs a whole number of seconds from 1 to %1, not \"%2\"")
                        .arg(kLongestAfterSeconds)
                        .arg(value);
            }
        } else if (options.error.isEmpty()) {
            options.error = QStringLiteral("unknown argument \"%1\"").arg(argument);
        }
    }
    return options;
}

std::chrono::minutes idleWaitOf(const platform::SettingsStore& store,
                                std::chrono::minutes unconverted) {
    const settings::SettingKey& key = *settings::findSettingKey("IdleWait");
    const std::optional<qint16> minutes = settings::tryReadInteger(
        store, key.name, key.readDefault);
    if (!minutes) {
        return unconverted;
    }
    return std::chrono::minutes(qBound(0, int(*minutes), settings::kIdleWaitMaximumMinutes));
}

}  // namespace lumi::idle
