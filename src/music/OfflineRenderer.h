// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lumi::music {

// The file layouts renderToFile() writes. Both hold 16-bit little-endian stereo samples at
// kRenderSampleRate frames a second; Raw is those samples alone, interleaved left, right.
enum class RenderFormat { Wav, Raw };

constexpr int kRenderSampleRate = 44100;

// Renders the MIDI file at `midiPath` with the SoundFont at `soundFontPath` into the audio file
// at `outputPath`, as fast as the machine allows rather than in real time; like a tune on
// FluidSynthPlayer, the rendering ends with the tune's last event. Used by the tests and the
// benchmarks to hear what the player would play. Returns false, after one line on standard error,
// when any of the files cannot be used.
bool renderToFile(const QString& midiPath, const QString& soundFontPath, const QString& outputPath,
                  RenderFormat format = RenderFormat::Wav);

}  // namespace lumi::music
