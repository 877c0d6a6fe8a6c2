// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/OfflineRenderer.h"

#include <fluidsynth.h>

#include "linux/music/FluidSynthHandles.h"
#include "linux/music/PowerOnState.h"

#include <QFile>

#include <cstdio>
#include <memory>

namespace lumi::music {

namespace {

using SettingsPtr = FluidSettingsPtr;
using SynthPtr = FluidSynthPtr;
using PlayerPtr = FluidPlayerPtr;
using RendererPtr = FluidRendererPtr;

// The frames of one block of FluidSynth, and of one block of the file renderer.
constexpr int kBlockFrames = 64;

bool fail(const QString& midiPath, const QString& reason) {
    const QByteArray line =
        QStringLiteral("lumiscribe: cannot render %1: %2\n").arg(midiPath, reason).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    return false;
}

// How the synthesiser is brought to its starting state before each tune.
enum class Reset {
    FluidSynth,  // FluidSynth's own system reset, by the tune's player
    PowerOn,     // prepareForTune(), as FluidSynthPlayer does it
};

// FluidSynth's MIDI player counts time in whole milliseconds of the synthesiser's clock, so a
// tune that starts at another sample than a tune on a new synthesiser has its events rounded to
// other blocks. Rendering silence until the clock reaches a whole multiple of both 10 ms and a
// block gives the tune the same timing as on a new synthesiser, sample for sample.
// `frames` counts the frames that `synth` has rendered.
void alignTuneStart(fluid_synth_t* synth, long& frames) {
    constexpr long kAlignment = kBlockFrames * kRenderSampleRate / 100;  // 0.64 s
    float scratch[2][kBlockFrames];
    while (frames % kAlignment != 0) {
        fluid_synth_write_float(synth, kBlockFrames, scratch[0], 0, 1, scratch[1], 0, 1);
        frames += kBlockFrames;
    }
}

// Renders the tune at `midiPath` on `synth` into the audio file at `outputPath`, whose layout
// `settings` already names.
bool renderTune(fluid_settings_t* settings, fluid_synth_t* synth, const QString& midiPath,
                const QString& outputPath, Reset reset, long& frames) {
    const QByteArray midiName = QFile::encodeName(midiPath);
    const QByteArray outputName = QFile::encodeName(outputPath);
    if (!fluid_is_midifile(midiName.constData())) {
        return fail(midiPath, QStringLiteral("missing or not a MIDI file"));
    }
    fluid_settings_setstr(settings, "audio.file.name", outputName.constData());
    fluid_settings_setint(settings, "player.reset-synth", reset == Reset::FluidSynth ? 1 : 0);
    if (reset == Reset::PowerOn) {
        QFile file(midiPath);
        if (!file.open(QIODevice::ReadOnly)) {
            return fail(midiPath, QStringLiteral("missing or not a MIDI file"));
        }
        alignTuneStart(synth, frames);
        prepareForTune(synth, file.readAll());
    }

    bool loaded = false;  // the player ticks only once it has parsed the tune
    const PlayerPtr player(new_fluid_player(synth));
    if (!player ||
        fluid_player_set_tick_callback(
            player.get(),
            [](void* flag, int) {
                *static_cast<bool*>(flag) = true;
                return FLUID_OK;
            },
            &loaded) != FLUID_OK ||
        fluid_player_add(player.get(), midiName.constData()) != FLUID_OK ||
        fluid_player_play(player.get()) != FLUID_OK) {
        return fail(midiPath, QStringLiteral("FluidSynth refused the tune"));
    }
    const RendererPtr renderer(new_fluid_file_renderer(synth));
    if (!renderer) {
        return fail(midiPath, QStringLiteral("cannot write %1").arg(outputPath));
    }
    // The player loads the tune while the first block renders; only then is its length known.
    // Like the real-time player, the rendering stops at the last event instead of letting
    // FluidSynth ring the notes out for a few more seconds.
    int totalTicks = -1;
    while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING &&
           (totalTicks < 0 || fluid_player_get_current_tick(player.get()) < totalTicks)) {
        if (fluid_file_renderer_process_block(renderer.get()) != FLUID_OK) {
            return fail(midiPath, QStringLiteral("cannot write %1").arg(outputPath));
        }
        frames += kBlockFrames;
        if (totalTicks < 0) {
            totalTicks = fluid_player_get_total_ticks(player.get());
        }
    }
    return loaded || fail(midiPath, QStringLiteral("FluidSynth cannot read the tune"));
}

bool render(const QStringList& midiPaths, const QString& soundFontPath,
            const QStringList& outputPaths, RenderFormat format, Reset reset) {
    // FluidSynth's own messages would repeat the failures reported below, less clearly.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    if (midiPaths.isEmpty() || midiPaths.size() != outputPaths.size()) {
        return fail(midiPaths.join(' '), QStringLiteral("one output file for each tune needed"));
    }
    for (const QString& midiPath : midiPaths) {
        if (!fluid_is_midifile(QFile::encodeName(midiPath).constData())) {
            return fail(midiPath, QStringLiteral("missing or not a MIDI file"));
        }
    }

    // Created in this order and destroyed in reverse: settings, synth, then for each tune its
    // player and renderer.
    const SettingsPtr settings(new_fluid_settings());
    if (!settings) {
        return fail(midiPaths.first(), QStringLiteral("FluidSynth cannot start"));
    }
    fluid_settings_setstr(settings.get(), "audio.file.type",
                          format == RenderFormat::Wav ? "wav" : "raw");
    fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
    fluid_settings_setstr(settings.get(), "audio.file.endian", "little");
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRenderSampleRate);
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);

    const SynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth ||
        fluid_synth_sfload(synth.get(), QFile::encodeName(soundFontPath).constData(), 1) ==
            FLUID_FAILED) {
        return fail(midiPaths.first(), QStringLiteral("cannot load SoundFont %1").arg(soundFontPath));
    }
    fluid_settings_setint(settings.get(), "audio.period-size", kBlockFrames);
    long frames = 0;
    for (qsizetype i = 0; i < midiPaths.size(); ++i) {
        if (!renderTune(settings.get(), synth.get(), midiPaths[i], outputPaths[i], reset,
                        frames)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool renderToFile(const QString& midiPath, const QString& soundFontPath, const QString& outputPath,
                  RenderFormat format) {
    return render({midiPath}, soundFontPath, {outputPath}, format, Reset::FluidSynth);
}

bool renderInSequence(const QStringList& midiPaths, const QString& soundFontPath,
                      const QStringList& outputPaths, RenderFormat format) {
    return render(midiPaths, soundFontPath, outputPaths, format, Reset::PowerOn);
}

}  // namespace lumi::music
