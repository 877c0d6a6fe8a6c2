// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "platform/MidiPlayer.h"

namespace lumi::music {

// A MIDI player that makes the real one only when music is wanted: at the first play(), or
// earlier when the owner calls prepare() because it knows that music will play. A display
// that stays quiet thus never creates the synthesiser or reads its SoundFont.
//
// Before the real player exists, stop() has nothing to stop and isPlaying() is false, which
// is what the real player would answer before any play().
class LazyMidiPlayer final : public platform::MidiPlayer {
public:
    using Factory = std::function<std::unique_ptr<platform::MidiPlayer>()>;

    explicit LazyMidiPlayer(Factory makePlayer);
    ~LazyMidiPlayer() override;

    void prepare() override;
    void play(std::string_view path, int reserved1, int reserved2) override;
    void stop() override;
    bool isPlaying() const override;
    void setVisible(bool visible) override;
    std::string silenceReason() const override;

    // True once the real player has been made.
    bool created() const { return static_cast<bool>(player_); }

private:
    platform::MidiPlayer& player();

    Factory makePlayer_;
    std::unique_ptr<platform::MidiPlayer> player_;
    bool visible_ = true;  // handed to the real player when it is made
};

}  // namespace lumi::music
