// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display/ArrowStep.h"
#include "display/Colors.h"
#include "display/FitToScreen.h"
#include "display/FormHost.h"
#include "display/LaserPainter.h"
#include "display/LoadedPicture.h"
#include "display/PictureOrder.h"
#include "music/Playlist.h"
#include "music/SoundOffTimer.h"
#include "platform/MidiPlayer.h"
#include "platform/PictureSource.h"
#include "platform/SessionLocker.h"
#include "platform/SettingsStore.h"
#include "settings/SettingKeys.h"

namespace lumi::display {

// How the display is hosted.
enum class DisplayMode {
    // The screen saver over the whole screen: it hides the cursor, and a click, enough
    // mouse movement or a key ends it.
    FullScreen,
    // Inside a window that a host program gave it: the host owns the cursor and the input,
    // and ends the process when it wants; the display's own input handling is off.
    Hosted,
};

// How the display form is set up by the start-up that makes it.
struct FormOptions {
    std::string installDir;  // the install folder (bytes of its name), with its separator
    Size screenSize;         // the area the display covers, in device pixels
    DisplayMode mode = DisplayMode::FullScreen;
    // How pictures larger than `screenSize` show; nothing: as the setting "FitLarge" says.
    std::optional<LargePictures> largePictures = std::nullopt;
    // Makes the lock of the session that the end of the full-screen display asks for when
    // "LockScreen" is 1; called at most once, from Form_Load(). Empty: the display never
    // locks (Windows, hosted displays, tests).
    std::function<std::unique_ptr<platform::SessionLocker>()> makeSessionLock = nullptr;
    // The calendar strip and its caption are drawn at this fraction of their size, more than
    // 0 and at most 1: a preview shows the display smaller than the screen.
    double calendarScale = 1.0;
    // The features of the edition, which choose the keys that the first run writes.
    settings::KeyUses keyUses = settings::kEveryKeyUse;
};

// The hidden list `List1` of the display: one full picture path per entry, in the order of
// the picture list file with its folder entries expanded, with a current entry.
struct HiddenList {
    std::vector<std::string> entries;
    int listIndex = -1;

    int listCount() const { return static_cast<int>(entries.size()); }
    std::string text() const {
        return listIndex >= 0 && listIndex < listCount() ? entries[listIndex] : std::string();
    }
};

// The full-screen display form: its state and its handlers, on a host window (FormHost)
// that each edition implements with its toolkit.
//
// Flow of control: the start-up constructs the host window, which constructs the form, and
// calls Form_Load(); it then shows the window over the screen. The window's activation runs
// Form_Activate(), which shows the first picture; the end of that painting starts the slide
// timer `Timer1`. From then on the form runs on its four one-second timers and its input
// handlers until CloseDown() ends the process.
//
// A picture change never blocks the event loop: ChangePic() switches Timer1 off and hands
// the file to the picture source, which decodes it on another thread; the decoded picture is
// then painted by LaserPaint() one column per tick of the PaintStep timer, a column that
// takes longer than a few milliseconds split over several ticks, so that timer ticks and
// input are served between two slices. The end of the painting sets DelayCount to 0 and
// switches Timer1 on again, which is also all that the callers of ChangePic() do after it.
// A ChangePic() while a picture is loaded or painted abandons that picture for good.
//
// The members named like the form's own variables hold its state; they are public so that
// the editions and the tests can read them, and only the form writes them.
class frmMain final {
public:
    frmMain(FormHost& host, platform::SettingsStore& settings, platform::MidiPlayer& player,
            platform::PictureSource& pictures, FormOptions options);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

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
    // arrow), at most once round the list; when none loads, the screen keeps what it shows
    // and Timer1 runs on, so the next Delay tries again.
    void ChangePic();

    // Writes the first-run defaults of the keys that hold no value yet, then "SetReg" "2".
    void SetRegistry();

    // Turns the stored sound-off minutes into the limit in seconds.
    void SoundOff() { soundOff.SoundOff(); }

    // The playlist's steps: start the current tune if it is checked, else move past it;
    // move past the current tune if it is unchecked.
    void MidiSounds() { playlist.MidiSounds(); }
    void MidiSoundsCheckedNext() { playlist.MidiSoundsCheckedNext(); }

    // Shows the cursor again, tells the platform that no screen saver runs and ends the
    // process at once: decoder threads are not joined, the synthesiser is not unloaded and
    // no picture is freed. Callers stop the player first.
    //
    // With a session lock ("LockScreen" 1) it first asks for the lock and keeps the form on
    // screen, its input ignored, until the session is locked or the lock's wait has passed;
    // only then does it do the above. An outcome other than locked is logged in one line.
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

