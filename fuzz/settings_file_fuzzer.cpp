// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the settings file through the store that the program uses. Each input is a file's
// bytes, a key (one of the file's own keys or a new one) and a value. The checks:
//   - any bytes read, and the store reads what the document reads;
//   - a written value reads back; every other key keeps its value and no key is lost;
//   - the written file has no line that cannot be read;
//   - a file with lines that cannot be read is kept first, byte for byte, as the .damaged
//     copy, and a file without them gets no copy;
//   - a key that the file cannot hold leaves the file as it was;
//   - every value text the writer makes reads back as the value.
#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "linux/platform/IniSettingsStore.h"
#include "settings/IniDocument.h"
#include "settings/SettingKeys.h"

namespace {

using lumi::fuzz::check;
using lumi::platform::IniSettingsStore;
using lumi::settings::IniDocument;

// The folder of every run, as long as the fuzzing process lives.
const QTemporaryDir& workFolder() {
    static const QTemporaryDir folder;
    return folder;
}

std::string bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

void replaceFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                  static_cast<qint64>(bytes.size()),
          "the input is stored as a file");
}

std::optional<std::string> sameKeyIn(const IniDocument& document, std::string_view key) {
    for (const auto& [stored, value] : document.values()) {
        if (lumi::settings::sameKey(stored, key)) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(workFolder().isValid(), "the work folder exists");
    FuzzedDataProvider input(data, size);
    const bool existingKey = input.ConsumeBool();
    std::string key = input.ConsumeRandomLengthString(24);
    // Values reach the store as UTF-8 text.
    const std::string value = lumi::settings::validUtf8(input.ConsumeRandomLengthString(64));
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    check(lumi::settings::decodeValue(lumi::settings::encodeValue(value)) == value,
          "the value text of a value reads back as the value");

    const IniDocument before = IniDocument::parse(bytes);
    if (existingKey && !before.values().empty()) {
        key = before.values()[static_cast<size_t>(key.size()) % before.values().size()].first;
    }

    const QString path = workFolder().filePath(QStringLiteral("Lumiscribe.ini"));
    for (const QString& name : QDir(workFolder().path()).entryList(QDir::Files)) {
        QFile::remove(workFolder().filePath(name));
    }
    replaceFile(path, bytes);
    IniSettingsStore store(path);
    for (const auto& [stored, storedValue] : before.values()) {
        check(store.read(stored, "<default>") == storedValue,
              "the store reads what the document reads");
    }

    store.write(key, value);
    const std::string written = bytesOf(path);
    if (!IniDocument::isStorableKey(key)) {
        check(written == bytes, "a key that the file cannot hold leaves the file as it was");
        return 0;
    }
    const IniDocument after = IniDocument::parse(written);
    check(!after.damaged(), "the written file has no line that cannot be read");
    check(after.value(key) == value, "the written value reads back");
    for (const auto& [stored, storedValue] : before.values()) {
        if (!lumi::settings::sameKey(stored, key)) {
            check(sameKeyIn(after, stored) == storedValue, "every other key keeps its value");
        }
    }
    const bool newKey = !sameKeyIn(before, key);
    check(after.values().size() == before.values().size() + (newKey ? 1 : 0),
          "no key is lost and none is made up");
    const std::string copy = bytesOf(path + QStringLiteral(".damaged"));
    if (before.damaged()) {
        check(copy == bytes, "the damaged copy holds the file's bytes as they were");
    } else {
        check(copy == "<missing>", "a file without damage gets no copy");
    }
    return 0;
}
