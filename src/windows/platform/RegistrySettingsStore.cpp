// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/platform/RegistrySettingsStore.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "windows/platform/SystemMessage.h"
#include "windows/platform/Utf16.h"

namespace lumi::platform {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// The type and every byte of value `name` of `key`; nothing when there is no such value or it
// cannot be read.
std::optional<RawValue> queryValue(HKEY key, const std::wstring& name) {
    RawValue value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, &size);
    while (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        DWORD received = size;
        status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(),
                                  &received);
        if (status == ERROR_SUCCESS) {
            value.bytes.resize(received);
            return value;
        }
        if (status == ERROR_MORE_DATA) {
            // Another process made the value longer since the size was asked: read it again.
            size = received;
            status = ERROR_SUCCESS;
        }
    }
    return std::nullopt;
}

template <typename Number>
std::optional<std::string> decimalText(const std::vector<BYTE>& bytes) {
    if (bytes.size() < sizeof(Number)) {
        return std::nullopt;
    }
    Number number = 0;
    std::memcpy(&number, bytes.data(), sizeof number);
    return std::to_string(number);
}

// The setting that `value` holds, by the rules in the header.
std::optional<std::string> settingText(const RawValue& value) {
    switch (value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: {
            std::wstring text(value.bytes.size() / sizeof(wchar_t), L'\0');
            std::memcpy(text.data(), value.bytes.data(), text.size() * sizeof(wchar_t));
            text.resize(std::wcslen(text.c_str()));
            return toUtf8(text);
        }
        case REG_DWORD:
            return decimalText<std::uint32_t>(value.bytes);
        case REG_QWORD:
            return decimalText<std::uint64_t>(value.bytes);
        default:
            return std::nullopt;
    }
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : keyPath_(std::move(keyPath)) {}

std::optional<std::string> RegistrySettingsStore::storedValue(std::string_view key) const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const KeyHandle settingsKey(opened);
    const std::optional<RawValue> value = queryValue(settingsKey.get(), toUtf16(key));
    if (!value) {
        return std::nullopt;
    }
    return settingText(*value);
}

std::string RegistrySettingsStore::read(std::string_view key, std::string_view defaultValue) const {
    return storedValue(key).value_or(std::string(defaultValue));
}

bool RegistrySettingsStore::contains(std::string_view key) const {
    return storedValue(key).has_value();
}

std::optional<std::string> RegistrySettingsStore::write(std::string_view key,
                                                        std::string_view value) {
    HKEY created = nullptr;
    const LSTATUS createStatus =
        RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &created, nullptr);
    if (createStatus != ERROR_SUCCESS) {
        return systemMessage(createStatus);
    }
    const KeyHandle settingsKey(created);
    const std::wstring text = toUtf16(value);
    // A REG_SZ value holds its terminating NUL, which readers that take the bytes as they are
    // rely on.
    const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS setStatus = RegSetValueExW(settingsKey.get(), toUtf16(key).c_str(), 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(text.c_str()), size);
    if (setStatus != ERROR_SUCCESS) {
        return systemMessage(setStatus);
    }
    return std::nullopt;
}

}  // namespace lumi::platform
