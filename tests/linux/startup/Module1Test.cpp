// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>

#include "linux/settings/PictureList.h"
#include "linux/startup/Module1.h"
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
                                   auto player = std::make_unique<FakeMidiPlayer>();
                                   lastPlayer_ = player.get();
                                   return player;
                               },
                               installDir_.path() + "/",
                               [this] { ++processEnds_; },
                               setupDialogs_,
                               shell_,
                               installDir_.path() + "/help.html",
                               installDir_.path() + "/.xscreensaver",
                               "lumiscribe-xscreensaver"};
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
    FakeMidiPlayer* lastPlayer_ = nullptr;  // the player of the last mode started
    int processEnds_ = 0;
    QTimer modalCloser_;
    QStringList closedDialogs_;
    Module1 module1_;
};

// Only a full-screen display that locks the session at its end takes the termination
// request over; it then ends through the lock like a key.
TEST_F(Module1Test, ATerminationRequestEndsALockingDisplayThroughTheLock) {
    struct Case {
        const char* lockScreen;
        bool handled;
    };
    for (const Case& c : {Case{"1", true}, Case{"0", false}, Case{"", false}}) {
        settings_.write("SetReg", "2");
        settings_.write("LockScreen", c.lockScreen);
        QStringList lockLog;
        std::function<void()> terminate;
        StartupServices startup = services();
        startup.makeSessionLock = [&lockLog] {
            std::vector<std::unique_ptr<platform::LockService>> lockServices;
            lockServices.push_back(std::make_unique<testing::FakeLockService>("logind", lockLog));
            return std::make_unique<platform::SessionLock>(std::move(lockServices));
        };
        startup.onTerminationRequest = [&terminate](QObject*, std::function<void()> handler) {
            terminate = std::move(handler);
        };
        Module1 module1(std::move(startup));
        ASSERT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        EXPECT_EQ(static_cast<bool>(terminate), c.handled) << c.lockScreen;
        if (terminate) {
            terminate();
            EXPECT_EQ(lockLog, QStringList({"logind prepare", "logind lock"}));
            EXPECT_TRUE(module1.displayForm()->form.lockRequested());
        }
    }
}

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

// The synthesiser (behind makePlayer) is made only for a display that will play music. A
// sound-off limit, even one outside the list that silences the music at the first tick,
// leaves TimerMIDI on at load.
TEST_F(Module1Test, PlayerIsMadeOnlyWhenTheDisplayPlaysMusic) {
    struct Case {
        const char* music;
        const char* soundOff;
        int playersAtLoad;
    };
    for (const Case& c :
         {Case{"1", "0", 1}, Case{"1", "5", 1}, Case{"0", "0", 0}, Case{"0", "5", 0},
          Case{"1", "7", 1}, Case{"1", "-1", 1}, Case{"0", "7", 0}}) {
        settings_.write("SetReg", "2");
        settings_.write("Music", c.music);
        settings_.write("SoundOff", c.soundOff);
        playersMade_ = 0;
        Module1 module1(services());
        ASSERT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        EXPECT_EQ(playersMade_, c.playersAtLoad) << c.music << " " << c.soundOff;
        EXPECT_EQ(module1.displayForm()->form.TimerMIDI.isActive(), c.playersAtLoad == 1)
            << c.music << " " << c.soundOff;
        // A click stops the player first, which makes none.
        module1.displayForm()->form.Pic2_MouseDown();
        EXPECT_EQ(playersMade_, c.playersAtLoad) << c.music << " " << c.soundOff;
    }
}

TEST_F(Module1Test, StartKeyWithMusicOffMakesThePlayerThenAndPlays) {
    settings_.write("SetReg", "2");
    settings_.write("Music", "0");
    ASSERT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    EXPECT_EQ(playersMade_, 0);
    module1_.displayForm()->form.Pic2_KeyPress('s');
    EXPECT_EQ(playersMade_, 1);
    EXPECT_TRUE(module1_.displayForm()->form.TimerMIDI.isActive());
    module1_.displayForm()->form.Pic2_KeyPress('s');
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

TEST_F(Module1Test, PreviewFailsAtOnceWhereNoForeignWindowCanBeDrawnIn) {
    windows_.drawsInForeignWindows = false;
    windows_.clientRects.insert(1234, QRect(0, 0, 152, 112));
    EXPECT_EQ(module1_.Main("/p 1234"), Module1::Outcome::EndProcessFailed);
    EXPECT_EQ(module1_.previewForm(), nullptr);
    EXPECT_EQ(windows_.embeddedHost, 0u);
}

TEST_F(Module1Test, PreviewEndsWhenItsHostGoesAway) {
    windows_.clientRects.insert(77, QRect(0, 0, 100, 80));
    ASSERT_EQ(module1_.Main("/p 77"), Module1::Outcome::RunEventLoop);
    windows_.clientRects.remove(77);
    EXPECT_TRUE(QTest::qWaitFor([this] { return module1_.previewForm() == nullptr; }, 120000));
}

}  // namespace
}  // namespace lumi::startup

