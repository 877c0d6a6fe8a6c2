// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

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

// Renders the MIDI files at `midiPaths` one after another on one synthesiser, as
// FluidSynthPlayer plays a playlist, the i-th into the audio file at outputPaths[i]; each tune
// is prepared with prepareForTune(). `outputPaths` has as many entries as `midiPaths`. Returns
// false, after one line on standard error, at the first file that cannot be used.
bool renderInSequence(const QStringList& midiPaths, const QString& soundFontPath,
                      const QStringList& outputPaths, RenderFormat format = RenderFormat::Wav);

}  // namespace lumi::music
