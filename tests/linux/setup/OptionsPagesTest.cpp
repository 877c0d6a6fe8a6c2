// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

// Picks `text` from the box's drop-down list with the mouse, as a user does.
void choose(QComboBox* box, const QString& text) {
    const QModelIndex item = box->model()->index(box->findText(text), 0);
    box->showPopup();
    box->view()->scrollTo(item);
    QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {},
                      box->view()->visualRect(item).center());
}

TEST_F(SetupTest, EachDisplayControlStoresItsKeyWhenItChanges) {
    settings_.write("Delay", "5");
    const auto dialog = openDialog();
    settings_.writes.clear();
    dialog->Picture1->hsbDelay->setValue(0);
    EXPECT_EQ(dialog->Picture1->lblDelay->text(), "0 seconds");
    dialog->Picture1->hsbMouseS->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dialog->Picture1->txtMouseS->text(), "2");
    click(dialog->Picture1->OptBG[0]);
    EXPECT_FALSE(dialog->Picture1->cmdAddBG->isEnabled());
    click(dialog->Picture1->chkCalendar);
    click(dialog->Picture1->chkCalendar);
    EXPECT_EQ(settings_.writes,
              QStringList({"Delay=0", "MouseSen=2", "BG=0", "Calendar=0", "Calendar=1"}));
}

TEST_F(SetupTest, CustomBackgroundThenACancelledDialogKeepsThePreviousPicture) {
    settings_.write("BGFile", "/old/bg.jpg");
    const QString empty = picture("empty.jpg", 0), sky = picture("sky.jpg");
    const auto dialog = openDialog();
    settings_.writes.clear();
    click(dialog->Picture1->OptBG[3]);
    EXPECT_TRUE(dialog->Picture1->cmdAddBG->isEnabled());
    click(dialog->Picture1->cmdAddBG);  // cancelled
    EXPECT_EQ(dialogs_.openCalls.last().section('|', -1), "single");
    EXPECT_EQ(settings_.writes, QStringList{"BG=3"});

    dialogs_.answers = {false};  // the empty file is refused: the old caption is stored again
    for (const QString& path : {empty, sky}) {
        dialogs_.selection = path;
        click(dialog->Picture1->cmdAddBG);
    }
    EXPECT_EQ(settings_.writes, QStringList({"BG=3", "BGFile=/old/bg.jpg", "BGFile=" + sky}));
}

TEST_F(SetupTest, TheMorePageCheckBoxesLoadAndStoreFitLargeAndShuffle) {
    settings_.write("FitLarge", "1");
    settings_.write("Shuffle", "yes");  // no number: 0, as the display reads it
    const auto dialog = openDialog();
    EXPECT_TRUE(dialog->Picture4->chkFitLarge->isChecked());
    EXPECT_FALSE(dialog->Picture4->chkShuffle->isChecked());
    dialog->SSTab1->setCurrentIndex(2);
    settings_.writes.clear();
    click(dialog->Picture4->chkFitLarge);
    click(dialog->Picture4->chkShuffle);
    click(dialog->Picture4->chkShuffle);
    EXPECT_EQ(settings_.writes, QStringList({"FitLarge=0", "Shuffle=1", "Shuffle=0"}));
}

// Loaded as the page's other check boxes load (a number above the range counts as 1), and
// stored at each click.
TEST_F(SetupTest, ThePhotoDateCheckBoxLoadsAndStoresPhotoDate) {
    const struct {
        const char* stored;
        bool checked;
    } cases[] = {{"1", true}, {"0", false}, {"2", true}, {"", false}, {"yes", false}};
    for (const auto& c : cases) {
        settings_.write("PhotoDate", c.stored);
        const auto dialog = openDialog();
        EXPECT_EQ(dialog->Picture4->chkPhotoDate->isChecked(), c.checked) << c.stored;
        EXPECT_EQ(dialog->Picture4->chkPhotoDate->text(), "Show the date each photo was taken");
        dialog->SSTab1->setCurrentIndex(2);
        settings_.writes.clear();
        click(dialog->Picture4->chkPhotoDate);
        click(dialog->Picture4->chkPhotoDate);
        const QStringList expected = c.checked ? QStringList{"PhotoDate=0", "PhotoDate=1"}
                                               : QStringList{"PhotoDate=1", "PhotoDate=0"};
        EXPECT_EQ(settings_.writes, expected) << c.stored;
    }
}

