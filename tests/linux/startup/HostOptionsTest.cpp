// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "linux/startup/HostOptions.h"

namespace lumi::startup {
namespace {

using Target = HostOptions::Target;

TEST(HostOptionsTest, RootTakesTheWindowFromTheEnvironmentInHexOrDecimal) {
    const HostOptions hex = parseHostOptions({"-root"}, "0x2a00007");
    EXPECT_EQ(hex.target, Target::HostWindow);
    EXPECT_EQ(hex.window, 0x2a00007u);
    EXPECT_TRUE(hex.error.isEmpty());
    EXPECT_FALSE(hex.preview);  // the daemon's own window

    const HostOptions decimal = parseHostOptions({"--root"}, "44040199");
    EXPECT_EQ(decimal.target, Target::HostWindow);
    EXPECT_EQ(decimal.window, 44040199u);
}

TEST(HostOptionsTest, WindowIdOnTheCommandLineWinsOverTheEnvironment) {
    for (const QStringList& arguments :
         {QStringList{"-root", "-window-id", "0x500"}, QStringList{"--window-id", "1280"},
          QStringList{"--window-id=0x500", "--root"}}) {
        const HostOptions options = parseHostOptions(arguments, "0x999");
        EXPECT_EQ(options.target, Target::HostWindow) << arguments.join(' ').toStdString();
        EXPECT_EQ(options.window, 0x500u) << arguments.join(' ').toStdString();
        EXPECT_TRUE(options.preview) << arguments.join(' ').toStdString();
    }
}

TEST(HostOptionsTest, WithoutAHostTheDisplayUsesAWindowOfItsOwnOrTheScreen) {
    EXPECT_EQ(parseHostOptions({}, "0x123").target, Target::OwnWindow);
    EXPECT_EQ(parseHostOptions({"-root"}, "").target, Target::WholeScreen);
    EXPECT_EQ(parseHostOptions({"-root"}, "garbage").target, Target::WholeScreen);
}

TEST(HostOptionsTest, AddToXScreenSaverIsARequestOfItsOwnThatHelpAndVersionWin) {
    struct Case {
        QStringList arguments;
        bool add;
        InfoRequest info;
    };
    for (const Case& c : {Case{{"--add-to-xscreensaver"}, true, InfoRequest::None},
                          Case{{"-add-to-xscreensaver", "-root"}, true, InfoRequest::None},
                          Case{{"--add-to-xscreensaver", "--help"}, true, InfoRequest::Help},
                          Case{{"--root"}, false, InfoRequest::None},
                          Case{{"--add-to-xscreensaver=yes"}, false, InfoRequest::None}}) {
        const HostOptions options = parseHostOptions(c.arguments, "");
        EXPECT_EQ(options.addToXScreenSaver, c.add) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(options.info, c.info) << c.arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(parseHostOptions({"--add-to-xscreensaver=yes"}, "").error.isEmpty());
}

TEST(HostOptionsTest, UnusableArgumentsAreReported) {
    EXPECT_FALSE(parseHostOptions({"-window-id"}, "").error.isEmpty());
    EXPECT_FALSE(parseHostOptions({"-window-id", "zz"}, "").error.isEmpty());
    EXPECT_FALSE(parseHostOptions({"-fps"}, "").error.isEmpty());
    EXPECT_EQ(parseWindowId("0"), std::nullopt);
    EXPECT_EQ(parseWindowId("0X1F"), 0x1Fu);
}

}  // namespace
}  // namespace lumi::startup
