// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of a tune's channels that play before choosing an instrument: any bytes
// are read without a fault, and a channel is only reported when the input holds a note-on
// status byte of that channel, which a note on it needs however the events are packed.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "linux/music/MidiChannels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray midi(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::bitset<16> channels = lumi::music::channelsPlayingTheDefaultProgram(midi);
    for (int channel = 0; channel < 16; ++channel) {
        if (channels[channel]) {
            lumi::fuzz::check(midi.contains(static_cast<char>(0x90 | channel)),
                              "a reported channel has a note-on status byte in the input");
        }
    }
    return 0;
}
