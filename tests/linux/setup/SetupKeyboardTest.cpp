// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QWheelEvent>

#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

// Keys as a person presses them: to the widget that has the keyboard focus in the active
// dialog, so that a key the focused control leaves alone travels on to its parents.
class SetupKeyboardTest : public SetupTest {
protected:
    std::unique_ptr<SetupDialog> openActiveDialog() {
        auto dialog = openDialog();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 120000));
        return dialog;
    }

    static void focus(QWidget* widget) {
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()))
            << qPrintable(widget->objectName());
    }

    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    static void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
};

TEST_F(SetupKeyboardTest, EnterDoesNothingUnlessAButtonHasTheFocus) {
    settings_.write("SoundOff", "15");
    const auto dialog = openActiveDialog();
    dialog->Picture1->List1->addItem("/p/a.jpg");
    settings_.writes.clear();

    // At opening, and on every kind of control that is not a button.
    press(Qt::Key_Return);
    for (QWidget* control : QList<QWidget*>{
             dialog->Picture1->List1, dialog->Picture1->hsbDelay, dialog->Picture1->hsbMouseS,
             dialog->Picture1->chkCalendar, dialog->Picture1->OptBG[1]}) {
        focus(control);
        press(Qt::Key_Return);
        press(Qt::Key_Enter, Qt::KeypadModifier);
    }
    dialog->SSTab1->setCurrentIndex(1);
    for (QWidget* control :
         QList<QWidget*>{dialog->Picture2->chkMusic, dialog->Picture2->chkMidi[4],
                         dialog->Picture2->cboSoundOff}) {
        focus(control);
        press(Qt::Key_Return);
        press(Qt::Key_Enter, Qt::KeypadModifier);
    }
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialogs_.shown, QStringList{});
    EXPECT_EQ(settings_.writes, QStringList{});
    EXPECT_TRUE(player_.plays.empty());

    // A focused button is clicked by Enter, whichever it is.
    focus(dialog->Picture2->cmdTest[2]);
    press(Qt::Key_Return);
    EXPECT_EQ(player_.plays, std::vector<std::string>{(installDir() + "3.mid").toStdString()});
    dialog->SSTab1->setCurrentIndex(0);
    focus(dialog->Picture1->cmdRestore);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    focus(dialog->cmdAbout);
    press(Qt::Key_Return);
    ASSERT_EQ(dialogs_.shown.size(), 2);
    EXPECT_TRUE(dialogs_.shown[0].startsWith("information|Corvanta Lumiscribe|"));
    EXPECT_TRUE(dialogs_.shown[1].startsWith("information|Lumiscribe Pictures Screensaver|"));
    focus(dialog->cmdOK);
    press(Qt::Key_Return);  // the list holds a picture: Close asks nothing
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SetupKeyboardTest, TypedTimesStoreNothingHoweverTheEditingEnds) {
    settings_.write("SoundOff", "30");
    const auto dialog = openActiveDialog();
    dialog->SSTab1->setCurrentIndex(1);
    settings_.writes.clear();
    for (const Qt::Key ending : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab}) {
        focus(dialog->Picture2->cboSoundOff);
        dialog->Picture2->cboSoundOff->lineEdit()->selectAll();
        type("15");
        press(ending);
    }
    focus(dialog->Picture2->cboSoundOff);
    dialog->Picture2->cboSoundOff->lineEdit()->selectAll();
    type("1");  // the first letters of "1", "10", "120": nothing fills in the rest
    EXPECT_EQ(dialog->Picture2->cboSoundOff->currentText(), "1");
    focus(dialog->Picture2->chkMusic);  // a click elsewhere
    EXPECT_EQ(settings_.writes, QStringList{});
    EXPECT_EQ(dialog->Picture2->cboSoundOff->currentIndex(),
              dialog->Picture2->cboSoundOff->findText("30"));
}

