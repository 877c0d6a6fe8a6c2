// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fluidsynth.h>

#include <memory>

namespace lumi::music {

// Owning handles for FluidSynth objects: each is released with its own delete_fluid_*
// function. Objects that depend on others (a player on its synth, a driver on its player)
// must be released first, so declare their handles after the ones they depend on.
template <auto destroy>
struct FluidDeleter {
    void operator()(auto* object) const { destroy(object); }
};

using FluidSettingsPtr = std::unique_ptr<fluid_settings_t, FluidDeleter<delete_fluid_settings>>;
using FluidSynthPtr = std::unique_ptr<fluid_synth_t, FluidDeleter<delete_fluid_synth>>;
using FluidPlayerPtr = std::unique_ptr<fluid_player_t, FluidDeleter<delete_fluid_player>>;
using FluidDriverPtr =
    std::unique_ptr<fluid_audio_driver_t, FluidDeleter<delete_fluid_audio_driver>>;
using FluidRendererPtr =
    std::unique_ptr<fluid_file_renderer_t, FluidDeleter<delete_fluid_file_renderer>>;

}  // namespace lumi::music