    // The timers' handlers.
    void Timer1_Timer();
    void TimerCal_Timer();
    void TimerMIDI_Timer() { playlist.TimerMIDI_Timer(); }
    void Timer3_Timer() { soundOff.Timer3_Timer(); }
    // Paints the next slice of the picture: at most one column, and no longer than a frame.
    void paintStep();

    // Input handlers. `keyAscii` is the character code of a key that produces a character;
    // keys that produce none (Delete among them) never reach the handler. The host passes
    // input on only in DisplayMode::FullScreen.
    void Pic2_KeyPress(int keyAscii);
    // The arrow keys, which produce no character: Left shows the picture before, Right the
    // next one, as space does.
    void Pic2_ArrowKey(ArrowStep step);
    void Form_MouseUp();
    void Pic2_MouseDown();
    // A move of the mouse that changed its position.
    void Pic2_MouseMove();

    // True from ChangePic() until its picture is painted (or every entry failed to load).
    bool changingPicture() const { return pictures_.loading() || painter_.running(); }
    const LaserPainter& painter() const { return painter_; }

    const FormOptions& options() const { return options_; }
    // What the load chose for the pictures: shrunk to the screen when larger ("FitLarge", or
    // the host's choice), and the order in which they show ("Shuffle").
    bool shrinksLargePictures() const { return shrinksLargePictures_; }
    ShowOrder showOrder() const { return showOrder_; }

    // The form's background colour and background picture (drawn from the form's top-left
    // corner at its own size, at most the screen's size; null when there is none).
    ColorValue backColor() const { return BackColor; }
    const LoadedPicture& backgroundPicture() const { return backgroundPicture_; }

    // Controls and members, named as the form's own.
    LoadedPicture Picture1;  // the hidden holder: the picture being painted, null after
    Rect picture1Geometry;   // where the holder stands on the form
    HiddenList List1;
    platform::Timer& Timer1;
    platform::Timer& TimerCal;
    platform::Timer& TimerMIDI;
    platform::Timer& Timer3;

    std::string InstallDir;
    // 32-bit, since a folder entry may stand for more pictures than a 16-bit index counts.
    std::int32_t LastPic = 0;
    std::int32_t PicIndex = 0;
    std::int16_t Delay = 0;
    std::int16_t DelayCount = 0;
    std::int16_t MouseSen = 0;
    std::int16_t MoveCount = 0;
    std::int32_t MoveStart = 0;  // start of the mouse-move counting window, seconds since midnight
    std::int16_t Activated = 0;  // -1 once the form has been activated
    std::int16_t CalendarOn = 0;
    std::int16_t PhotoDateOn = 0;
    std::int16_t MusicOn = 0;
    music::Playlist playlist;       // MidiCurrent, MidiChecked and the playlist's steps
    music::SoundOffTimer soundOff;  // SoundOffMinutes, SoundOffSeconds, SoundOffCounter
    std::int16_t BeamX = 0;
    std::int16_t BeamY = 0;
    ColorValue BackColor = kBlack;

private:
    void loadCurrentEntry();
    void pictureLoaded(const LoadedPicture& picture);
    void showPicture(const LoadedPicture& picture);
    void showPhotoDate(const std::optional<CalendarDate>& taken);
    void LaserPaint();
    void flushCanvas();
    void stopAndCloseDown();
    void endNow();
    void loadPictureList();
    void prepareSequence();
    void applyBackground();
    void startCalendar();
    // The integer value of the setting `key`, or `unconverted` (the member's value before the
    // read) when the stored text does not convert.
    std::int16_t readInteger(std::string_view key, std::string_view readDefault,
                             std::int16_t unconverted) const;

    FormHost& host_;
    platform::SettingsStore& settings_;
    platform::MidiPlayer& player_;
    platform::PictureSource& pictures_;
    FormOptions options_;
    platform::Timer& paintStepTimer_;  // at most one painted column per pass of the event loop
    LoadedPicture backgroundPicture_;
    LaserPainter painter_;
    std::chrono::steady_clock::time_point lastFlush_;  // when the canvas was last repainted
    PictureOrder order_{1, ShowOrder::List, 0};
    bool shrinksLargePictures_ = false;
    ShowOrder showOrder_ = ShowOrder::List;
    ArrowStep lastStep_ = ArrowStep::Next;  // the way a picture that fails to load is skipped
    std::set<std::int32_t> failedEntries_;  // entries that failed to load since ChangePic()
    std::set<std::string> reportedFailures_;
    std::unique_ptr<platform::SessionLocker> sessionLock_;  // only with "LockScreen" 1
};

}  // namespace lumi::display
