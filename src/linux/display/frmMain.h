// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

#include "linux/display/Canvas.h"
#include "linux/display/Colors.h"
#include "linux/display/DisplayServices.h"
#include "linux/display/KeyAscii.h"
#include "linux/display/PictureLoader.h"
#include "linux/platform/QtTimer.h"
#include "display/LaserPainter.h"
#include "display/PictureOrder.h"
#include "music/Playlist.h"
#include "music/SoundOffTimer.h"

namespace lumi::display {

// The hidden list `List1` of the display: one full picture path per entry, in the order of
// the picture list file with its folder entries expanded, with a current entry.
struct HiddenList {
    QStringList entries;
    int listIndex = -1;

    int listCount() const { return static_cast<int>(entries.size()); }
    QString text() const { return entries.value(listIndex); }
};

// The full-screen display form.
//
// Flow of control: the start-up module constructs the form and calls Form_Load(), then
// shows it over the screen. Its activation runs Form_Activate(), which shows the first
// picture; the end of that painting starts the slide timer `Timer1`. From then on the form
// runs on its four one-second timers and its input handlers until CloseDown() ends the
// process.
//
// A picture change never blocks the event loop: ChangePic() switches Timer1 off and hands
// the file to the loader, which decodes it on another thread; the decoded picture is then
// painted by LaserPaint() one column per pass of the event loop, a column that takes longer
// than a few milliseconds split over several passes, so that timer ticks and input are
// served between two slices. The end of the painting sets DelayCount to 0 and
// switches Timer1 on again, which is also all that the callers of ChangePic() do after it.
// A ChangePic() while a picture is loaded or painted abandons that picture for good.
//
// The members named like the form's own variables hold its state; they are public so that
// the routines of the display and the tests can read them, and only the form writes them.
class frmMain final : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(DisplayServices services, QWidget* parent = nullptr);

    // Brings the settings up to date, fills List1, applies the background, reads every
    // display and music setting, prepares the calendar strip and the sound-off limit, and
    // hides the cursor. Runs once, before the form is shown.
    void Form_Load();

    // Marks the form as activated, shows the current picture and starts Timer1. Only the
    // first call does anything; a later activation of the window changes nothing.
    void Form_Activate();

    // Shows the current entry of List1, centred on the screen and painted by the laser beams.
    // Returns at once; the painting goes on from the event loop. An entry that does not load
    // is skipped for the next one in the way the display was going (back after the Left
    // arrow), at most once round the list; when none loads, the screen
    // keeps what it shows and Timer1 runs on, so the next Delay tries again.
    void ChangePic();

    // Writes the first-run defaults of the keys that hold no value yet, then "SetReg" "2".
    void SetRegistry();

    // Turns the stored sound-off minutes into the limit in seconds.
    void SoundOff();

    // The playlist's steps: start the current tune if it is checked, else move past it;
    // move past the current tune if it is unchecked.
    void MidiSounds();
    void MidiSoundsCheckedNext();

    // Shows the cursor again, tells the desktop that no screen saver runs and ends the
    // process at once: decoder threads are not joined, the synthesiser is not unloaded and
    // no picture is freed. Callers stop the player first.
    //
    // With "LockScreen" 1 it first asks the desktop to lock the session and keeps the form
    // on screen, its input ignored, until the session is locked or SessionLock::kLockWait
    // has passed; only then does it do the above. An outcome other than Locked is told in
    // one line on the standard error.
    void CloseDown();

    // Ends the display as a key would (the process was asked to terminate).
    void TerminationRequested() { stopAndCloseDown(); }

    // True when the end of the display asks the desktop to lock the session.
    bool locksSession() const { return sessionLock_ != nullptr; }
    // True from the end's lock request until the process ends.
    bool lockRequested() const { return sessionLock_ && sessionLock_->requested(); }

    // Moves to the next picture of the order ("Shuffle": list order, or shuffled rounds) and
    // shows it.
    void AdvancePicture();
    // Moves back to the picture before in the same order and shows it.
    void ShowPreviousPicture();

    void Timer1_Timer();
    void TimerCal_Timer();

