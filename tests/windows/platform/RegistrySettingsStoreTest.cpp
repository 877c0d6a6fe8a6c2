// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>

#include "windows/platform/RegistrySettingsStore.h"

namespace lumi::platform {
namespace {

// Each test works in a scratch key of HKEY_CURRENT_USER of its own process (CTest runs tests
// side by side), removed with everything below it.
class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, scratch_.c_str()); }

    const std::wstring scratch_ =
        L"Software\\LumiscribeTests" + std::to_wstring(GetCurrentProcessId());
    const std::wstring configPath_ = scratch_ + L"\\Lumiscribe\\Config";
    RegistrySettingsStore store_{configPath_};
};

TEST_F(RegistrySettingsStoreTest, WrittenValuesReadBackUnderTheirNameInAnyCase) {
    const std::string longValue = std::string(100 * 1024, 'x') + "\xc3\xab";
    const struct {
        const char* written;
        const char* read;
        std::string value;
    } cases[] = {{"Caption", "Caption", "Zo\xc3\xab \xe2\x82\xac \xf0\x9f\x8c\x84"},
                 {"MIDI7", "Midi7", "7.mid"},
                 {"Empty", "EMPTY", ""},
                 {"Long", "long", longValue}};
    EXPECT_EQ(store_.read("Caption", "none"), "none");
    EXPECT_FALSE(store_.contains("Caption"));
    for (const auto& entry : cases) {
        EXPECT_EQ(store_.write(entry.written, entry.value), std::nullopt) << entry.written;
        EXPECT_TRUE(store_.contains(entry.read)) << entry.read;
        EXPECT_EQ(store_.read(entry.read, "none"), entry.value) << entry.read;
    }
    EXPECT_EQ(store_.write("midi7", "8.mid"), std::nullopt);
    EXPECT_EQ(store_.read("MIDI7", "none"), "8.mid");
    EXPECT_EQ(store_.read("Missing", "none"), "none");

    // Stored as REG_SZ with its terminating NUL.
    DWORD type = 0;
    DWORD size = 0;
    RegGetValueW(HKEY_CURRENT_USER, configPath_.c_str(), L"midi7", RRF_RT_ANY, &type, nullptr,
                 &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6 * sizeof(wchar_t));
}

TEST_F(RegistrySettingsStoreTest, ValuesOfOtherTypesReadAsTheirTextOrNotAtAll) {
    const DWORD number = 4000000000u;
    const wchar_t expandable[] = L"%TEMP%\\x";
    const BYTE binary[] = {1, 2};
    const struct {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
        std::optional<std::string> read;
    } cases[] = {{L"Number", REG_DWORD, &number, sizeof number, "4000000000"},
                 {L"Path", REG_EXPAND_SZ, expandable, sizeof expandable, "%TEMP%\\x"},
                 {L"Bytes", REG_BINARY, binary, sizeof binary, std::nullopt}};
    for (const auto& entry : cases) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, configPath_.c_str(), entry.name, entry.type,
                                  entry.data, entry.size),
                  ERROR_SUCCESS);
        const std::string name(entry.name, entry.name + std::wcslen(entry.name));
        EXPECT_EQ(store_.contains(name), entry.read.has_value()) << name;
        EXPECT_EQ(store_.read(name, "none"), entry.read.value_or("none")) << name;
    }
}

TEST_F(RegistrySettingsStoreTest, AKeyThatCannotBeCreatedRefusesTheWriteWithTheSystemsReason) {
    // A volatile key may hold only volatile keys, and the store makes lasting ones.
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, scratch_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);

    const std::optional<std::string> reason = store_.write("Caption", "text");
    ASSERT_TRUE(reason.has_value());
    EXPECT_FALSE(reason->empty());
    EXPECT_EQ(std::string(".\r\n ").find(reason->back()), std::string::npos) << *reason;
    EXPECT_FALSE(store_.contains("Caption"));
}

}  // namespace
}  // namespace lumi::platform
