// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>

#include <gtest/gtest.h>

#include "display/DisplayFixture.h"

namespace lumi::display {
namespace {

using testing::FakeLockService;
using testing::ManualLockScheduler;

// The display form with one picture, whose end asks a lock made of one fake service.
class LockTest : public testing::DisplayFixture {
protected:
    void SetUp() override {
        settings_.write("SetReg", "2");
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 90));
        writeList({savePicture(QStringLiteral("p.png"), picture)});
    }

    void loadLockingForm(const char* lockScreen, DisplayMode mode = DisplayMode::FullScreen) {
        settings_.write("LockScreen", lockScreen);
        DisplayServices services{settings_, cursor_,      windows_,      clock_,
                                 player_,   installDir(), QSize(40, 30), [this] { ++processEnds_; },
                                 mode};
        services.makeSessionLock = [this] {
            ++locksMade_;
            std::vector<std::unique_ptr<platform::LockService>> lockServices;
            auto service = std::make_unique<FakeLockService>(QStringLiteral("logind"), log_);
            service_ = service.get();
            lockServices.push_back(std::move(service));
            return std::make_unique<platform::SessionLock>(std::move(lockServices),
                                                           lockClock_.scheduler());
        };
        window_ = std::make_unique<DisplayWindow>(std::move(services));
        window_->form.Form_Load();
        cursor_.calls.clear();
    }

    void press(const QString& text) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_X, {}, text);
        QCoreApplication::sendEvent(window_->Pic2, &event);
    }

    QStringList log_;
    ManualLockScheduler lockClock_;
    FakeLockService* service_ = nullptr;
    int locksMade_ = 0;
};

TEST_F(LockTest, WithLockScreenOneTheEndWaitsForTheLockWithTheFormShown) {
    loadLockingForm("1");
    EXPECT_EQ(locksMade_, 1);
    EXPECT_EQ(log_, QStringList{"logind prepare"}) << "the session is found before the end";
    press("x");
    EXPECT_EQ(player_.stops, 1) << "the music stops at once";
    EXPECT_EQ(log_, QStringList({"logind prepare", "logind lock"}));
    EXPECT_TRUE(window_->form.lockRequested());
    // Another key, a music key, an arrow and a click change nothing while the lock is
    // awaited.
    press("y");
    press("s");
    window_->form.Pic2_ArrowKey(ArrowStep::Next);
    EXPECT_TRUE(player_.plays.empty());
    window_->form.Pic2_MouseDown();
    window_->form.Form_MouseUp();
    EXPECT_EQ(log_.count("logind lock"), 1);
    service_->answerLock(true);
    service_->answerLocked(false);
    EXPECT_EQ(processEnds_, 0);
    // Qt 6.4 compares two empty lists of bool through memcmp with a null pointer.
    EXPECT_TRUE(cursor_.calls.isEmpty()) << "the cursor stays hidden over the display";
    lockClock_.advance(platform::SessionLock::kLockPollInterval);
    service_->answerLocked(true);
    EXPECT_EQ(processEnds_, 1);
    EXPECT_EQ(cursor_.calls, QList<bool>{true});
    EXPECT_EQ(windows_.runningCalls.last(), false);
}

TEST_F(LockTest, AnUnconfirmedLockEndsTheDisplayAtTheBound) {
    loadLockingForm("1");
    window_->form.TerminationRequested();
    service_->answerLock(true);
    service_->answerLocked(false);
    lockClock_.advance(platform::SessionLock::kLockWait - std::chrono::milliseconds(1));
    EXPECT_EQ(processEnds_, 0);
    lockClock_.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(processEnds_, 1);
}

// Without "LockScreen" 1, or in a host's window, no lock is ever made and the end comes at once.
TEST_F(LockTest, OtherwiseNoLockIsMade) {
    struct Case {
        const char* lockScreen;
        DisplayMode mode;
    };
    for (const Case& c : {Case{"0", DisplayMode::FullScreen}, Case{"", DisplayMode::FullScreen},
                          Case{"2", DisplayMode::FullScreen}, Case{"1", DisplayMode::Hosted}}) {
        processEnds_ = 0;
        loadLockingForm(c.lockScreen, c.mode);
        EXPECT_EQ(locksMade_, 0) << c.lockScreen;
        EXPECT_FALSE(window_->form.locksSession()) << c.lockScreen;
        window_->form.CloseDown();
        EXPECT_EQ(processEnds_, 1) << c.lockScreen;
    }
}

}  // namespace
}  // namespace lumi::display
