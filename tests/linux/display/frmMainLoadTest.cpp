// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include "display/DisplayFixture.h"

namespace lumi::display {
namespace {

// A display form on fakes, loaded from the settings and files each test puts in place.
class FormLoadTest : public testing::DisplayFixture {
protected:
    frmMain* loadedForm() {
        frmMain& form = makeForm(QSize(1000, 500));
        form.Form_Load();
        return &form;
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(installDir() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void initialised() { settings_.write("SetReg", "2"); }
};

TEST_F(FormLoadTest, EmptyStoreGetsTheFirstRunValuesAndTheFormReadsThem) {
    const auto form = loadedForm();
    EXPECT_EQ(settings_.writes.size(), 23);
    EXPECT_EQ(settings_.writes.last(), "SetReg=2");
    EXPECT_EQ(form->Delay, 5);
    EXPECT_EQ(form->MouseSen, 4);
    EXPECT_EQ(form->MusicOn, 1);
    EXPECT_EQ(form->CalendarOn, 0);
    EXPECT_EQ(form->PhotoDateOn, 0);
    EXPECT_EQ(form->soundOff.SoundOffMinutes, 0);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(form->playlist.MidiChecked[n], 1) << n;
    }
    EXPECT_FALSE(player_.visible);
    EXPECT_TRUE(form->TimerMIDI.isActive());
    EXPECT_TRUE(form->Timer3.isActive());
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_FALSE(form->TimerCal.isActive());
}

TEST_F(FormLoadTest, InitialisedStoreIsNotWrittenAgain) {
    initialised();
    settings_.writes.clear();
    loadedForm();
    EXPECT_TRUE(settings_.writes.isEmpty());
}

TEST_F(FormLoadTest, FirstRunValuesAreWrittenAgainWhenSetRegIsNotTwo) {
    for (const char* setReg : {"3", "0", "abc", "2.4"}) {
        settings_.write("SetReg", setReg);
        settings_.writes.clear();
        loadedForm();
        const bool rewritten = !settings_.writes.isEmpty();
        EXPECT_EQ(rewritten, QString(setReg) != "2.4") << setReg;
    }
}

TEST_F(FormLoadTest, WithoutAListFileTheFallbackPictureIsListed) {
    const auto form = loadedForm();
    EXPECT_EQ(entriesOf(*form), QStringList{installDir() + "default.jpg"});
    EXPECT_EQ(form->List1.listIndex, 0);
    EXPECT_EQ(form->LastPic, 0);
}

TEST_F(FormLoadTest, ListFileEntriesAreListedInOrderWithTheFirstCurrent) {
    writeFile("List.txt", "\"/p/a.jpg\"\r\n\"/p/b.jpg\"\r\n\"/p/c.jpg\"\r\n");
    const auto form = loadedForm();
    EXPECT_EQ(entriesOf(*form), (QStringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}));
    EXPECT_EQ(form->LastPic, 2);
    EXPECT_EQ(form->List1.listIndex, 0);
}

// A folder entry stands for its pictures, read afresh at every start; a folder without
// pictures stays as one entry, which then fails to load like a missing file.
TEST_F(FormLoadTest, FolderEntriesAreExpandedAtEachStart) {
    initialised();
    QDir(installDir()).mkpath("pics/empty");
    const QString pics = installDir() + "pics";
    for (const char* name : {"IMG_10.jpg", "IMG_2.JPG", "notes.txt"}) {
        writeFile(QStringLiteral("pics/") + name, "");
    }
    const QStringList list{pics + "/", "/p/a.jpg", pics + "/empty"};
    ASSERT_FALSE(settings::writePictureList(installDir() + "List.txt", list).has_value());
    EXPECT_EQ(entriesOf(*loadedForm()), (QStringList{pics + "/IMG_2.JPG", pics + "/IMG_10.jpg",
                                                        "/p/a.jpg", pics + "/empty"}));

    writeFile("pics/IMG_3.png", "");
    const auto form = loadedForm();
    EXPECT_EQ(entriesOf(*form).mid(0, 3),
              (QStringList{pics + "/IMG_2.JPG", pics + "/IMG_3.png", pics + "/IMG_10.jpg"}));
    EXPECT_EQ(form->LastPic, 4);
}

TEST_F(FormLoadTest, EmptyListFileListsTheFallbackPicture) {
    writeFile("List.txt", "");
    const auto form = loadedForm();
    EXPECT_EQ(entriesOf(*form), QStringList{installDir() + "default.jpg"});
    EXPECT_EQ(form->LastPic, 0);
}

TEST_F(FormLoadTest, BackgroundChoices) {
    initialised();
    struct Case {
        const char* bg;
        ColorValue color;
    };
    for (const Case& c : {Case{"0", kWhite}, Case{"1", kBlack}, Case{"2", kButtonFace},
                          Case{"7", kBlack}, Case{" 2 ", kButtonFace}, Case{"x", kBlack}}) {
        settings_.write("BG", c.bg);
        const auto form = loadedForm();
        EXPECT_EQ(form->backColor(), c.color) << c.bg;
        EXPECT_TRUE(window().backgroundImage().isNull()) << c.bg;
    }
}

TEST_F(FormLoadTest, BackgroundPictureIsLoadedOverBlack) {
    initialised();
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    ASSERT_TRUE(picture.save(installDir() + "back.png"));
    settings_.write("BG", "3");
    settings_.write("BGFile", (installDir() + "back.png").toStdString());
    const auto form = loadedForm();
    EXPECT_EQ(form->backColor(), kBlack);
    ASSERT_EQ(window().backgroundImage().size(), QSize(3, 2));
    EXPECT_EQ(window().backgroundImage().pixelColor(2, 1), QColor(10, 20, 30));
}

TEST_F(FormLoadTest, BackgroundPictureKeepsOnlyWhatTheScreenShows) {
    initialised();
    QImage picture(1200, 700, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    picture.setPixel(999, 499, qRgb(250, 1, 2));
    ASSERT_TRUE(picture.save(installDir() + "wide.png"));
    settings_.write("BG", "3");
    settings_.write("BGFile", (installDir() + "wide.png").toStdString());
    loadedForm();  // on a 1000 x 500 screen
    ASSERT_EQ(window().backgroundImage().size(), QSize(1000, 500));
    EXPECT_EQ(window().backgroundImage().pixel(999, 499), qRgb(250, 1, 2));
}

TEST_F(FormLoadTest, MissingBackgroundPictureLeavesBlackAndTheLoadCompletes) {
    initialised();
    settings_.write("BG", "3");
    settings_.write("BGFile", (installDir() + "missing.jpg").toStdString());
    settings_.write("Delay", "9");
    const auto form = loadedForm();
    EXPECT_EQ(form->backColor(), kBlack);
    EXPECT_TRUE(window().backgroundImage().isNull());
    EXPECT_EQ(form->Delay, 9);
    EXPECT_EQ(cursor_.calls, QList<bool>{false});
}

TEST_F(FormLoadTest, MusicOffStopsTheMusicTimer) {
    initialised();
    settings_.write("Music", "0");
    EXPECT_FALSE(loadedForm()->TimerMIDI.isActive());
}

TEST_F(FormLoadTest, OnlyCalendarOneShowsTheStripAtItsPlace) {
    initialised();
    settings_.write("Calendar", "2");
    const auto hidden = loadedForm();
    EXPECT_FALSE(hidden->TimerCal.isActive());
    EXPECT_TRUE(window().picCal->isHidden());

    settings_.write("Calendar", "1");
    const auto shown = loadedForm();
    EXPECT_TRUE(shown->TimerCal.isActive());
    EXPECT_FALSE(window().picCal->isHidden());
    // 500 - 500 * 0.078 = 461: the strip's top at 92.2 % of the screen height.
    EXPECT_EQ(window().picCal->geometry(), QRect(5, 461, 271, 25));
}

TEST_F(FormLoadTest, SoundOffLimitFromTheStoredMinutes) {
    initialised();
    struct Case {
        const char* minutes;
        qint16 seconds;
    };
    for (const Case& c : {Case{"0", 0}, Case{"1", 60}, Case{"45", 2700}, Case{"480", 28800},
                          Case{"7", 0}, Case{"-5", 0}}) {
        settings_.write("SoundOff", c.minutes);
        EXPECT_EQ(loadedForm()->soundOff.SoundOffSeconds, c.seconds) << c.minutes;
    }
}

// Whichever background branch runs, a stored value that does not convert leaves its member as
// it was before the read: Delay 5, the others 0.
TEST_F(FormLoadTest, StoredValuesThatDoNotConvertLeaveTheirMembersAsTheyWere) {
    for (const char* bg : {"1", "3", "abc"}) {
        SCOPED_TRACE(bg);
        settings_ = testing::FakeSettingsStore{};
        initialised();
        settings_.write("BG", bg);
        settings_.write("Delay", "soon");
        settings_.write("MouseSen", "");
        settings_.write("Music", "40000");
        settings_.write("Midi4", "99999");
        settings_.write("Calendar", "-40000");
        settings_.write("SoundOff", "abc");
        settings_.writes.clear();
        const auto form = loadedForm();
        EXPECT_EQ(form->Delay, 5);
        EXPECT_EQ(form->MouseSen, 0);
        EXPECT_EQ(form->MusicOn, 0);
        EXPECT_FALSE(form->TimerMIDI.isActive());
        EXPECT_EQ(form->playlist.MidiChecked[4], 0);
        EXPECT_EQ(form->playlist.MidiChecked[5], 1);  // missing: the read default
        EXPECT_EQ(form->CalendarOn, 0);
        EXPECT_TRUE(window().picCal->isHidden());
        EXPECT_EQ(form->soundOff.SoundOffMinutes, 0);
        EXPECT_EQ(form->backColor(), kBlack);
        EXPECT_TRUE(settings_.writes.isEmpty());
    }
}

TEST_F(FormLoadTest, CursorIsHiddenExactlyOnceWhateverTheSettings) {
    initialised();
    settings_.write("BG", "3");
    settings_.write("Calendar", "1");
    settings_.write("SoundOff", "7");
    loadedForm();
    EXPECT_EQ(cursor_.calls, QList<bool>{false});
    EXPECT_EQ(cursor_.count, -1);
}

TEST_F(FormLoadTest, CloseDownShowsTheCursorClearsTheFlagAndEndsTheProcess) {
    const auto form = loadedForm();
    windows_.screenSaverRunning = true;
    form->CloseDown();
    EXPECT_EQ(cursor_.calls, (QList<bool>{false, true}));
    EXPECT_EQ(windows_.runningCalls, QList<bool>{false});
    EXPECT_EQ(processEnds_, 1);
}

}  // namespace
}  // namespace lumi::display
