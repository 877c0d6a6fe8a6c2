#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "startup/Module1.h"
#include "support/Fakes.h"
#include "support/SetupFakes.h"

namespace lumi::startup {
namespace {

using testing::FakeClock;
using testing::FakeCursor;
using testing::FakeInstanceRegistry;
using testing::FakeMidiPlayer;
using testing::FakePasswordService;
using testing::FakeSettingsStore;
using testing::FakeSetupDialogs;
using testing::FakeShell;
using testing::FakeWindowServices;

class Module1Test : public ::testing::Test {
protected:
    Module1Test() : module1_(services()) {}

    StartupServices services() {
        return StartupServices{windows_,
                               instances_,
                               password_,
                               settings_,
                               cursor_,
                               clock_,
                               [this] {
                                   ++playersMade_;
                                   return std::make_unique<FakeMidiPlayer>();
                               },
                               installDir_.path() + "/",
                               [this] { ++processEnds_; },
                               setupDialogs_,
                               shell_};
    }

    // Closes every modal dialog that comes up, from the event loop that shows it, and
    // describes it in closedDialogs_ as "title|owner|front tab".
    void closeModalDialogs() {
        QObject::connect(&modalCloser_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                return;
            }
            const auto* tabs = modal->findChild<QTabWidget*>("SSTab1");
            closedDialogs_.append(QStringLiteral("%1|%2|%3")
                                      .arg(modal->windowTitle(),
                                           modal->parentWidget() ? "owner" : "no owner",
                                           tabs ? tabs->tabText(tabs->currentIndex()) : "-"));
            modal->close();
        });
        modalCloser_.start(10);
    }

    QTemporaryDir installDir_;
    FakeWindowServices windows_;
    FakeInstanceRegistry instances_;
    FakePasswordService password_;
    FakeSettingsStore settings_;
    FakeCursor cursor_;
    FakeClock clock_;
    FakeSetupDialogs setupDialogs_;
    FakeShell shell_;
    int playersMade_ = 0;
    int processEnds_ = 0;
    QTimer modalCloser_;
    QStringList closedDialogs_;
    Module1 module1_;
};

TEST_F(Module1Test, FullScreenShowsTheDisplayOverTheScreenAndMarksTheScreenSaverRunning) {
    windows_.screen = QRect(0, 0, 800, 600);
    ASSERT_EQ(module1_.Main(" /S "), Module1::Outcome::RunEventLoop);
    ASSERT_NE(module1_.displayForm(), nullptr);
    EXPECT_EQ(module1_.ScreenRect, QRect(0, 0, 800, 600));
    EXPECT_EQ(windows_.shownRect, QRect(0, 0, 800, 600));
    EXPECT_EQ(windows_.runningCalls, QList<bool>{true});
    EXPECT_EQ(settings_.read("SetReg", ""), "2");  // the display loaded before it showed
    EXPECT_EQ(cursor_.calls, QList<bool>{false});
    EXPECT_EQ(playersMade_, 1);
}

// The synthesiser (behind makePlayer) is made only for a display that will play music.
TEST_F(Module1Test, PlayerIsMadeOnlyWhenTheDisplayPlaysMusic) {
    struct Case {
        const char* music;
        const char* soundOff;
        int playersAtLoad;
    };
    for (const Case& c : {Case{"1", "0", 1}, Case{"1", "5", 1}, Case{"0", "0", 0},
                          Case{"0", "5", 0}, Case{"1", "7", 0}, Case{"1", "-1", 0}}) {
        settings_.write("SetReg", "2");
        settings_.write("Music", c.music);
        settings_.write("SoundOff", c.soundOff);
        playersMade_ = 0;
        Module1 module1(services());
        ASSERT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        EXPECT_EQ(playersMade_, c.playersAtLoad) << c.music << " " << c.soundOff;
        EXPECT_EQ(module1.displayForm()->TimerMIDI.isActive(), c.playersAtLoad == 1)
            << c.music << " " << c.soundOff;
        // A click stops the player first, which makes none.
        module1.displayForm()->Pic2_MouseDown();
        EXPECT_EQ(playersMade_, c.playersAtLoad) << c.music << " " << c.soundOff;
    }
}

TEST_F(Module1Test, StartKeyWithMusicOffMakesThePlayerThenAndPlays) {
    settings_.write("SetReg", "2");
    settings_.write("Music", "0");
    ASSERT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    EXPECT_EQ(playersMade_, 0);
    module1_.displayForm()->Pic2_KeyPress('s');
    EXPECT_EQ(playersMade_, 1);
    EXPECT_TRUE(module1_.displayForm()->TimerMIDI.isActive());
    module1_.displayForm()->Pic2_KeyPress('s');
    EXPECT_EQ(playersMade_, 1);
}

TEST_F(Module1Test, SecondFullScreenInstanceEndsAtOnceWithoutAWindow) {
    instances_.another = true;
    EXPECT_EQ(module1_.Main("/s"), Module1::Outcome::EndProcess);
    EXPECT_EQ(module1_.displayForm(), nullptr);
    EXPECT_TRUE(windows_.runningCalls.isEmpty());
    EXPECT_EQ(settings_.size(), 0);
}

