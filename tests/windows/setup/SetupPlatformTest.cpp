// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "windows/setup/SetupControls.h"
#include "windows/setup/SetupPlatform.h"

namespace lumi::setup {
namespace {

using namespace std::string_literals;

TEST(SetupPlatformTest, TheOpenDialogsNamesBecomeTheSelectionString) {
    const struct {
        std::wstring buffer;
        std::string selection;
    } cases[] = {
        {L""s, ""},
        {L"C:\\Pics\\a.jpg\0"s, "C:\\Pics\\a.jpg"},
        {L"D:\\Pics\0a.jpg\0b c.gif\0\u00e9t\u00e9.png\0"s,
         "D:\\Pics\0a.jpg\0b c.gif\0\xc3\xa9t\xc3\xa9.png"s},
        {L"C:\\\0x.bmp\0"s, "C:\\\0x.bmp"s},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(selectionString(each.buffer), each.selection);
    }
}

TEST(SetupPlatformTest, MessageTextsBreakLinesTheWayMessageBoxesDo) {
    EXPECT_EQ(messageBoxText("a\rb\nc\r\nd\n\re"), L"a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(messageBoxText("caf\xc3\xa9"), L"caf\u00e9");
}

TEST(SetupPlatformTest, TheMnemonicIsTheLetterAfterASingleAmpersand) {
    EXPECT_EQ(mnemonicOf(L"&Close"), L'C');
    EXPECT_EQ(mnemonicOf(L"Our &website"), L'W');
    EXPECT_EQ(mnemonicOf(L"Salt && &pepper"), L'P');
    EXPECT_EQ(mnemonicOf(L"Fish && chips"), 0);
    EXPECT_EQ(mnemonicOf(L"Trailing&"), 0);
}

}  // namespace
}  // namespace lumi::setup
