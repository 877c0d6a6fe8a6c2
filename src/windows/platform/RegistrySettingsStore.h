// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace lumi::platform {

// The settings store of the Windows edition: one REG_SZ value per setting under a key of
// HKEY_CURRENT_USER, by default the key where the classic settings calls of a Windows program
// keep application "Lumiscribe", section "Config", so that values stored there before are read.
// Text is UTF-8 here and UTF-16 in the registry; the registry itself compares value names
// without regard to case.
//
// The display and the Setup dialog are separate processes, and either may write while the
// other runs, so every call opens the key afresh and closes it before it returns; nothing is
// remembered between calls. write() creates the key (and its parents) when it is missing.
//
// A value stored with another type by another program is read as follows: REG_EXPAND_SZ as
// its text, its %VARIABLES% left unexpanded (the text is what was stored); REG_MULTI_SZ as its
// first string; REG_DWORD and REG_QWORD as their value in unsigned decimal, as the registry
// editor shows them. Text ends at its first NUL character. A value of any other type
// (REG_BINARY, REG_NONE, ...) holds nothing a setting could be read from and counts as not
// stored. writeAll() is the interface's default: the registry has no way to replace several
// values at once.
class RegistrySettingsStore final : public SettingsStore {
public:
    static constexpr const wchar_t* kDefaultKeyPath =
        L"Software\\VB and VBA Program Settings\\Lumiscribe\\Config";

    // `keyPath` is relative to HKEY_CURRENT_USER; tests give a scratch key of their own.
    explicit RegistrySettingsStore(std::wstring keyPath = kDefaultKeyPath);

    std::string read(std::string_view key, std::string_view defaultValue) const override;
    bool contains(std::string_view key) const override;

    // On failure the reason is the system's description of the error ("Access is denied"),
    // and the value stored before, if any, is left as it was.
    std::optional<std::string> write(std::string_view key, std::string_view value) override;

private:
    // The value stored under `key` as read() gives it; nothing when none is stored or the key
    // cannot be opened.
    std::optional<std::string> storedValue(std::string_view key) const;

    const std::wstring keyPath_;
};

}  // namespace lumi::platform
