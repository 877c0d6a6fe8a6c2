// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reader of Standard MIDI Files, which reads whatever file a tune's name points at:
// it must never read past the bytes, and what it reads must be a tune a player can send in
// order: events in time order, each a message that starts with a status byte, within the
// tune's length.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "music/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using lumi::fuzz::check;
    const lumi::music::MidiFileRead read = lumi::music::readMidiFile(std::span(data, size));
    if (!read.problem.empty()) {
        check(read.tune.events.empty(), "a refused file gives no events");
        return 0;
    }
    std::chrono::microseconds last{0};
    for (const lumi::music::MidiEvent& event : read.tune.events) {
        check(event.time >= last, "events come in time order");
        check(!event.message.empty() && (event.message.front() & 0x80) != 0,
              "every message starts with a status byte");
        last = event.time;
    }
    check(read.tune.length >= last, "the tune lasts at least until its last event");
    return 0;
}
