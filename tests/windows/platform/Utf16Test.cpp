// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "windows/platform/Utf16.h"

namespace lumi::platform {
namespace {

TEST(Utf16Test, TextCrossesBothWaysAndStrayBytesBecomeReplacementCharacters) {
    const std::string text = "Zo\xc3\xab \xe2\x82\xac \xf0\x9f\x8c\x84";  // Zoë € 🌄
    EXPECT_EQ(toUtf16(text), L"Zo\u00eb \u20ac \U0001f304");
    EXPECT_EQ(toUtf8(toUtf16(text)), text);
    EXPECT_EQ(toUtf16("a\xff" "b"), L"a\ufffd" L"b");
    EXPECT_EQ(toUtf16(""), L"");
    EXPECT_EQ(toUtf8(L""), "");
}

}  // namespace
}  // namespace lumi::platform
