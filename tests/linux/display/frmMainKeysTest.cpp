// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <utility>

#include "display/DisplayFixture.h"

namespace lumi::display {
namespace {

// The display form with two real pictures, driven by key events sent to its canvas.
class KeysTest : public testing::DisplayFixture {
protected:
    void SetUp() override {
        settings_.write("SetReg", "2");
        settings_.write("Delay", "5");
        QStringList entries;
        for (int i = 0; i < 2; ++i) {
            QImage picture(12 + i, 6, QImage::Format_RGB32);
            picture.fill(QColor(40 * i, 200, 90));
            entries.append(savePicture(QStringLiteral("p%1.png").arg(i), picture));
        }
        writeList(entries);
        loadForm(QSize(40, 30));
    }

    void press(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(window_->Pic2, &event);
    }
};

TEST_F(KeysTest, MusicKeysActOnThePlaylistAndKeepTheScreenSaverRunning) {
    window_->form.playlist.MidiCurrent = 3;
    player_.playing = true;
    press(Qt::Key_N, "n");
    EXPECT_EQ(player_.stops, 1);
    press(Qt::Key_Q, "q");
    EXPECT_EQ(player_.stops, 2);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(window_->form.playlist.MidiChecked[n], 0) << n;
    }
    settings_.write("MIDI3", "1");
    press(Qt::Key_S, "s");
    EXPECT_EQ(window_->form.playlist.MidiChecked[3], 1);
    EXPECT_EQ(player_.plays.back(), (dir_.path() + "/3.mid").toStdString());
    EXPECT_EQ(processEnds_, 0);
}

TEST_F(KeysTest, EveryOtherCharacterEndsTheScreenSaverAfterStoppingThePlayer) {
    struct Case {
        Qt::Key key;
        const char* text;
    };
    for (const Case& c :
         {Case{Qt::Key_X, "x"}, Case{Qt::Key_Q, "Q"}, Case{Qt::Key_N, "N"}, Case{Qt::Key_S, "S"},
          Case{Qt::Key_Return, "\r"}, Case{Qt::Key_Escape, "\x1b"}, Case{Qt::Key_Backspace, "\b"},
          Case{Qt::Key_Tab, "\t"}, Case{Qt::Key_1, "1"}}) {
        const int before = processEnds_;
        const int stopsBefore = player_.stops;
        press(c.key, QString::fromLatin1(c.text));
        EXPECT_EQ(processEnds_, before + 1) << c.text;
        EXPECT_EQ(player_.stops, stopsBefore + 1) << c.text;
    }
    EXPECT_TRUE(window_->Pic2->hasFocus() || !window_->isVisible());
}

TEST_F(KeysTest, ControlCharactersEndTheScreenSaver) {
    // Ctrl with a letter gives the letter's control character, as on the original platform.
    for (const auto& [key, text] : {std::pair{Qt::Key_A, "\x01"}, std::pair{Qt::Key_C, "\x03"},
                                    std::pair{Qt::Key_Z, "\x1a"}}) {
        const int before = processEnds_;
        press(key, QString::fromLatin1(text), Qt::ControlModifier);
        EXPECT_EQ(processEnds_, before + 1) << int(text[0]);
    }
}

TEST_F(KeysTest, KeysWithoutACharacterDoNothing) {
    // X11 gives Delete the text U+007F (also on the keypad); it counts as no character.
    press(Qt::Key_Delete, QString(QChar(0x7F)));
    press(Qt::Key_Delete, QString(QChar(0x7F)), Qt::KeypadModifier);
    press(Qt::Key_Delete, QString());
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_F5, Qt::Key_Shift, Qt::Key_Control,
                              Qt::Key_Insert, Qt::Key_Home, Qt::Key_PageDown}) {
        press(key, QString());
    }
    EXPECT_EQ(processEnds_, 0);
    EXPECT_EQ(player_.stops, 0);
}

