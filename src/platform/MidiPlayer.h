// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lumi::platform {

// The MIDI player that the display and the Setup dialog each own one of.
class MidiPlayer {
public:
    virtual ~MidiPlayer() = default;

    // Tells the player that play() will follow soon, so that one that makes its synthesiser
    // only when needed can start on it now. Players that are always ready ignore it.
    virtual void prepare() {}

    // Starts playing the MIDI file at `path` (the bytes of its name) and returns at once; a
    // tune already sounding is replaced. Callers always pass 0 and -1 for the last two
    // arguments. A file that cannot be played starts nothing: isPlaying() stays false.
    virtual void play(std::string_view path, int reserved1, int reserved2) = 0;

    // Stops playback; harmless when nothing plays. Afterwards isPlaying() is false.
    virtual void stop() = 0;

    // True while a tune sounds; false before any play(), after stop(), and once the tune
    // has played to its end.
    virtual bool isPlaying() const = 0;

    // Why nothing that this player plays can be heard (no sound device, or no usable
    // SoundFont), in words for a message, once the player knows it; empty while it can sound
    // or does not know yet. A player learns it at the latest while its first tune counts as
    // playing.
    virtual std::string silenceReason() const { return {}; }

    // The player never shows anything on screen; the property is kept for its callers.
    virtual void setVisible(bool visible) = 0;
};

}  // namespace lumi::platform
