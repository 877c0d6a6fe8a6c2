// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/MidiPlayer.h"
#include "platform/SettingsStore.h"
#include "platform/Timer.h"

namespace lumi::music {

// The music of the full-screen display: ten tunes, "1.mid" to "10.mid" in the install
// folder, of which the checked ones play in turn.
//
// The display form owns the player, the settings store and the one-second timer TimerMIDI,
// and connects the timer's timeout to TimerMIDI_Timer(); this class only steps through the
// tunes and tells the player what to play. The form also keeps the "Music" setting: when it
// is 0 the form stops TimerMIDI at load, and nothing here plays until MidiSoundsStart().
//
// The stepping is deliberately short-sighted. A silent tick looks at no more than two tune
// numbers and may leave the current number past a checked tune, so the order is not simply
// "every checked tune in turn": with tunes 1 and 2 checked it is 1, 2, 2, 2, ...; with 2 and
// 5 only tune 2 ever plays; a single checked tune comes back on the fourth tick after it
// ended. Users hear exactly this order, so it must not be "improved".
//
// Everything runs on the user-interface thread, one tick or key at a time.
class Playlist {
public:
    // `timerMidi` is the form's TimerMIDI; MidiSounds() switches it on, the sound-off timer
    // switches it off. `installDir` (the bytes of its name) ends with its separator. All
    // references must outlive the playlist.
    Playlist(platform::MidiPlayer& player, const platform::SettingsStore& settings,
             platform::Timer& timerMidi, std::string installDir);

    // The form's load step: reads the flags from the settings "Midi1" to "Midi10", a missing
    // value counting as 1 (checked). A stored value that does not convert leaves its flag as
    // it was (0, unchecked, in a new playlist).
    void loadFlags();

    // Plays the current tune when its flag is 1, or moves one number past it when the flag
    // is 0; any other flag value does neither. Before the first tick (MidiCurrent 0) it
    // plays tune 1 whatever its flag and leaves MidiCurrent alone. Always leaves TimerMIDI
    // running.
    void MidiSounds();

    // Moves one number past the current tune when its flag is 0; otherwise changes nothing.
    // It never searches further for a checked tune.
    void MidiSoundsCheckedNext();

    // The TimerMIDI tick: while a tune sounds nothing happens; otherwise the current number
    // moves on by one (after 10 comes 1) and MidiSoundsCheckedNext() and MidiSounds() run.
    void TimerMIDI_Timer();

    // The "n" key: stops the tune; the next tick finds silence and steps on.
    void MidiSoundsNextSong();

    // The "q" key: stops the tune and unchecks every tune. TimerMIDI keeps ticking to no
    // effect until MidiSoundsStart().
    void MidiSoundsStop();

    // The "s" key: reads the flags again from the settings "MIDI1" to "MIDI10" (the same
    // stored values as at load, since names ignore case; one that does not convert keeps its
    // flag as it is), then runs MidiSounds() without
    // stopping the tune that may still sound. This is the only way music comes back after
    // MidiSoundsStop(), the sound-off limit, or a start with music off.
    void MidiSoundsStart();

    // Unchecks every tune; the player and TimerMIDI are left alone.
    void clearFlags();

    // The path of tune `n`: the install folder, then n in decimal digits, then ".mid".
    std::string tunePath(int n) const;

    // The number of the current tune, 1 to 10 once a tick has stepped it; 0 until then. No
    // routine ever moves it outside 0 to 10.
    std::int16_t MidiCurrent = 0;

    // Element n (1 to 10) is 1 when tune n is checked and 0 when not; other stored values
    // are kept as they are and count as neither. Element 0 is unused.
    std::array<std::int16_t, 11> MidiChecked{};

private:
    void readFlags(const char* keyPrefix);
    static std::int16_t numberAfter(std::int16_t n) {
        return n == 10 ? 1 : static_cast<std::int16_t>(n + 1);
    }

    platform::MidiPlayer& player_;
    const platform::SettingsStore& settings_;
    platform::Timer& timerMidi_;
    std::string installDir_;
};

}  // namespace lumi::music
