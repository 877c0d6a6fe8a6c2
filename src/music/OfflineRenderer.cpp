// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/OfflineRenderer.h"

#include <fluidsynth.h>

#include "music/FluidSynthHandles.h"

#include <QFile>

#include <cstdio>
#include <memory>

namespace lumi::music {

namespace {

using SettingsPtr = FluidSettingsPtr;
using SynthPtr = FluidSynthPtr;
using PlayerPtr = FluidPlayerPtr;
using RendererPtr = FluidRendererPtr;

bool fail(const QString& midiPath, const QString& reason) {
    const QByteArray line =
        QStringLiteral("lumiscribe: cannot render %1: %2\n").arg(midiPath, reason).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    return false;
}

}  // namespace

bool renderToFile(const QString& midiPath, const QString& soundFontPath, const QString& outputPath,
                  RenderFormat format) {
    // FluidSynth's own messages would repeat the failures reported below, less clearly.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    const QByteArray midiName = QFile::encodeName(midiPath);
    const QByteArray soundFontName = QFile::encodeName(soundFontPath);
    const QByteArray outputName = QFile::encodeName(outputPath);
    if (!fluid_is_midifile(midiName.constData())) {
        return fail(midiPath, QStringLiteral("missing or not a MIDI file"));
    }

    // Created in this order and destroyed in reverse: settings, synth, player, renderer.
    const SettingsPtr settings(new_fluid_settings());
    if (!settings) {
        return fail(midiPath, QStringLiteral("FluidSynth cannot start"));
    }
    fluid_settings_setstr(settings.get(), "audio.file.name", outputName.constData());
    fluid_settings_setstr(settings.get(), "audio.file.type",
                          format == RenderFormat::Wav ? "wav" : "raw");
    fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
    fluid_settings_setstr(settings.get(), "audio.file.endian", "little");
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRenderSampleRate);
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);

    const SynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth || fluid_synth_sfload(synth.get(), soundFontName.constData(), 1) == FLUID_FAILED) {
        return fail(midiPath, QStringLiteral("cannot load SoundFont %1").arg(soundFontPath));
    }
    bool loaded = false;  // the player ticks only once it has parsed the tune
    const PlayerPtr player(new_fluid_player(synth.get()));
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
    const RendererPtr renderer(new_fluid_file_renderer(synth.get()));
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
        if (totalTicks < 0) {
            totalTicks = fluid_player_get_total_ticks(player.get());
        }
    }
    return loaded || fail(midiPath, QStringLiteral("FluidSynth cannot read the tune"));
}

}  // namespace lumi::music
