// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumi::music {

// One message of a tune, due `time` after the tune's start.
struct MidiEvent {
    std::chrono::microseconds time{0};
    // A channel message with its status byte (running status resolved), or a system exclusive
    // message from its F0 on, as a synthesiser takes it.
    std::vector<std::uint8_t> message;

    bool operator==(const MidiEvent&) const = default;
};

// A tune as the messages that a player sends, in the order they are due: by time, and events
// of the same tick in the order of their tracks, then of their track.
struct MidiTune {
    std::vector<MidiEvent> events;
    // When the tune ends: the time of its last event or End of Track, whichever is later, so that
    // a closing rest counts.
    std::chrono::microseconds length{0};
};

// The outcome of reading a Standard MIDI File.
struct MidiFileRead {
    MidiTune tune;
    std::string problem;  // why the file cannot be played ("not a MIDI file"); empty when read
};

// Reads the Standard MIDI File `bytes` of type 0 or 1 (type 2, independent patterns, is
// refused), with either kind of time division and every tempo change, into the messages a
// player sends. The header and every track chunk it announces must be whole; a track whose
// events break off (or run past four billion ticks) plays up to the break. Meta events other
// than tempo and End of Track, and the escapes of system exclusive packets (F7), are left out.
MidiFileRead readMidiFile(std::span<const std::uint8_t> bytes);

}  // namespace lumi::music
