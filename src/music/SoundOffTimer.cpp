// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/SoundOffTimer.h"

#include "music/SoundOffTable.h"

namespace lumi::music {

namespace {

// The highest count that survives a tick; the tick that goes past it restarts from 0.
constexpr std::int32_t kLastCountKept = 86398;

}  // namespace

SoundOffTimer::SoundOffTimer(platform::MidiPlayer& player, platform::Timer& timerMidi,
                             Playlist& playlist)
    : player_(player), timerMidi_(timerMidi), playlist_(playlist) {}

void SoundOffTimer::SoundOff() {
    if (const auto seconds = soundOffSeconds(SoundOffMinutes)) {
        SoundOffSeconds = *seconds;
    }
}

void SoundOffTimer::Timer3_Timer() {
    if (SoundOffMinutes == 0) {
        return;
    }
    ++SoundOffCounter;
    if (SoundOffCounter >= SoundOffSeconds) {
        player_.stop();
        timerMidi_.stop();
        playlist_.clearFlags();
    }
    if (SoundOffCounter > kLastCountKept) {
        SoundOffCounter = 0;
    }
}

}  // namespace lumi::music
