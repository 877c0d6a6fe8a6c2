// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/Playlist.h"

#include <utility>

#include "settings/SettingKeys.h"

namespace lumi::music {

namespace {

constexpr int kFirstTune = 1;
constexpr int kLastTune = 10;

bool isTuneNumber(int n) {
    return n >= kFirstTune && n <= kLastTune;
}

}  // namespace

Playlist::Playlist(platform::MidiPlayer& player, const platform::SettingsStore& settings,
                   platform::Timer& timerMidi, std::string installDir)
    : player_(player),
      settings_(settings),
      timerMidi_(timerMidi),
      installDir_(std::move(installDir)) {}

void Playlist::loadFlags() {
    readFlags("Midi");
}

void Playlist::readFlags(const char* keyPrefix) {
    for (int n = kFirstTune; n <= kLastTune; ++n) {
        // A flag that does not convert keeps the value it has.
        MidiChecked[n] = settings::readInteger(
            settings_, keyPrefix + std::to_string(n), "1", MidiChecked[n]);
    }
}

std::string Playlist::tunePath(int n) const {
    return installDir_ + std::to_string(n) + ".mid";
}

void Playlist::MidiSounds() {
    if (isTuneNumber(MidiCurrent)) {
        const std::int16_t n = MidiCurrent;
        if (MidiChecked[n] == 1) {
            player_.play(tunePath(n), 0, -1);
        } else if (MidiChecked[n] == 0) {
            MidiCurrent = numberAfter(n);
        }
    } else {
        // Only before the first tick: the start key then plays tune 1 unconditionally.
        player_.play(tunePath(kFirstTune), 0, -1);
    }
    // Restarting an active timer would shift its ticks; switching it on is all that's meant.
    if (!timerMidi_.isActive()) {
        timerMidi_.start();
    }
}

void Playlist::MidiSoundsCheckedNext() {
    if (isTuneNumber(MidiCurrent) && MidiChecked[MidiCurrent] == 0) {
        MidiCurrent = numberAfter(MidiCurrent);
    }
}

void Playlist::TimerMIDI_Timer() {
    if (player_.isPlaying()) {
        return;
    }
    // From 0 (before the first tick) this reaches 1; from 10 it wraps to 1.
    MidiCurrent = numberAfter(MidiCurrent);
    MidiSoundsCheckedNext();
    MidiSounds();
}

void Playlist::MidiSoundsNextSong() {
    player_.stop();
}

void Playlist::MidiSoundsStop() {
    player_.stop();
    clearFlags();
}

void Playlist::MidiSoundsStart() {
    readFlags("MIDI");
    MidiSounds();
}

void Playlist::clearFlags() {
    for (int n = kFirstTune; n <= kLastTune; ++n) {
        MidiChecked[n] = 0;
    }
}

}  // namespace lumi::music
