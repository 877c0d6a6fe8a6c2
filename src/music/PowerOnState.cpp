// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/PowerOnState.h"

#include "music/MidiChannels.h"

#include <bitset>
#include <utility>
#include <vector>

namespace lumi::music {

namespace {

// A bank offset that puts every bank of a SoundFont out of the reach of bank numbers, which
// MIDI limits to 14 bits (plus FluidSynth's drum bank 128).
constexpr int kUnreachableBankOffset = 1 << 20;

}  // namespace

void prepareForTune(fluid_synth_t* synth, const QByteArray& midi) {
    // A reset only releases the notes, which would ring on into the tune.
    fluid_synth_all_sounds_off(synth, -1);
    // While every SoundFont is moved out of reach, the reset finds no instrument to select: it
    // leaves each channel's bank and program at their defaults with nothing loaded, and does
    // everything else a reset does, including emptying the reverb and chorus.
    std::vector<std::pair<int, int>> offsets;  // SoundFont id, its bank offset
    for (int index = 0; index < fluid_synth_sfcount(synth); ++index) {
        fluid_sfont_t* soundFont = fluid_synth_get_sfont(synth, index);
        const int id = fluid_sfont_get_id(soundFont);
        offsets.emplace_back(id, fluid_synth_get_bank_offset(synth, id));
        fluid_synth_set_bank_offset(synth, id, kUnreachableBankOffset);
    }
    fluid_synth_system_reset(synth);
    for (const auto& [id, offset] : offsets) {
        fluid_synth_set_bank_offset(synth, id, offset);
    }
    const std::bitset<16> defaults = channelsPlayingTheDefaultProgram(midi);
    for (int channel = 0; channel < 16; ++channel) {
        if (defaults[channel]) {
            fluid_synth_program_change(synth, channel, 0);
        }
    }
}

}  // namespace lumi::music