    // Input handlers of the form and of the canvas. `keyAscii` is the character code of a
    // key that produces a character; keys that produce none (Delete among them) never reach
    // the handler.
    void Pic2_KeyPress(int keyAscii);
    // The arrow keys, which produce no character: Left shows the picture before, Right the
    // next one, as space does.
    void Pic2_ArrowKey(ArrowStep step);
    void Form_MouseUp();
    void Pic2_MouseDown();
    void Pic2_MouseMove();

    // True from ChangePic() until its picture is painted (or every entry failed to load).
    bool changingPicture() const { return loader_.loading() || painter_.running(); }
    const LaserPainter& painter() const { return painter_; }
    const PictureLoader& loader() const { return loader_; }

    // What the load chose for the pictures: shrunk to the screen when larger ("FitLarge", or
    // the host's choice), and the order in which they show ("Shuffle").
    bool shrinksLargePictures() const { return shrinksLargePictures_; }
    ShowOrder showOrder() const { return showOrder_; }

    // The form's background colour and background picture.
    ColorValue backColor() const { return BackColor; }
    const QImage& backgroundPicture() const { return backgroundPicture_; }

    // Controls.
    Canvas* Pic2 = nullptr;
    QImage Picture1;         // the hidden holder: the picture being painted, null after
    QRect picture1Geometry;  // where the holder stands on the form
    HiddenList List1;
    QWidget* picCal = nullptr;
    QLabel* lblCal = nullptr;
    // The photo-date strip: the day the picture on the screen was taken, in the calendar
    // caption's style, in the bottom-right corner beside the calendar strip.
    QWidget* picDate = nullptr;
    QLabel* lblDate = nullptr;
    QTimer Timer1;
    QTimer TimerCal;
    QTimer TimerMIDI;
    platform::QtTimer timerMidiSwitch{TimerMIDI};  // TimerMIDI as the music switches it
    QTimer Timer3;

    // Members.
    QString InstallDir;
    // 32-bit, since a folder entry may stand for more pictures than a 16-bit index counts.
    qint32 LastPic = 0;
    qint32 PicIndex = 0;
    qint16 Delay = 0;
    qint16 DelayCount = 0;
    qint16 MouseSen = 0;
    qint16 MoveCount = 0;
    qint32 MoveStart = 0;  // start of the mouse-move counting window, seconds since midnight
    qint16 Activated = 0;  // -1 once the form has been activated
    qint16 CalendarOn = 0;
    qint16 PhotoDateOn = 0;
    qint16 MusicOn = 0;
    music::Playlist playlist;       // MidiCurrent, MidiChecked and the playlist's steps
    music::SoundOffTimer soundOff;  // SoundOffMinutes, SoundOffSeconds, SoundOffCounter
    qint16 BeamX = 0;
    qint16 BeamY = 0;
    ColorValue BackColor = kBlack;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadCurrentEntry();
    void pictureLoaded(const DecodedPicture& picture);
    void showPicture(const QImage& picture);
    void showPhotoDate(std::optional<QDate> taken);
    void LaserPaint();
    void paintStep();
    void flushCanvas();
    void stopAndCloseDown();
    void endNow();
    void loadPictureList();
    void prepareSequence();
    void applyBackground();
    void startCalendar();
    // The integer value of the setting `key`, or `unconverted` (the member's value before the
    // read) when the stored text does not convert.
    qint16 readInteger(std::string_view key, std::string_view readDefault, qint16 unconverted) const;

    DisplayServices services_;
    QImage backgroundPicture_;
    PictureLoader loader_;
    LaserPainter painter_;
    // The pixels that the painter reads while it paints Picture1: Picture1 itself when it has
    // Format_RGB32, which shares its memory, else a converted copy. It stays unchanged until
    // the painting ends or the next one starts, and is null after a finished painting.
    QImage painterSource_;
    QTimer paintStepTimer_;     // at most one painted column per pass of the event loop
    QElapsedTimer frameClock_;  // time since the canvas was last asked to repaint
    PictureOrder order_{1, ShowOrder::List, 0};
    bool shrinksLargePictures_ = false;
    ShowOrder showOrder_ = ShowOrder::List;
    ArrowStep lastStep_ = ArrowStep::Next;  // the way a picture that fails to load is skipped
    QSet<qint32> failedEntries_;            // entries that failed to load since ChangePic()
    QSet<QString> reportedFailures_;
    std::unique_ptr<platform::SessionLock> sessionLock_;  // only with "LockScreen" 1
};

}  // namespace lumi::display
