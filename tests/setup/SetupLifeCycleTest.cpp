// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/SetupLifeCycle.h"
#include "support/FakeSetupPlatform.h"

namespace lumi::setup {
namespace {

TEST(SetupLifeCycleTest, NavigateReportsAMissingPageOrNoBrowserWithThePathOrAddress) {
    const struct {
        const char* address;
        std::optional<std::string> localFile;
        bool browserOpens;
        bool opened;
        std::vector<std::string> boxes;
    } cases[]{
        {"file:///doc/help.html", "/doc/help.html", true, true, {}},
        {"file:///doc/gone.html",
         "/doc/gone.html",
         true,
         false,
         {"error|Corvanta Lumiscribe|The page /doc/gone.html is missing."}},
        {"file:///doc/help.html",
         "/doc/help.html",
         false,
         true,
         {"information|Corvanta Lumiscribe|No browser could be started to show the page. You "
          "can open it yourself:\n/doc/help.html"}},
        {"https://example.org/",
         std::nullopt,
         false,
         true,
         {"information|Corvanta Lumiscribe|No browser could be started to show the page. You "
          "can open it yourself:\nhttps://example.org/"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.address);
        testing::FakeFileQuery files;
        files.files = {{"/doc/help.html", 100}};
        testing::FakeMessageBoxes boxes;
        bool opened = false;
        Navigate(row.address, row.localFile, files, boxes, [&] {
            opened = true;
            return row.browserOpens;
        });
        EXPECT_EQ(opened, row.opened);
        EXPECT_EQ(boxes.shown, row.boxes);
    }
}

}  // namespace
}  // namespace lumi::setup
