// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/MusicPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "linux/setup/SetupControls.h"
#include "setup/SetupMessages.h"

namespace lumi::setup {
namespace {

// How often a tune that has just been started is asked whether it can be heard.
constexpr int kSilenceWatchMilliseconds = 200;

}  // namespace

MusicPage::MusicPage(SetupServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      settings_(services.settings),
      boxes_(services.dialogs, this) {
    setObjectName(QStringLiteral("Picture2"));
    build();
    connectHandlers();
    silenceWatch_.setInterval(kSilenceWatchMilliseconds);
    connect(&silenceWatch_, &QTimer::timeout, this, [this] { checkSilence(); });
}

void MusicPage::build() {
    chkMusic = makeCheckBox(this, QStringLiteral("chkMusic"), QStringLiteral("PLAY MUSIC"),
                            QRect(40, 14, 120, 20), QStringLiteral("Turn the music on or off"));
    chkMusic->setFont(arial(8.25, true));

    // Two columns of five tunes, each with its test button to its right, and a rule
    // between the columns.
    constexpr int kFirstRow = 52;
    constexpr int kRowStep = 34;
    for (int i = 0; i < MusicPageSettings::kTunes; ++i) {
        const int left = i < 5 ? 40 : 336;
        const int top = kFirstRow + kRowStep * (i % 5);
        chkMidi[i] = makeCheckBox(this, QStringLiteral("chkMidi%1").arg(i),
                                  QStringLiteral("MIDI %1").arg(i + 1), QRect(left, top, 80, 22));
        cmdTest[i] = makeButton(this, QStringLiteral("cmdTest%1").arg(i),
                                QStringLiteral("Test MIDI"), QRect(left + 90, top - 2, 90, 25));
    }
    Line1 = named(new QFrame(this), QStringLiteral("Line1"),
                  QRect(295, kFirstRow - 6, 2, kRowStep * 5));
    Line1->setFrameShape(QFrame::VLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Stop MIDI Test"),
                          QRect(236, 230, 120, 28));

    const std::array<QString, 4> keyHelp{QStringLiteral("While the screensaver is running:"),
                                         QStringLiteral("\"Q\" Key: Stops the Music"),
                                         QStringLiteral("\"N\" Key: Next Song"),
                                         QStringLiteral("\"S\" Key: Start the Music")};
    for (int i = 0; i < 4; ++i) {
        Label19to22[i] = makeLabel(this, QStringLiteral("Label%1").arg(19 + i), keyHelp[i],
                                   QPoint(i == 0 ? 40 : 56, 290 + 18 * i));
    }
    Label19to22[0]->setFont(arial(8.25, true));
    Label19to22[0]->adjustSize();

    // The box stands over the run of spaces in the label's text.
    const QString before = QStringLiteral("Stop sound after:");
    Label46 = makeLabel(this, QStringLiteral("Label46"),
                        before + QString(28, u' ') + QStringLiteral("minute(s)"), QPoint(336, 312));
    const QFontMetrics metrics(Label46->font());
    const int boxLeft = Label46->x() + metrics.horizontalAdvance(before + u' ');
    const int boxWidth = metrics.horizontalAdvance(QString(26, u' '));
    cboSoundOff = named(new QComboBox(this), QStringLiteral("cboSoundOff"),
                        QRect(boxLeft, Label46->y() - 4, boxWidth, 22));
    cboSoundOff->setEditable(true);
    cboSoundOff->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view item : MusicPageSettings::soundOffItems()) {
        cboSoundOff->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    cboSoundOff->setCurrentIndex(0);

    // Typed text is only text: an editable box would otherwise choose the item whose text
    // was typed when editing ends (Enter, Tab, a click elsewhere) or when its completer
    // fills the text in, and that choice would store the time. Choosing from the list, the
    // arrow keys and the wheel still choose items.
    cboSoundOff->setCompleter(nullptr);
    QLineEdit* typed = cboSoundOff->lineEdit();
    disconnect(typed, &QLineEdit::returnPressed, cboSoundOff, nullptr);
    disconnect(typed, &QLineEdit::editingFinished, cboSoundOff, nullptr);
}

void MusicPage::connectHandlers() {
    connect(chkMusic, &QCheckBox::toggled, this, [this] { chkMusic_Click(); });
    for (int i = 0; i < MusicPageSettings::kTunes; ++i) {
        connect(chkMidi[i], &QCheckBox::toggled, this, [this, i] { chkMidi_Click(i); });
        connect(cmdTest[i], &QPushButton::clicked, this, [this, i] { cmdTest_Click(i); });
    }
    // Only choosing an item (from the list, with the arrow keys or the wheel) stores the
    // time; typing, and the text that loading puts in, store nothing.
    connect(cboSoundOff, &QComboBox::activated, this, [this] { cboSoundOff_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void MusicPage::loadCheckBox(QCheckBox* box, const LoadedValue& state) {
    settings_.load(state.storable, [&] { box->setChecked(state.value == 1); });
}

void MusicPage::loadMusic() {
    loadCheckBox(chkMusic, settings_.loadMusic());
    for (int i = 0; i < MusicPageSettings::kTunes; ++i) {
        loadCheckBox(chkMidi[i], settings_.loadTune(i));
    }
}

void MusicPage::loadSoundOff() {
    const std::string soundOff = settings_.loadSoundOff();
    // The current item is where the arrow keys and the wheel go on from; setting it puts
    // its own text in the box, so the loaded text comes after it.
    cboSoundOff->setCurrentIndex(MusicPageSettings::soundOffItem(soundOff));
    cboSoundOff->setEditText(QString::fromStdString(soundOff));
}

void MusicPage::chkMusic_Click() {
    settings_.musicClicked(chkMusic->isChecked());
}

void MusicPage::chkMidi_Click(int Index) {
    settings_.tuneClicked(Index, chkMidi[Index]->isChecked());
}

void MusicPage::cboSoundOff_Click() {
    settings_.soundOffChosen(cboSoundOff->currentText().toStdString());
}

void MusicPage::cmdTest_Click(int Index) {
    services_.player.play(
        MusicPageSettings::testTunePath(fileNameBytes(services_.installDir), Index), 0, -1);
    if (!silenceReported_) {
        silenceWatch_.start();
        checkSilence();
    }
}

void MusicPage::checkSilence() {
    const QString reason = QString::fromStdString(services_.player.silenceReason());
    if (reason.isEmpty()) {
        if (!services_.player.isPlaying()) {
            silenceWatch_.stop();
        }
        return;
    }
    silenceWatch_.stop();
    silenceReported_ = true;
    const MessageText silent = tunesSilent(reason.toStdString());
    boxes_.information(silent.title, silent.text);
}

void MusicPage::Command1_Click() {
    services_.player.stop();
}

}  // namespace lumi::setup
