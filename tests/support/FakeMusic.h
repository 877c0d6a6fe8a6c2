// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/MidiPlayer.h"
#include "platform/Timer.h"

namespace lumi::testing {

// A player that records what it is told, for the core's tests.
class FakeMidiPlayer final : public platform::MidiPlayer {
public:
    void play(std::string_view path, int reserved1, int reserved2) override {
        plays.emplace_back(path);
        lastReserved1 = reserved1;
        lastReserved2 = reserved2;
        playing = true;
    }
    void stop() override {
        ++stops;
        playing = false;
    }
    bool isPlaying() const override { return playing; }
    void setVisible(bool isVisible) override { visible = isVisible; }
    std::string silenceReason() const override { return silence; }

    std::vector<std::string> plays;  // every path passed to play(), in order
    std::string silence;             // what silenceReason() answers
    int stops = 0;
    int lastReserved1 = 99;
    int lastReserved2 = 99;
    bool playing = false;
    bool visible = true;
};

// A timer that is only switched; its ticks are the test's calls of the handler.
class FakeTimer final : public platform::Timer {
public:
    void start() override { active = true; }
    void stop() override { active = false; }
    bool isActive() const override { return active; }

    bool active = false;
};

}  // namespace lumi::testing
