// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QUrl>

#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

TEST_F(SetupTest, NoListFileGivesABlankCountAndCloseAsksNoThenYes) {
    const auto dialog = openDialog();
    EXPECT_EQ(dialog->Picture1->List1->count(), 0);
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "");
    const QString warning =
        "question|No File Warning|There are no pictures in the list. This will create an "
        "error!  Do you wish to close anyway?";
    dialogs_.answers = {false, true};
    click(dialog->cmdOK);
    EXPECT_EQ(dialogs_.shown, QStringList{warning});
    EXPECT_TRUE(dialog->isVisible());
    click(dialog->cmdOK);
    EXPECT_EQ(dialogs_.shown, QStringList(2, warning));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(listBytes(), "<missing>");  // closing writes nothing
}

TEST_F(SetupTest, ListFileEntriesShowInOrderAndAnEmptyFileLeavesTheCountBlank) {
    writeBytes(listFile(), lines({"/p/c.jpg", "/p/a, b.jpg", "/p/b.jpg"}));
    const auto dialog = openDialog();
    EXPECT_EQ(dialog->Picture1->listEntries(),
              QStringList({"/p/c.jpg", "/p/a, b.jpg", "/p/b.jpg"}));
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "3");
    EXPECT_EQ(dialog->Picture1->listIndex(), -1);
    click(dialog->cmdOK);  // no question
    EXPECT_FALSE(dialog->isVisible());

    writeBytes(listFile(), "");
    EXPECT_EQ(openDialog()->Picture1->lblNum->text(), "");
}

TEST_F(SetupTest, LoadingWritesBackOnlyWhatChangesAControl) {
    settings_.write("BG", "3");
    settings_.write("BGFile", "/pics/sky.jpg");
    settings_.write("Delay", "0");
    settings_.writes.clear();
    const auto dialog = openDialog();
    // "Delay" 0 and "MouseSen" 1 are what the bars show already; "SoundOff" is text.
    QStringList expected{"BG=3", "Music=1"};
    for (int n = 1; n <= 10; ++n) {
        expected.append(QString("MIDI%1=1").arg(n));
    }
    expected << "Calendar=1"
             << "IdleWait=10";
    EXPECT_EQ(settings_.writes, expected);
    EXPECT_EQ(dialog->Picture1->lblDelay->text(), "0");
    EXPECT_EQ(dialog->Picture1->txtMouseS->text(), "1");
    EXPECT_TRUE(dialog->Picture1->OptBG[3]->isChecked());
    EXPECT_TRUE(dialog->Picture1->cmdAddBG->isEnabled());
    EXPECT_EQ(dialog->Picture1->lblBG->text(), "/pics/sky.jpg");
    EXPECT_EQ(dialog->Picture2->cboSoundOff->currentText(), "Never");  // nothing stored
    EXPECT_FALSE(player_.visible);
}

// Opened before the display's first start, the dialog first writes the first-run values, as
// the display would, and then shows and writes back what the display will use.
TEST_F(SetupTest, AnEmptyStoreGetsTheFirstRunValuesBeforeLoading) {
    settings_ = testing::FakeSettingsStore{};
    const auto dialog = openDialog();
    QStringList midi;
    for (int n = 1; n <= 10; ++n) {
        midi.append(QString("MIDI%1=1").arg(n));
    }
    const QStringList expected =
        midi +
        QStringList{"BG=3", "Calendar=0", "Delay=5", "MouseSen=4", "Music=1", "SoundOff=0",
                    "BGFile=" + installDir() + "bg.jpg", "IdleWait=10", "FitLarge=0", "Shuffle=0",
                    "PhotoDate=0", "LockScreen=0", "SetReg=2",
                    // the load: every control whose value changed writes it back
                    "BG=3", "Delay=5", "MouseSen=4", "Music=1"} +
        midi + QStringList{"IdleWait=10"};
    EXPECT_EQ(settings_.writes, expected);
    EXPECT_EQ(dialog->Picture1->lblDelay->text(), "5 seconds");
    EXPECT_EQ(dialog->Picture1->txtMouseS->text(), "4");
    EXPECT_FALSE(dialog->Picture1->chkCalendar->isChecked());
    EXPECT_EQ(dialog->Picture1->lblBG->text(), installDir() + "bg.jpg");
    EXPECT_EQ(dialog->Picture2->cboSoundOff->currentText(), "Never");

    // A "SetReg" other than 2 keeps the values already stored.
    settings_.write("SetReg", "3");
    settings_.write("Delay", "40");
    settings_.writes.clear();
    EXPECT_EQ(openDialog()->Picture1->hsbDelay->value(), 40);
    EXPECT_EQ(settings_.writes.first(), "SetReg=2");
}

TEST_F(SetupTest, SoundOffShowsNeverForZeroOrWhatDoesNotConvertAndOtherMinutesAsRead) {
    for (const auto& [stored, shown] :
         {std::pair{"0", "Never"}, std::pair{"15", "15"}, std::pair{"", "Never"},
          std::pair{" 0.0 ", "Never"}, std::pair{"soon", "Never"}, std::pair{" 7 ", "7"},
          std::pair{"40000", "Never"}}) {
        settings_.write("SoundOff", stored);
        EXPECT_EQ(openDialog()->Picture2->cboSoundOff->currentText(), shown) << stored;
        EXPECT_EQ(settings_.read("SoundOff", ""), stored);  // loading stores nothing
    }
}

