// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/PowerOnState.h"

#include "linux/music/MidiChannels.h"

#include <bitset>
#include <utility>
#include <vector>

namespace lumi::music {

namespace {

// A bank offset that puts every bank of a SoundFont out of the reach of bank numbers, which
// MIDI limits to 14 bits (plus FluidSynth's drum bank 128).
constexpr int kUnreachableBankOffset = 1 << 20;

// The reset empties the reverb and chorus but leaves their modulators where they were, so a tune
// would hear another reverb than on a new synthesiser. Setting the sample rate the synthesiser
// already has makes both effects anew. FluidSynth deprecates it as a real-time change of rate,
// which this is not: nothing sounds at this moment, and the rate stays.
void restartEffects(fluid_synth_t* synth) {
    if (!effectsRestartBetweenTunes()) {
        return;  // the call would only log an error
    }
    double sampleRate = 0;
    if (fluid_settings_getnum(fluid_synth_get_settings(synth), "synth.sample-rate", &sampleRate) !=
        FLUID_OK) {
        return;
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    fluid_synth_set_sample_rate(synth, static_cast<float>(sampleRate));
#pragma GCC diagnostic pop
}

}  // namespace

bool effectsRestartBetweenTunes() {
    // FluidSynth 2.4 ignores a sample rate set after the synthesiser's creation, and offers no
    // other way to restart its effects. The library is asked, not the headers: a program built
    // against 2.3 runs on 2.4 too.
    int major = 0;
    int minor = 0;
    int micro = 0;
    fluid_version(&major, &minor, &micro);
    return major == 2 && minor < 4;
}

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
    restartEffects(synth);
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