TEST_F(KeysTest, SpaceShowsTheNextPictureAtOnceAndRestartsTheCount) {
    window_->form.Form_Activate();
    waitForPicture();
    window_->form.Timer1_Timer();
    window_->form.Timer1_Timer();
    press(Qt::Key_Space, " ");
    EXPECT_TRUE(window_->form.changingPicture());
    waitForPicture();
    EXPECT_EQ(window_->form.PicIndex, 1);
    EXPECT_EQ(window_->form.DelayCount, 0);
    EXPECT_TRUE(window_->form.Timer1.isActive());
}

// Left shows the picture before (from the first, the last), Right the next; neither ends the
// screen saver nor touches the music, and each restarts the count as space does.
TEST_F(KeysTest, ArrowKeysStepBackAndForthThroughThePictures) {
    QImage third(7, 5, QImage::Format_RGB32);
    third.fill(Qt::red);
    writeList({installDir() + "p0.png", installDir() + "p1.png", savePicture("p2.png", third)});
    loadForm(QSize(40, 30));
    window_->form.Form_Activate();
    waitForPicture();
    QList<int> shown;
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right, Qt::Key_Right}) {
        window_->form.Timer1_Timer();
        press(key, QString());
        waitForPicture();
        shown.append(window_->form.PicIndex);
        EXPECT_EQ(window_->form.DelayCount, 0);
    }
    EXPECT_EQ(shown, (QList<int>{2, 1, 2, 0}));
    EXPECT_EQ(window_->form.picture1Geometry.width(), 12);
    EXPECT_EQ(processEnds_, 0);
    EXPECT_EQ(player_.stops, 0);
}

TEST_F(KeysTest, SpaceDuringAPaintingAbandonsItForTheNextPicture) {
    window_->form.Form_Activate();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window_->form.painter().column() >= 2; }, 120000));
    press(Qt::Key_Space, " ");
    waitForPicture();
    EXPECT_EQ(window_->form.PicIndex, 1);
    EXPECT_EQ(window_->form.picture1Geometry.width(), 13);
    EXPECT_EQ(window_->form.painter().coloredBeams(), 14 * 7);  // the new painting, whole
    EXPECT_EQ(window_->form.DelayCount, 0);
    EXPECT_EQ(processEnds_, 0);
}

TEST_F(KeysTest, ALaterActivationChangesNothing) {
    window_->form.Form_Activate();
    waitForPicture();
    window_->form.Timer1_Timer();
    window_->form.Timer1_Timer();
    const QImage painted = canvas();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window_.get(), &activate);
    window_->form.Form_Activate();
    EXPECT_FALSE(window_->form.changingPicture());
    EXPECT_EQ(window_->form.DelayCount, 2);
    EXPECT_EQ(window_->form.PicIndex, 0);
    EXPECT_TRUE(window_->form.Timer1.isActive());
    EXPECT_EQ(canvas(), painted);
}

TEST_F(KeysTest, CalendarCaptionIsFilledAtOnceAndEveryTick) {
    settings_.write("Calendar", "1");
    makeForm(QSize(40, 30));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    window_->form.Form_Load();
    EXPECT_FALSE(window_->lblCal->text().isEmpty());
    clock_.dateTime = QDateTime(QDate(2026, 12, 6), QTime(13, 5, 9));
    window_->form.TimerCal_Timer();
    EXPECT_TRUE(window_->lblCal->text().startsWith("Sunday, Dec 6 2026 --- "))
        << window_->lblCal->text().toStdString();
}

// Where the locale puts a narrow no-break space before "PM" (newer locale data), the caption
// shows a space there, pixel for pixel the caption written with a plain space, and no box
// for a glyph that its font lacks.
TEST_F(KeysTest, CalendarCaptionShowsTheLocalesSpacesAsSpaces) {
    settings_.write("Calendar", "1");
    makeForm(QSize(300, 30));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    clock_.dateTime = QDateTime(QDate(2026, 12, 6), QTime(13, 5, 9));
    window_->form.Form_Load();
    window_->form.TimerCal_Timer();
    const QImage shown = window_->lblCal->grab().toImage();
    window_->lblCal->setText(QStringLiteral("Sunday, Dec 6 2026 --- 1:05:09 PM"));
    const QImage plain = window_->lblCal->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown, plain);
}

}  // namespace
}  // namespace lumi::display
