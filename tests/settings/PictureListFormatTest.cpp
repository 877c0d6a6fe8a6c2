// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/PictureListFormat.h"

namespace lumi::settings {
namespace {

using Entries = std::vector<std::string>;

struct ReadCase {
    const char* name;
    std::string bytes;
    Entries expected;
};

class PictureListReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PictureListReadTest, FollowsTheDelimitedTextRule) {
    EXPECT_EQ(parsePictureList(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureListReadTest,
    ::testing::Values(
        ReadCase{"ExtraEmptyLine", "\"a\"\r\n\r\n", {"a", ""}},
        ReadCase{"EmptyLineBetween", "\"a\"\r\n\r\n\"b\"\r\n", {"a", "", "b"}},
        ReadCase{"UnquotedCommaList", "C:\\a.jpg,C:\\b.jpg\r\n", {"C:\\a.jpg", "C:\\b.jpg"}},
        ReadCase{"LoneLf", "\"a\"\n\"b\"\n", {"a", "b"}},
        ReadCase{"LoneCr", "\"a\"\r\"b\"\r", {"a", "b"}},
        ReadCase{"LfCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
        ReadCase{"NoFinalLineEnd", "\"a\"\r\n\"b\"", {"a", "b"}},
        ReadCase{"UnquotedNoFinalLineEnd", "a\r\nb", {"a", "b"}},
        ReadCase{"UnterminatedQuote", "\"a\"\r\n\"b, c", {"a", "b, c"}},
        ReadCase{"QuoteSpansLines", "\"a\r\nb\"\r\nc\r\n", {"a\r\nb", "c"}},
        ReadCase{"JunkAfterClosingQuote", "\"a\" junk,b\r\n", {"a", "b"}},
        ReadCase{"BlanksSkippedAndTrimmed", " \t\"a\" ,  b c \t\r\n", {"a", "b c"}},
        ReadCase{"BlanksInsideQuotesKept", "\" a \"\r\n", {" a "}},
        ReadCase{"QuoteInsideUnquotedKept", "ab\"c\r\n", {"ab\"c"}},
        ReadCase{"TrailingComma", "a,\r\n", {"a", ""}}, ReadCase{"CommaAtEndOfFile", "a,", {"a"}},
        ReadCase{"BlankAfterLastEntry", "\"a\"\r\n  ", {"a", ""}},
        ReadCase{"OnlyLineEnd", "\r\n", {""}}, ReadCase{"Empty", "", {}},
        ReadCase{"Utf8", "\"\xc3\xa9t\xc3\xa9.jpg\"\r\n", {"\xc3\xa9t\xc3\xa9.jpg"}},
        ReadCase{"Latin1BytesKept", "\"/p/bl\xe9.png\",\xc3\"x\r\n", {"/p/bl\xe9.png", "\xc3\"x"}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// What the writer makes reads back as the same entries, commas and spaces included.
TEST(PictureListFormatTest, WrittenEntriesAreQuotedWithCrLfAndReadBack) {
    const Entries entries{"C:\\Pics\\a.jpg", "C:\\My Pictures\\b,c.jpg", "", "/p/bl\xe9.png"};
    const std::string bytes = formatPictureList(entries);
    EXPECT_EQ(bytes, "\"C:\\Pics\\a.jpg\"\r\n\"C:\\My Pictures\\b,c.jpg\"\r\n\"\"\r\n"
                     "\"/p/bl\xe9.png\"\r\n");
    EXPECT_EQ(parsePictureList(bytes), entries);
    EXPECT_EQ(formatPictureList({}), "");
    EXPECT_FALSE(fitsPictureList("a\"b") || fitsPictureList("a\rb") || fitsPictureList("a\nb"));
    EXPECT_TRUE(fitsPictureList("a,b c\xe9"));
}

TEST(PictureListFormatTest, TakesAtMost32767Entries) {
    std::string bytes;
    for (int i = 0; i < kMaxPictureListEntries + 5; ++i) {
        bytes += std::to_string(i) + "\r\n";
    }
    const Entries entries = parsePictureList(bytes);
    ASSERT_EQ(entries.size(), 32767u);
    EXPECT_EQ(entries.back(), "32766");
}

}  // namespace
}  // namespace lumi::settings
