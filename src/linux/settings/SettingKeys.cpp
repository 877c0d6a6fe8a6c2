// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/SettingKeys.h"

#include "linux/settings/IntegerConversion.h"

namespace lumi::settings {

const SettingKey* findSettingKey(const QString& name) {
    for (const SettingKey& key : kSettingKeys) {
        if (name.compare(QLatin1String(key.name), Qt::CaseInsensitive) == 0) {
            return &key;
        }
    }
    return nullptr;
}

QString resolveValue(const char* value, const QString& installDir) {
    const QString text = QString::fromUtf8(value);
    const QLatin1String mark(kInstallFolderMark);
    if (!text.startsWith(mark)) {
        return text;
    }
    return installDir + text.mid(mark.size());
}

void SetRegistry(platform::SettingsStore& store, const QString& installDir) {
    const SettingKey& firstRunFlag = kSettingKeys.back();
    for (const SettingKey& key : kSettingKeys) {
        const QLatin1String name(key.name);
        // The flag is written whatever it holds: a value other than 2 would bring the first
        // run back at every start.
        if (&key != &firstRunFlag && store.contains(name)) {
            continue;
        }
        store.write(name, resolveValue(key.firstRunValue, installDir));
    }
}

std::optional<QString> writeRestoreValues(platform::SettingsStore& store,
                                          const QString& installDir) {
    std::optional<QString> firstRefusal;
    for (const SettingKey& key : kSettingKeys) {
        if (key.restoreValue == nullptr) {
            continue;
        }
        std::optional<QString> refusal =
            store.write(QLatin1String(key.name), resolveValue(key.restoreValue, installDir));
        if (refusal && !firstRefusal) {
            firstRefusal = std::move(refusal);
        }
    }
    return firstRefusal;
}

std::optional<qint16> tryReadInteger(const platform::SettingsStore& store, const QString& key,
                                     const QString& readDefault) {
    return toInteger(store.read(key, readDefault));
}

qint16 readInteger(const platform::SettingsStore& store, const QString& key,
                   const QString& readDefault, qint16 unconverted) {
    return tryReadInteger(store, key, readDefault).value_or(unconverted);
}

qint16 valueBeforeRead(const QString& key) {
    if (key.compare(QLatin1String("Delay"), Qt::CaseInsensitive) == 0) {
        return kDelayBeforeRead;
    }
    if (key.compare(QLatin1String("IdleWait"), Qt::CaseInsensitive) == 0) {
        return kIdleWaitBeforeReadMinutes;
    }
    return 0;
}

std::optional<int> backgroundChoice(const QString& text) {
    const std::optional<double> number = toNumber(text);
    if (!number) {
        return std::nullopt;
    }
    for (int choice = 0; choice <= 3; ++choice) {
        if (*number == choice) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace lumi::settings