TEST_F(Module1Test, SecondFullScreenInstanceComesUpWhileDisplayPropertiesIsOpen) {
    instances_.another = true;
    windows_.windows.insert("Display Properties", 42);
    EXPECT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    EXPECT_NE(module1_.displayForm(), nullptr);
}

TEST_F(Module1Test, EmptyCommandLineComesUpEvenWhenAnotherInstanceRuns) {
    instances_.another = true;
    EXPECT_EQ(module1_.Main(""), Module1::Outcome::RunEventLoop);
    EXPECT_NE(module1_.displayForm(), nullptr);
}

TEST_F(Module1Test, EverySwitchSearchesForDisplayPropertiesAndAsksForOtherInstances) {
    closeModalDialogs();
    for (const char* line : {"/s", "/c", "/a", "/x", ""}) {
        Module1 module1(services());
        module1.Main(line);
    }
    EXPECT_EQ(windows_.searchedTitles, QStringList(5, "Display Properties"));
    EXPECT_EQ(instances_.queries, 5);
}

TEST_F(Module1Test, CommandLinesWithoutAModeEndAtOnceAndTouchNothing) {
    for (const char* line : {"-s", "s", "/x", "/"}) {
        Module1 module1(services());
        EXPECT_EQ(module1.Main(line), Module1::Outcome::EndProcess) << line;
        EXPECT_EQ(module1.displayForm(), nullptr) << line;
    }
    EXPECT_EQ(settings_.size(), 0);
    EXPECT_EQ(playersMade_, 0);
    EXPECT_TRUE(cursor_.calls.isEmpty());
    EXPECT_TRUE(password_.calls.isEmpty());
}

TEST_F(Module1Test, ChangePasswordUsesAHiddenOwnerOfItsOwnAndEnds) {
    EXPECT_EQ(module1_.Main("/a 1234"), Module1::Outcome::EndProcess);
    EXPECT_EQ(password_.calls, QStringList{"SCRSAVE 0 0"});
    EXPECT_NE(password_.lastOwner, nullptr);
    EXPECT_FALSE(password_.ownerWasVisible);
    EXPECT_EQ(module1_.displayForm(), nullptr);
}

TEST_F(Module1Test, SettingsShowsTheSetupDialogModallyWithoutOwnerAndEndsWhenItCloses) {
    closeModalDialogs();
    EXPECT_EQ(module1_.Main("/C"), Module1::Outcome::EndProcess);
    EXPECT_EQ(closedDialogs_, QStringList{"Lumiscribe Screensaver|no owner|Options"});
    EXPECT_EQ(playersMade_, 1);
    EXPECT_EQ(module1_.displayForm(), nullptr);
    EXPECT_EQ(settings_.read("Music", ""), "1");  // the dialog loaded before it showed
}

}  // namespace
}  // namespace lumi::startup

namespace lumi::startup {
namespace {

TEST_F(Module1Test, PreviewEmbedsTheStillInTheHostWindowNamedOnTheCommandLine) {
    windows_.clientRects.insert(1234, QRect(0, 0, 152, 112));
    for (const char* line : {"/p 1234", "/p:1234", "/P 1234"}) {
        Module1 module1(services());
        ASSERT_EQ(module1.Main(line), Module1::Outcome::RunEventLoop) << line;
        EXPECT_EQ(module1.PreviewWnd, 1234u);
        EXPECT_EQ(module1.ScreenRect, QRect(0, 0, 152, 112));
        EXPECT_EQ(windows_.embeddedHost, 1234u);
        EXPECT_EQ(windows_.embeddedRect, QRect(0, 0, 152, 112));
        ASSERT_NE(module1.previewForm(), nullptr);
        EXPECT_EQ(module1.previewForm()->windowTitle(), "Preview");
    }
    EXPECT_EQ(settings_.size(), 0);  // the preview reads no setting
    EXPECT_EQ(playersMade_, 0);      // and plays no music
}

TEST_F(Module1Test, PreviewWithoutAnExistingHostEndsAtOnce) {
    windows_.clientRects.insert(1234, QRect(0, 0, 152, 112));
    for (const char* line : {"/p", "/p abc", "/p 99", "/p -5"}) {
        Module1 module1(services());
        EXPECT_EQ(module1.Main(line), Module1::Outcome::EndProcess) << line;
        EXPECT_EQ(module1.previewForm(), nullptr) << line;
    }
    EXPECT_EQ(windows_.embeddedHost, 0u);
}

TEST_F(Module1Test, PreviewEndsWhenItsHostGoesAway) {
    windows_.clientRects.insert(77, QRect(0, 0, 100, 80));
    ASSERT_EQ(module1_.Main("/p 77"), Module1::Outcome::RunEventLoop);
    windows_.clientRects.remove(77);
    EXPECT_TRUE(QTest::qWaitFor([this] { return module1_.previewForm() == nullptr; }, 3000));
}

}  // namespace
}  // namespace lumi::startup