// The arrow keys and the wheel choose the item next to the current one, which after loading
// is the item of the loaded text; a number that is no item stands just above the largest item
// below it. Each choice stores its time; the end of the list chooses nothing.
TEST_F(SetupKeyboardTest, ArrowsAndWheelChooseOnFromTheLoadedItem) {
    struct Case {
        const char* stored;
        QStringList downThenUp;  // what Down and then Up store
        const char* wheeled;     // what one wheel notch down shows
    };
    for (const Case& c :
         {Case{"15", {"SoundOff=20", "SoundOff=15"}, "20"},
          Case{"0", {"SoundOff=1", "SoundOff=0"}, "1"}, Case{"480", {"SoundOff=420"}, "480"},
          Case{"7", {"SoundOff=10", "SoundOff=5"}, "10"},
          Case{"-2", {"SoundOff=1", "SoundOff=0"}, "1"},
          Case{"soon", {"SoundOff=1", "SoundOff=0"}, "1"}}) {
        settings_.write("SoundOff", c.stored);
        const auto dialog = openActiveDialog();
        dialog->SSTab1->setCurrentIndex(1);
        settings_.writes.clear();
        focus(dialog->Picture2->cboSoundOff);
        press(Qt::Key_Down);
        press(Qt::Key_Up);
        EXPECT_EQ(settings_.writes, c.downThenUp) << c.stored;

        settings_.write("SoundOff", c.stored);
        const auto wheeled = openActiveDialog();
        wheeled->SSTab1->setCurrentIndex(1);
        QWheelEvent notch(QPointF(5, 5), wheeled->Picture2->cboSoundOff->mapToGlobal(QPointF(5, 5)),
                          {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(wheeled->Picture2->cboSoundOff, &notch);
        EXPECT_EQ(wheeled->Picture2->cboSoundOff->currentText(), c.wheeled) << c.stored;
    }
}

// The wait before the idle starter runs: each arrow step is stored at once, typed minutes
// when typing ends, and nothing outside 0 to 120.
TEST_F(SetupKeyboardTest, IdleWaitStoresArrowStepsAndTypedMinutesWhenTypingEnds) {
    settings_.write("IdleWait", "119");
    const auto dialog = openActiveDialog();
    dialog->SSTab1->setCurrentIndex(2);
    settings_.writes.clear();
    focus(dialog->Picture4->spnIdleWait);
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    press(Qt::Key_A, Qt::ControlModifier);
    type("25");
    EXPECT_EQ(settings_.writes, QStringList{"IdleWait=120"});
    press(Qt::Key_Return);
    EXPECT_EQ(settings_.writes, QStringList({"IdleWait=120", "IdleWait=25"}));
    EXPECT_TRUE(dialog->isVisible());
}

// Tab runs from the tab bar through the page in front, top to bottom and left to right, to
// the button row and back to the tab bar, visiting every control that takes the focus once.
TEST_F(SetupKeyboardTest, TabVisitsTheTabBarThePageInReadingOrderAndTheButtonRow) {
    const auto dialog = openActiveDialog();
    QTabBar* const tabBar = dialog->SSTab1->tabBar();
    const QStringList buttonRow{"cmdAbout", "cmdWebsite", "cmdHelp", "cmdOK"};
    for (int page = 0; page < dialog->SSTab1->count(); ++page) {
        dialog->SSTab1->setCurrentIndex(page);
        focus(tabBar);
        QStringList visited;
        for (int i = 0; i < 80 && (visited.isEmpty() || QApplication::focusWidget() != tabBar);
             ++i) {
            press(Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        }
        ASSERT_EQ(QApplication::focusWidget(), tabBar) << qPrintable(visited.join(' '));
        visited.removeLast();
        EXPECT_EQ(visited.mid(visited.size() - 4), buttonRow) << page;

        // A group of option buttons is one stop; the arrow keys move within it.
        QStringList focusable;
        for (QWidget* control : dialog->SSTab1->widget(page)->findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) && control->isVisible() &&
                control->isEnabled() && control->focusProxy() == nullptr &&
                !QRegularExpression("^OptBG[123]$").match(control->objectName()).hasMatch()) {
                focusable.append(control->objectName());
            }
        }
        QStringList pageVisits = visited.mid(0, visited.size() - 4);
        focusable.sort();
        pageVisits.sort();
        EXPECT_EQ(pageVisits, focusable) << page;
        if (page == 1) {
            QStringList music{"chkMusic"};
            for (int row = 0; row < 5; ++row) {
                music << QString("chkMidi%1").arg(row) << QString("cmdTest%1").arg(row)
                      << QString("chkMidi%1").arg(row + 5) << QString("cmdTest%1").arg(row + 5);
            }
            music << "Command1"
                  << "cboSoundOff";
            EXPECT_EQ(visited.mid(0, visited.size() - 4), music);
        }
    }
}

// Each key that moves a bar stores the new value at once, as a click on the bar does.
TEST_F(SetupKeyboardTest, ScrollBarsMoveByKeysAndStoreEveryMove) {
    settings_.write("Delay", "30");
    settings_.write("MouseSen", "4");
    const auto dialog = openActiveDialog();
    settings_.writes.clear();
    focus(dialog->Picture1->hsbDelay);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_PageUp,
                              Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home}) {
        press(key);
    }
    EXPECT_EQ(settings_.writes, QStringList({"Delay=31", "Delay=30", "Delay=29", "Delay=39",
                                             "Delay=29", "Delay=300", "Delay=0"}));
    press(Qt::Key_Up);
    press(Qt::Key_Down);
    EXPECT_EQ(settings_.writes.mid(7), QStringList({"Delay=1", "Delay=0"}));
    EXPECT_EQ(dialog->Picture1->lblDelay->text(), "0 seconds");

    settings_.writes.clear();
    press(Qt::Key_Backtab);  // over the value box, back to the other bar
    press(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), dialog->Picture1->hsbMouseS);
    for (const Qt::Key key :
         {Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End}) {
        press(key);
    }
    EXPECT_EQ(settings_.writes, QStringList({"MouseSen=5", "MouseSen=10", "MouseSen=15",
                                             "MouseSen=1", "MouseSen=20"}));
    EXPECT_EQ(dialog->Picture1->txtMouseS->text(), "20");
}

}  // namespace
}  // namespace lumi::setup