namespace lumi::startup {
namespace {

// The full-screen display on a desktop of two monitors: the primary one of 64 x 48 pixels
// and a second of 32 x 24 to its right, with two real pictures in the list.
class Module1TwoMonitorsTest : public Module1Test {
protected:
    static constexpr QRect kPrimary{0, 0, 64, 48};
    static constexpr QRect kSecond{64, 0, 32, 24};

    void SetUp() override {
        windows_.screen = kPrimary;
        windows_.monitors = {kPrimary, kSecond};
        settings_.write("SetReg", "2");
        settings_.write("BG", "0");
        settings_.write("Delay", "60");
        QStringList entries;
        for (int i = 0; i < 2; ++i) {
            entries.append(savePicture(QStringLiteral("p%1.png").arg(i), QColor(40 * i, 200, 90)));
        }
        ASSERT_FALSE(
            settings::writePictureList(installDir_.path() + "/List.txt", entries).has_value());
    }

    QString savePicture(const QString& name, QColor colour) {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = installDir_.path() + "/" + name;
        EXPECT_TRUE(picture.save(path));
        return path;
    }

    static QImage grabbed(QWidget& window) {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // What input can change: the process's end and what comes before it, the music and the
    // picture shown. The recorders of the fixture are cleared when the input is sent.
    struct Observed {
        int processEnds = 0;
        QList<bool> cursorCalls;
        QList<bool> runningCalls;
        int stops = 0;
        std::vector<std::string> plays;
        std::array<qint16, 11> midiChecked{};
        int picIndex = 0;
        bool operator==(const Observed&) const = default;
    };

    enum class Target { Form, Canvas, Cover };

    // Starts "/s" in a module of its own, sends `event` to `target` and reports what followed.
    Observed sendTo(Target target, QEvent& event) {
        Module1 module1(services());
        EXPECT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        if (module1.coverWindows().size() != 1) {
            ADD_FAILURE() << "no cover for the second monitor";
            return {};
        }
        display::DisplayWindow& form = *module1.displayForm();
        form.form.playlist.MidiCurrent = 3;
        lastPlayer_->playing = true;
        processEnds_ = 0;
        cursor_.calls.clear();
        windows_.runningCalls.clear();
        const int stopsBefore = lastPlayer_->stops;
        const auto playsBefore = static_cast<std::ptrdiff_t>(lastPlayer_->plays.size());
        QWidget* receiver = target == Target::Form     ? static_cast<QWidget*>(&form)
                            : target == Target::Canvas ? static_cast<QWidget*>(form.Pic2)
                                                       : module1.coverWindows().front().get();
        QCoreApplication::sendEvent(receiver, &event);
        return {processEnds_,
                cursor_.calls,
                windows_.runningCalls,
                lastPlayer_->stops - stopsBefore,
                {lastPlayer_->plays.begin() + playsBefore, lastPlayer_->plays.end()},
                form.form.playlist.MidiChecked,
                form.form.PicIndex};
    }
};

TEST_F(Module1TwoMonitorsTest, TheFormTakesThePrimaryAndACoverTheSecondWithoutTheFocus) {
    ASSERT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    ASSERT_EQ(module1_.coverWindows().size(), 1u);
    display::CoverWindow& cover = *module1_.coverWindows().front();
    EXPECT_EQ(windows_.coverRects, QList<QRect>{kSecond});
    EXPECT_EQ(cover.geometry(), kSecond);
    EXPECT_EQ(windows_.shownRect, kPrimary);
    // The form comes last, so that it holds the keyboard focus.
    EXPECT_EQ(windows_.shownOrder,
              (QList<QWidget*>{&cover, static_cast<QWidget*>(module1_.displayForm())}));
    EXPECT_EQ(windows_.runningCalls, QList<bool>{true});
    EXPECT_EQ(playersMade_, 1);  // one display, one player
}

TEST_F(Module1TwoMonitorsTest, ThePrimaryMayLieAnywhereOnTheDesktop) {
    const QRect primary(1920, 0, 64, 48);
    const QRect left(0, 0, 1920, 1080);
    windows_.monitors = {primary, left};
    ASSERT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    EXPECT_EQ(windows_.shownRect, primary);
    EXPECT_EQ(windows_.coverRects, QList<QRect>{left});
}

TEST_F(Module1TwoMonitorsTest, TheCoverShowsTheFormsBackgroundColourOrPicture) {
    QImage picture(40, 10, QImage::Format_RGB32);
    picture.fill(QColor(250, 128, 7));
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    ASSERT_TRUE(picture.save(installDir_.path() + "/back.png"));
    const QRgb buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button).rgb();
    struct Case {
        const char* bg;
        const char* bgFile;
        QRgb colour;        // where no picture shows
        bool showsPicture;  // the picture at the top-left corner, 32 x 10 of it on the cover
    };
    for (const Case& c :
         {Case{"0", "", qRgb(255, 255, 255), false}, Case{"1", "", qRgb(0, 0, 0), false},
          Case{"2", "", buttonFace, false}, Case{"3", "back.png", qRgb(0, 0, 0), true},
          Case{"3", "missing.png", qRgb(0, 0, 0), false}}) {
        settings_.write("BG", c.bg);
        settings_.write("BGFile", (installDir_.path() + "/" + c.bgFile).toStdString());
        Module1 module1(services());
        ASSERT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        ASSERT_EQ(module1.coverWindows().size(), 1u);
        const QImage shown = grabbed(*module1.coverWindows().front());
        ASSERT_EQ(shown.size(), kSecond.size());
        int wrong = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb expected = c.showsPicture && y < 10 ? picture.pixel(x, y) : c.colour;
                wrong += shown.pixel(x, y) != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "BG " << c.bg << " " << c.bgFile;
    }
}

TEST_F(Module1TwoMonitorsTest, AnyButtonOnTheCoverEndsTheScreenSaverAsAClickOnTheFormDoes) {
    QMouseEvent formRelease(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    const Observed onForm = sendTo(Target::Form, formRelease);
    EXPECT_EQ(onForm.processEnds, 1);
    EXPECT_EQ(onForm.stops, 1);
    EXPECT_EQ(onForm.cursorCalls, QList<bool>{true});
    EXPECT_EQ(onForm.runningCalls, QList<bool>{false});
    for (const QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick}) {
        QMouseEvent event(type, QPointF(3, 3), QPointF(67, 3), Qt::RightButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton,
                          Qt::NoModifier);
        EXPECT_EQ(sendTo(Target::Cover, event), onForm) << type;
    }
}

TEST_F(Module1TwoMonitorsTest, KeysOnTheCoverActAsOnTheCanvas) {
    struct Case {
        Qt::Key key;
        const char* text;
        bool ends;
    };
    for (const Case& c :
         {Case{Qt::Key_Space, " ", false}, Case{Qt::Key_N, "n", false}, Case{Qt::Key_Q, "q", false},
          Case{Qt::Key_S, "s", false}, Case{Qt::Key_X, "x", true}, Case{Qt::Key_Tab, "\t", true},
          Case{Qt::Key_Shift, "", false}, Case{Qt::Key_Delete, "\x7f", false}}) {
        QKeyEvent event(QEvent::KeyPress, c.key, Qt::NoModifier, QString::fromLatin1(c.text));
        const Observed onCanvas = sendTo(Target::Canvas, event);
        const Observed onCover = sendTo(Target::Cover, event);
        EXPECT_EQ(onCover, onCanvas) << c.text;
        EXPECT_EQ(onCover.processEnds, c.ends ? 1 : 0) << c.text;
    }
}

TEST_F(Module1TwoMonitorsTest, MouseMovementOnTheCoverNeverEndsTheScreenSaver) {
    settings_.write("MouseSen", "1");
    ASSERT_EQ(module1_.Main("/s"), Module1::Outcome::RunEventLoop);
    module1_.displayForm()->form.Activated = -1;
    for (int x = 0; x < 10; ++x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, x), QPointF(64 + x, x), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(module1_.coverWindows().front().get(), &move);
    }
    EXPECT_EQ(processEnds_, 0);
    EXPECT_EQ(lastPlayer_->stops, 0);
}

TEST_F(Module1TwoMonitorsTest, NoCoverWhereOnlyOneMonitorShows) {
    for (const QList<QRect>& monitors :
         {QList<QRect>{kPrimary}, QList<QRect>{kPrimary, kPrimary}}) {
        windows_.monitors = monitors;
        Module1 module1(services());
        ASSERT_EQ(module1.Main("/s"), Module1::Outcome::RunEventLoop);
        EXPECT_TRUE(module1.coverWindows().empty()) << monitors.size();
    }
    EXPECT_TRUE(windows_.coverRects.isEmpty());
}

TEST_F(Module1TwoMonitorsTest, OnlyTheFullScreenModeCoversMonitors) {
    closeModalDialogs();
    windows_.clientRects.insert(1234, QRect(0, 0, 152, 112));
    for (const char* line : {"/c", "/p 1234", "/a", "/x"}) {
        Module1 module1(services());
        module1.Main(line);
        EXPECT_TRUE(module1.coverWindows().empty()) << line;
    }
    EXPECT_TRUE(windows_.coverRects.isEmpty());
}

}  // namespace
}  // namespace lumi::startup