// A value that does not convert shows as the display keeps it (Delay 5, the others 0); a
// number outside a control's range as the nearest value inside it; a check box as the
// display acts on the value.
TEST_F(SetupTest, StoredValuesThatDoNotConvertOrAreOutOfRangeShowAsTheDisplayUsesThem) {
    struct Case {
        const char* key;
        const char* stored;
        int value;
    };
    for (const Case& c :
         {Case{"Delay", "soon", 5}, Case{"Delay", "400", 300}, Case{"Delay", "99999", 5},
          Case{"Delay", "-3", 0}, Case{"Delay", "7.5", 8}, Case{"MouseSen", "0", 1},
          Case{"MouseSen", "21", 20}, Case{"BG", "7", 1}, Case{"BG", "-1", 1},
          Case{"BG", "grey", 1}, Case{"BG", "2", 2}, Case{"Music", "2", 1}, Case{"Music", "-1", 1},
          Case{"Midi4", "x", 0}, Case{"Midi4", "2", 0}, Case{"Calendar", "-1", 0},
          Case{"IdleWait", "soon", 10}, Case{"IdleWait", "121", 120}, Case{"IdleWait", "-3", 0}}) {
        settings_.write(c.key, c.stored);
        const auto d = openDialog();
        const int bg = d->Picture1->OptBG[0]->isChecked()   ? 0
                       : d->Picture1->OptBG[1]->isChecked() ? 1
                       : d->Picture1->OptBG[2]->isChecked() ? 2
                                                            : 3;
        const QMap<QString, int> values{{"Delay", d->Picture1->hsbDelay->value()},
                                        {"MouseSen", d->Picture1->hsbMouseS->value()},
                                        {"BG", bg},
                                        {"Music", d->Picture2->chkMusic->isChecked()},
                                        {"Midi4", d->Picture2->chkMidi[3]->isChecked()},
                                        {"Calendar", d->Picture1->chkCalendar->isChecked()},
                                        {"IdleWait", d->Picture4->spnIdleWait->value()}};
        EXPECT_EQ(values[c.key], c.value) << c.key << "=" << c.stored;
        settings_.write(c.key, "1");
    }
}

TEST_F(SetupTest, RestoreStoresTheDefaultsButLeavesControlsAndListAlone) {
    writeBytes(listFile(), lines({"/p/a.jpg"}));
    settings_.write("Delay", "30");
    const auto dialog = openDialog();
    settings_.writes.clear();
    click(dialog->Picture1->cmdRestore);
    QStringList expected;
    for (int n = 1; n <= 10; ++n) {
        expected.append(QString("MIDI%1=1").arg(n));
    }
    expected << "BG=3"
             << "Calendar=0"
             << "Delay=5"
             << "MouseSen=4"
             << "Music=1"
             << "SoundOff=0"
             << "BGFile=" + installDir() + "bg.jpg"
             << "IdleWait=10"
             << "FitLarge=0"
             << "Shuffle=0"
             << "PhotoDate=0";
    EXPECT_EQ(settings_.writes, expected);
    EXPECT_EQ(dialogs_.shown,
              QStringList{"information|Corvanta Lumiscribe|Settings have been restored"});
    EXPECT_EQ(dialog->Picture1->hsbDelay->value(), 30);
    EXPECT_EQ(dialog->Picture1->listEntries(), QStringList{"/p/a.jpg"});
    EXPECT_EQ(listBytes(), lines({"/p/a.jpg"}));
    EXPECT_EQ(openDialog()->Picture1->hsbDelay->value(), 5);
}

TEST_F(SetupTest, HelpWebsiteAboutAndTheKeysThatDoNotClose) {
    QDir().mkpath(installDir() + "doc");
    writeBytes(helpPage(), "<html></html>");
    const auto dialog = openDialog();
    click(dialog->cmdHelp);
    click(dialog->cmdWebsite);
    ASSERT_EQ(shell_.opened.size(), 2);
    EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(helpPage()).toString());
    EXPECT_FALSE(shell_.opened[1].contains(".example"));  // never a placeholder address
    click(dialog->cmdAbout);
    ASSERT_EQ(dialogs_.shown.size(), 1);
    EXPECT_TRUE(dialogs_.shown[0].startsWith(
        "information|Lumiscribe Pictures Screensaver|Lumiscribe v 1.02\n"));

    // Without a browser a message names the page.
    shell_.browser = false;
    click(dialog->cmdHelp);
    ASSERT_EQ(dialogs_.shown.size(), 2);
    EXPECT_TRUE(dialogs_.shown[1].startsWith("information|Corvanta Lumiscribe|"));
    EXPECT_TRUE(dialogs_.shown[1].endsWith("\n" + helpPage())) << qPrintable(dialogs_.shown[1]);
    // A missing page is named, and no browser is asked.
    QFile::remove(helpPage());
    click(dialog->cmdHelp);
    EXPECT_EQ(shell_.opened.size(), 3);
    ASSERT_EQ(dialogs_.shown.size(), 3);
    EXPECT_EQ(dialogs_.shown[2],
              "error|Corvanta Lumiscribe|The page " + helpPage() + " is missing.");

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();  // the window's own close: no warning
    EXPECT_EQ(dialogs_.shown.size(), 3);
}

}  // namespace
}  // namespace lumi::setup
