// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MidiPlayer.h"

namespace lumi::music {

// A player that never sounds, for a display that must stay quiet (another display of the
// same desktop plays the music).
class NoMusicPlayer final : public platform::MidiPlayer {
public:
    void play(std::string_view, int, int) override {}
    void stop() override {}
    bool isPlaying() const override { return false; }
    void setVisible(bool) override {}
};

}  // namespace lumi::music
