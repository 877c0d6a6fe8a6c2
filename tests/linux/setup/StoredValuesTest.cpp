// SPDX-License-Identifier: GPL-3.0-or-later
// Stored values that a hand-edited settings file may hold, as each program that reads them
// uses them and as the Setup dialog shows them: the dialog must show what the display (or
// the idle starter) will use, and store back only a value that it read as stored.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>

#include <array>
#include <functional>
#include <map>

#include "linux/display/DisplayWindow.h"
#include "linux/idle/IdleOptions.h"
#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

// The texts of every row, in this order: text, empty, out of range both ways, a fraction, and
// a number with spaces about it.
constexpr std::array<const char*, 6> kStored{"abc", "", "40000", "-40000", "2.5", " 7 "};

struct Outcome {
    int used;             // what the reader uses
    int shown;            // what the dialog shows
    const char* written;  // what loading the dialog stores for the key; nullptr: nothing
};

struct Row {
    QString key;
    std::array<Outcome, kStored.size()> outcomes;
};

// Delay keeps 5, the others 0; a number that converts is used as it is. The dialog brings it
// into its control's range, and shows a check box checked only when the display acts on the
// value as on 1 ("Music": on anything but 0).
const std::vector<Row>& rows() {
    static const std::vector<Row> table = [] {
        const Outcome none{0, 0, nullptr};
        std::vector<Row> rows{
            {"Delay",
             {{{5, 5, nullptr},
               {5, 5, nullptr},
               {5, 5, nullptr},
               {5, 5, nullptr},
               {2, 2, "2"},
               {7, 7, "7"}}}},
            {"MouseSen",
             {{{0, 1, nullptr},
               {0, 1, nullptr},
               {0, 1, nullptr},
               {0, 1, nullptr},
               {2, 2, "2"},
               {7, 7, "7"}}}},
            {"Music", {{none, none, none, none, {2, 1, nullptr}, {7, 1, nullptr}}}},
            {"Calendar", {{none, none, none, none, {2, 0, nullptr}, {7, 0, nullptr}}}},
            {"SoundOff", {{none, none, none, none, {2, 2, nullptr}, {7, 7, nullptr}}}},
            // 1 is black: the display keeps its designed black for a "BG" that names none.
            {"BG",
             {{{1, 1, nullptr},
               {1, 1, nullptr},
               {1, 1, nullptr},
               {1, 1, nullptr},
               {1, 1, nullptr},
               {1, 1, nullptr}}}},
            {"FitLarge", {{none, none, none, none, none, none}}},
            {"Shuffle", {{none, none, none, none, none, none}}},
            // The idle starter keeps the wait in force, at its start the default of 10.
            {"IdleWait",
             {{{10, 10, nullptr},
               {10, 10, nullptr},
               {10, 10, nullptr},
               {10, 10, nullptr},
               {2, 2, "2"},
               {7, 7, "7"}}}},
            // 1: the first-run values are written (and "SetReg" "2" last).
            {"SetReg",
             {{{1, 1, "2"}, {1, 1, "2"}, {1, 1, "2"}, {1, 1, "2"}, {0, 0, nullptr}, {1, 1, "2"}}}},
        };
        for (int n = 1; n <= 10; ++n) {
            rows.push_back({QString("MIDI%1").arg(n),
                            {{none, none, none, none, {2, 0, nullptr}, {7, 0, nullptr}}}});
        }
        return rows;
    }();
    return table;
}

class StoredValuesTest : public SetupTest {
protected:
    // What the display (the idle starter for "IdleWait") uses for `key` after it loads.
    int used(const QString& key) {
        if (key == "IdleWait") {
            return int(idle::idleWaitOf(settings_).count());
        }
        display::DisplayWindow window(display::DisplayServices{
            settings_, cursor_, windows_, clock_, player_, installDir(), QSize(40, 30), [] {}});
        display::frmMain& form = window.form;
        form.Form_Load();
        if (key.startsWith("MIDI")) {
            return form.playlist.MidiChecked[key.mid(4).toInt()];
        }
        const std::map<QString, std::function<int()>> members{
            {"Delay", [&] { return form.Delay; }},
            {"MouseSen", [&] { return form.MouseSen; }},
            {"Music", [&] { return form.MusicOn; }},
            {"Calendar", [&] { return form.CalendarOn; }},
            {"SoundOff", [&] { return form.soundOff.SoundOffMinutes; }},
            {"BG",
             [&] {
                 return form.backgroundPicture().ok()              ? 3
                        : form.backColor() == display::kWhite      ? 0
                        : form.backColor() == display::kButtonFace ? 2
                                                                   : 1;
             }},
            {"FitLarge", [&] { return int(form.shrinksLargePictures()); }},
            {"Shuffle", [&] { return int(form.showOrder() == display::ShowOrder::Shuffle); }},
            {"SetReg", [&] { return int(settings_.writes.contains("SetReg=2")); }},
        };
        return members.at(key)();
    }

