// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fluidsynth.h>

#include <QByteArray>

namespace lumi::music {

// Prepares `synth` for the Standard MIDI File `midi`, so that the tune sounds as it would on a
// synthesiser made for it alone: every channel goes back to the General MIDI power-on state
// (instrument and bank, volume, expression, pan, the reverb and chorus sends, pitch bend and its
// range, modulation, sustain, tuning, mono mode and every other controller), the notes and the
// effects' tails of the tune before are silenced, and the channels that play before choosing an
// instrument get the default one.
//
// A plain FluidSynth system reset selects the piano on every channel and the drum kit on the
// percussion channel, and with samples loaded on selection that reads both, whatever the tune
// plays. Here only the instruments of the channels in use are selected; the rest stay unset.
//
// The caller holds the only thread that renders `synth`: no audio driver may run on it.
void prepareForTune(fluid_synth_t* synth, const QByteArray& midi);

// Whether prepareForTune() also restarts the reverb and chorus, as a new synthesiser has them.
// Where it cannot (FluidSynth 2.4 and later), their modulators go on where the tune before left
// them: the next tune's reverb differs by a fraction of a decibel.
bool effectsRestartBetweenTunes();

}  // namespace lumi::music
