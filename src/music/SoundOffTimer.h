// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "music/Playlist.h"
#include "platform/MidiPlayer.h"
#include "platform/Timer.h"

namespace lumi::music {

// Silences the display's music a chosen number of minutes after the screen saver started.
//
// The display form owns the one-second timer Timer3, which runs from the form's creation
// to the end of the process, and connects its timeout to Timer3_Timer(). At load the form
// sets SoundOffMinutes from the "SoundOff" setting and, when that is not 0, calls
// SoundOff() to turn it into the limit.
//
// Once the count reaches the limit, every tick silences the music again: a start key
// pressed after the limit brings a tune for less than a second. Only the wrap of the count,
// once a day, lets the music play again until the limit comes round once more.
class SoundOffTimer {
public:
    // `timerMidi` is the form's TimerMIDI and `playlist` the display's playlist; both, like
    // the player, must outlive this object.
    SoundOffTimer(platform::MidiPlayer& player, platform::Timer& timerMidi, Playlist& playlist);

    // Sets SoundOffSeconds to SoundOffMinutes times 60 when the minutes are one of the
    // choices the Setup dialog offers; any other number leaves SoundOffSeconds as it was
    // (0 at first, so the very first tick silences the music).
    void SoundOff();

    // The Timer3 tick. With SoundOffMinutes 0 it does nothing. Otherwise it counts one second
    // and, when the count is at or above the limit, stops the player, switches TimerMIDI off
    // and unchecks every tune. Then, whatever happened, a count above 86398 starts again
    // from 0, so the tick that reaches 86399 still silences before the count wraps.
    void Timer3_Timer();

    // The stored number of minutes; 0 means the music is never silenced.
    std::int16_t SoundOffMinutes = 0;
    // The limit in seconds; 0 until SoundOff() sets it.
    std::int16_t SoundOffSeconds = 0;
    // Seconds counted so far; it never exceeds 86399, since it wraps.
    std::int32_t SoundOffCounter = 0;

private:
    platform::MidiPlayer& player_;
    platform::Timer& timerMidi_;
    Playlist& playlist_;
};

}  // namespace lumi::music