    // What a dialog opened on the store shows for `key`.
    static int shown(const SetupDialog& d, const QString& key,
                     const testing::FakeSettingsStore& s) {
        if (key.startsWith("MIDI")) {
            return d.Picture2->chkMidi[key.mid(4).toInt() - 1]->isChecked();
        }
        const std::map<QString, std::function<int()>> controls{
            {"Delay", [&] { return d.Picture1->hsbDelay->value(); }},
            {"MouseSen", [&] { return d.Picture1->hsbMouseS->value(); }},
            {"Music", [&] { return int(d.Picture2->chkMusic->isChecked()); }},
            {"Calendar", [&] { return int(d.Picture1->chkCalendar->isChecked()); }},
            {"SoundOff",
             [&] {
                 const QString text = d.Picture2->cboSoundOff->currentText();
                 return text == "Never" ? 0 : text.toInt();
             }},
            {"BG",
             [&] {
                 for (int i = 0; i < 4; ++i) {
                     if (d.Picture1->OptBG[i]->isChecked()) {
                         return i;
                     }
                 }
                 return -1;
             }},
            {"FitLarge", [&] { return int(d.Picture4->chkFitLarge->isChecked()); }},
            {"Shuffle", [&] { return int(d.Picture4->chkShuffle->isChecked()); }},
            {"IdleWait", [&] { return d.Picture4->spnIdleWait->value(); }},
            {"SetReg", [&] { return int(s.writes.contains("SetReg=2")); }},
        };
        return controls.at(key)();
    }

    // The values that the load stored under `key`, in order.
    QStringList writesOf(const QString& key) const {
        QStringList values;
        for (const QString& write : settings_.writes) {
            if (write.section('=', 0, 0).compare(key, Qt::CaseInsensitive) == 0) {
                values.append(write.section('=', 1));
            }
        }
        return values;
    }

    void storeOnly(const QString& key, const QString& stored) {
        settings_ = testing::FakeSettingsStore{};
        if (key != "SetReg") {
            settings_.write("SetReg", "2");
        }
        settings_.write(key.toStdString(), stored.toStdString());
        settings_.writes.clear();
    }

    testing::FakeCursor cursor_;
    testing::FakeWindowServices windows_;
    testing::FakeClock clock_;
};

TEST_F(StoredValuesTest, SetupShowsWhatTheReaderUsesAndStoresBackOnlyWhatItReadAsStored) {
    for (const Row& row : rows()) {
        for (std::size_t i = 0; i < kStored.size(); ++i) {
            const Outcome& expected = row.outcomes[i];
            SCOPED_TRACE(QString("%1=\"%2\"").arg(row.key, kStored[i]).toStdString());

            storeOnly(row.key, kStored[i]);
            EXPECT_EQ(used(row.key), expected.used);

            storeOnly(row.key, kStored[i]);
            const auto dialog = openDialog();
            EXPECT_EQ(shown(*dialog, row.key, settings_), expected.shown);
            EXPECT_EQ(writesOf(row.key),
                      expected.written ? QStringList{expected.written} : QStringList{});
            if (!expected.written) {
                EXPECT_EQ(settings_.read(row.key.toStdString(), "<missing>"), kStored[i]);
            }
        }
    }
}

// What goes with a control follows the value that the control shows, also when the value is
// not stored back.
TEST_F(StoredValuesTest, LabelsFollowAValueThatIsNotStoredBack) {
    storeOnly("Delay", "abc");
    settings_.write("MouseSen", "40000");
    settings_.write("BG", "7");
    settings_.writes.clear();
    const auto dialog = openDialog();
    EXPECT_EQ(dialog->Picture1->lblDelay->text(), "5 seconds");
    EXPECT_EQ(dialog->Picture1->txtMouseS->text(), "1");
    EXPECT_FALSE(dialog->Picture1->cmdAddBG->isEnabled());
    EXPECT_EQ(writesOf("Delay"), QStringList{});
    EXPECT_EQ(writesOf("MouseSen"), QStringList{});
    EXPECT_EQ(writesOf("BG"), QStringList{});

    // The user's own change is stored as always.
    settings_.writes.clear();
    dialog->Picture1->hsbDelay->setValue(6);
    click(dialog->Picture1->OptBG[3]);
    EXPECT_EQ(settings_.writes, QStringList({"Delay=6", "BG=3"}));
}

}  // namespace
}  // namespace lumi::setup
