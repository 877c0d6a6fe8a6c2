// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>

#include "display/frmMain.h"
#include "support/FakeDisplay.h"
#include "support/FakeMusic.h"
#include "support/MemorySettingsStore.h"

namespace lumi::display {
namespace {

using testing::FakeFormHost;
using testing::FakePictureSource;

// The form on fakes: a 6 x 4 screen, the install folder "/i/", Delay 2, MouseSen 3.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [key, value] :
             {std::pair{"SetReg", "2"}, {"BG", "1"}, {"Delay", "2"}, {"MouseSen", "3"},
              {"Music", "0"}}) {
            settings_.write(key, value);
        }
    }

    frmMain& load() {
        form_ = std::make_unique<frmMain>(host_, settings_, player_, pictures_,
                                          FormOptions{"/i/", Size{6, 4}});
        form_->Form_Load();
        return *form_;
    }

    // Delivers the pending picture (and those that follow one that fails) and paints it.
    void showPending() {
        ASSERT_TRUE(pictures_.deliver());
        while (pictures_.deliver()) {
        }
        while (host_.timers[static_cast<int>(FormTimer::PaintStep)].active) {
            form_->paintStep();
        }
    }

    testing::MemorySettingsStore settings_;
    FakeFormHost host_;
    testing::FakeMidiPlayer player_;
    FakePictureSource pictures_;
    std::unique_ptr<frmMain> form_;
};

TEST_F(FormTest, FirstPictureIsCentredPaintedAndThenTheSlideTimerRuns) {
    host_.list = {"/p/a", "/p/b"};
    pictures_.add("/p/a", 3, 2, 1);
    frmMain& form = load();
    EXPECT_EQ(host_.events, (std::vector<std::string>{"list /i/List.txt", "cursor off"}));
    EXPECT_EQ(pictures_.prefetched, std::vector<std::string>{"/p/a"});
    form.Form_Activate();
    EXPECT_FALSE(form.Timer1.isActive());
    showPending();
    // (6 - 3) / 2 = 1.5 rounds to 2, (4 - 2) / 2 = 1; the canvas is a pixel smaller each way.
    EXPECT_EQ(form.picture1Geometry, Rect::fromSize({2, 1}, {3, 2}));
    EXPECT_EQ(host_.canvas, (std::vector<Rgb>{0xff010000, 0xff010001}));
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_EQ(form.DelayCount, 0);
    EXPECT_FALSE(form.Picture1.ok());
    EXPECT_EQ(pictures_.prefetched.back(), "/p/b");

    form.Timer1_Timer();
    EXPECT_FALSE(pictures_.loading());
    form.Timer1_Timer();  // the second of Delay 2
    EXPECT_EQ(pictures_.pending, "/p/b");
    EXPECT_EQ(form.PicIndex, 1);
}

TEST_F(FormTest, EntriesThatDoNotLoadAreSkippedOnceRoundTheListAndReportedOnce) {
    host_.list = {"/p/bad", "/p/good", "/p/worse"};
    pictures_.add("/p/good", 2, 2, 2);
    frmMain& form = load();
    form.Form_Activate();
    showPending();  // bad fails; good follows
    EXPECT_EQ(form.PicIndex, 1);
    EXPECT_TRUE(form.Timer1.isActive());
    form.Pic2_ArrowKey(ArrowStep::Previous);  // back to bad, which fails, then worse
    ASSERT_TRUE(pictures_.deliver());
    EXPECT_EQ(pictures_.pending, "/p/worse");
    EXPECT_EQ(host_.reports, (std::vector<std::string>{"cannot load the picture /p/bad: no such file"}));

    pictures_.pictures.clear();  // now none loads: the screen keeps what it shows
    form.AdvancePicture();
    while (pictures_.deliver()) {
    }
    EXPECT_TRUE(form.Timer1.isActive());
    EXPECT_EQ(host_.reports.size(), 3u);
}

TEST_F(FormTest, KeysAndMouse) {
    const std::vector<std::string> end{"cursor on", "running off", "end"};
    const struct {
        const char* what;
        std::function<void(frmMain&)> input;
        int stops;
        bool ends;
        int picIndex;
    } cases[] = {
        {"space", [](frmMain& f) { f.Pic2_KeyPress(' '); }, 0, false, 1},
        {"right", [](frmMain& f) { f.Pic2_ArrowKey(ArrowStep::Next); }, 0, false, 1},
        {"left", [](frmMain& f) { f.Pic2_ArrowKey(ArrowStep::Previous); }, 0, false, 2},
        {"q", [](frmMain& f) { f.Pic2_KeyPress('q'); }, 1, false, 0},
        {"Escape", [](frmMain& f) { f.Pic2_KeyPress(27); }, 1, true, 0},
        {"S", [](frmMain& f) { f.Pic2_KeyPress('S'); }, 1, true, 0},
        {"click", [](frmMain& f) { f.Pic2_MouseDown(); }, 1, true, 0},
        {"release", [](frmMain& f) { f.Form_MouseUp(); }, 1, true, 0},
        {"two moves", [](frmMain& f) { f.Pic2_MouseMove(), f.Pic2_MouseMove(); }, 0, false, 0},
        {"three moves", [](frmMain& f) { for (int i = 0; i < 3; ++i) f.Pic2_MouseMove(); }, 1,
         true, 0},
    };
    for (const auto& c : cases) {
        host_ = {};
        host_.list = {"/p/a", "/p/b", "/p/c"};
        player_ = {};
        frmMain& form = load();
        form.Form_Activate();
        host_.events.clear();
        c.input(form);
        EXPECT_EQ(player_.stops, c.stops) << c.what;
        EXPECT_EQ(host_.events, c.ends ? end : std::vector<std::string>{}) << c.what;
        EXPECT_EQ(form.PicIndex, c.picIndex) << c.what;
    }
}

TEST_F(FormTest, MovesBeforeTheActivationAndAfterTheCountingWindowDoNotCount) {
    frmMain& form = load();
    for (int i = 0; i < 5; ++i) {
        form.Pic2_MouseMove();
    }
    EXPECT_EQ(form.MoveCount, 0);
    form.Form_Activate();
    form.Pic2_MouseMove();
    host_.seconds += 11;  // the move after the window of ten seconds starts the count again
    form.Pic2_MouseMove();
    EXPECT_EQ(form.MoveCount, 0);
    form.Pic2_MouseMove();
    form.Pic2_MouseMove();
    EXPECT_EQ(form.MoveCount, 2);
    EXPECT_TRUE(std::find(host_.events.begin(), host_.events.end(), "end") == host_.events.end());
}

TEST_F(FormTest, TheFirstRunWritesTheDefaultsAndShowsTheBackgroundPictureCutToTheScreen) {
    settings_ = {};
    pictures_.add("/i/bg.jpg", 10, 10, 3);
    frmMain& form = load();
    EXPECT_EQ(settings_.writes.back(), "SetReg=2");
    EXPECT_EQ(settings_.read("BGFile", ""), "/i/bg.jpg");
    EXPECT_EQ(form.List1.entries, std::vector<std::string>{"/i/default.jpg"});
    const ConstPixelBuffer& background = form.backgroundPicture().pixels;
    ASSERT_EQ((Size{background.width, background.height}), (Size{6, 4}));
    EXPECT_EQ(background.row(3)[5], 0xff030305u);
    EXPECT_EQ(form.backColor(), kBlack);
}

}  // namespace
}  // namespace lumi::display
