// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "settings/IniDocument.h"

namespace lumi::settings {
namespace {

// Value texts as earlier versions of the program wrote them and as people write them by
// hand. `written` marks the form in which the program itself writes the value, so that files
// stay readable by earlier versions.
struct ValueCase {
    const char* text;
    std::string value;
    bool written;
};

class ValueTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTextTest, ReadsAsTheValue) {
    EXPECT_EQ(decodeValue(GetParam().text), GetParam().value) << GetParam().text;
    if (GetParam().written) {
        EXPECT_EQ(encodeValue(GetParam().value), GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueTextTest,
    ::testing::Values(
        ValueCase{"5", "5", true}, ValueCase{"  5 \t", "5", false}, ValueCase{"", "", true},
        ValueCase{"5 ; seconds", "5", false}, ValueCase{R"("a, b")", "a, b", true},
        ValueCase{"x,y, z", "x,y, z", false}, ValueCase{R"(" spaced ")", " spaced ", true},
        ValueCase{R"("q\"uo\\te;c=d")", R"(q"uo\te;c=d)", true},
        ValueCase{R"(C:\\Pics\\bg.jpg)", R"(C:\Pics\bg.jpg)", true},
        ValueCase{R"(C:\Pics)", R"(C:\Pics)", false}, ValueCase{"@@at", "@at", true},
        ValueCase{"#hash", "#hash", true}, ValueCase{R"(tab\there\nnext)", "tab\there\nnext", true},
        ValueCase{R"(\x1\x35)", "\x01" "5", true},
        ValueCase{R"(\101\x42)", "AB", false},
        ValueCase{"zo\xc3\xab", "zo\xc3\xab", true},
        ValueCase{R"("unclosed ;)", "unclosed ;", false}, ValueCase{R"(end\)", R"(end\)", false},
        ValueCase{"\xef\xbb\xbfx", "\xef\xbb\xbfx", true},
        // An escaped surrogate is no character; an escaped NUL is one.
        ValueCase{R"(a\xd800 b)", "a\xef\xbf\xbd b", false},
        ValueCase{R"(\0)", std::string(1, '\0'), true}));

}  // namespace
}  // namespace lumi::settings
