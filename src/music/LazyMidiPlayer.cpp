// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/LazyMidiPlayer.h"

#include <utility>

namespace lumi::music {

LazyMidiPlayer::LazyMidiPlayer(Factory makePlayer) : makePlayer_(std::move(makePlayer)) {}

LazyMidiPlayer::~LazyMidiPlayer() = default;

platform::MidiPlayer& LazyMidiPlayer::player() {
    if (!player_) {
        player_ = makePlayer_();
        player_->setVisible(visible_);
        player_->prepare();
    }
    return *player_;
}

void LazyMidiPlayer::prepare() {
    player();
}

void LazyMidiPlayer::play(std::string_view path, int reserved1, int reserved2) {
    player().play(path, reserved1, reserved2);
}

void LazyMidiPlayer::stop() {
    if (player_) {
        player_->stop();
    }
}

bool LazyMidiPlayer::isPlaying() const {
    return player_ && player_->isPlaying();
}

std::string LazyMidiPlayer::silenceReason() const {
    return player_ ? player_->silenceReason() : std::string();
}

void LazyMidiPlayer::setVisible(bool visible) {
    visible_ = visible;
    if (player_) {
        player_->setVisible(visible);
    }
}

}  // namespace lumi::music