TEST_F(SetupTest, TheMorePageLockBoxLoadsAndStoresLockScreenAtOnce) {
    settings_.write("LockScreen", "1");
    const auto dialog = openDialog();
    EXPECT_TRUE(dialog->Picture4->chkLockScreen->isChecked());
    EXPECT_EQ(dialog->Picture4->chkLockScreen->text(),
              "Lock the screen when the screen saver ends");
    EXPECT_TRUE(dialog->Picture4->lblLockNote->text().contains("\"Lock screen after\""));
    dialog->SSTab1->setCurrentIndex(2);
    settings_.writes.clear();
    click(dialog->Picture4->chkLockScreen);
    click(dialog->Picture4->chkLockScreen);
    EXPECT_EQ(settings_.writes, QStringList({"LockScreen=0", "LockScreen=1"}));
}

TEST_F(SetupTest, AddToXScreenSaverWritesTheEntryAndSaysWhatItDid) {
    const auto dialog = openDialog();
    dialog->SSTab1->setCurrentIndex(2);
    settings_.writes.clear();
    EXPECT_EQ(dialog->Picture4->cmdAddToXScreenSaver->text(), "Add Lumiscribe to XScreenSaver");

    // The home folder does not exist yet: the file cannot be made.
    click(dialog->Picture4->cmdAddToXScreenSaver);
    ASSERT_EQ(dialogs_.shown.size(), 1);
    EXPECT_TRUE(
        dialogs_.shown.last().startsWith("error|Corvanta Lumiscribe|Lumiscribe could not "
                                         "be added to XScreenSaver's list"))
        << dialogs_.shown.last().toStdString();

    writeBytes(xscreensaverFile(), "mode: one\n");
    click(dialog->Picture4->cmdAddToXScreenSaver);
    click(dialog->Picture4->cmdAddToXScreenSaver);
    ASSERT_EQ(dialogs_.shown.size(), 3);
    EXPECT_TRUE(dialogs_.shown.at(1).startsWith(
        "information|Corvanta Lumiscribe|Lumiscribe is now in XScreenSaver's list"))
        << dialogs_.shown.at(1).toStdString();
    EXPECT_TRUE(dialogs_.shown.at(2).startsWith(
        "information|Corvanta Lumiscribe|Lumiscribe is already in XScreenSaver's list"));
    EXPECT_EQ(testing::fileBytes(xscreensaverFile()),
              "mode: one\nprograms:\\\n  \"Lumiscribe\"  lumiscribe-xscreensaver --root \\n\n");
    EXPECT_EQ(testing::fileBytes(xscreensaverFile() + ".lumiscribe-backup"), "mode: one\n");
    EXPECT_TRUE(settings_.writes.isEmpty());
}

TEST_F(SetupTest, EachMusicControlStoresItsKey) {
    settings_.write("SoundOff", "15");
    const auto dialog = openDialog();
    dialog->SSTab1->setCurrentIndex(1);
    settings_.writes.clear();
    click(dialog->Picture2->chkMusic);
    click(dialog->Picture2->chkMidi[9]);
    click(dialog->Picture2->chkMidi[9]);
    choose(dialog->Picture2->cboSoundOff, "Never");
    choose(dialog->Picture2->cboSoundOff, "480");
    EXPECT_EQ(settings_.writes,
              QStringList({"Music=0", "MIDI10=0", "MIDI10=1", "SoundOff=0", "SoundOff=480"}));
}

TEST_F(SetupTest, TestButtonsPlayTheirTuneFromTheInstallFolderAndStopStops) {
    const auto dialog = openDialog();
    dialog->SSTab1->setCurrentIndex(1);
    click(dialog->Picture2->cmdTest[0]);
    click(dialog->Picture2->cmdTest[9]);
    EXPECT_EQ(player_.plays, (std::vector<std::string>{(installDir() + "1.mid").toStdString(),
                                                  (installDir() + "10.mid").toStdString()}));
    EXPECT_EQ(player_.lastReserved1, 0);
    EXPECT_EQ(player_.lastReserved2, -1);
    click(dialog->Picture2->Command1);
    EXPECT_EQ(player_.stops, 1);
    EXPECT_EQ(dialogs_.shown, QStringList{});  // a player that sounds says nothing
}

// A player that cannot sound is reported once per process, also when it learns it only
// while the tune starts.
TEST_F(SetupTest, TheFirstTestOfAPlayerThatCannotSoundSaysWhyOnce) {
    const auto dialog = openDialog();
    dialog->SSTab1->setCurrentIndex(1);
    click(dialog->Picture2->cmdTest[0]);
    EXPECT_EQ(dialogs_.shown, QStringList{});
    player_.silence = "there is no sound device or sound server";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialogs_.shown.isEmpty(); }, 120000));
    click(dialog->Picture2->cmdTest[1]);
    click(dialog->Picture2->cmdTest[2]);
    QTest::qWait(300);
    EXPECT_EQ(dialogs_.shown,
              QStringList{"information|Corvanta Lumiscribe|The tunes cannot be heard on this "
                          "computer: there is no sound device or sound server."});
}

}  // namespace
}  // namespace lumi::setup
