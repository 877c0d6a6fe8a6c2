// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "music/Playlist.h"
#include "support/FakeMusic.h"
#include "support/MemorySettingsStore.h"

namespace lumi::music {
namespace {

// One tune started by a tick: on which tick, and which tune.
struct Start {
    int tick;
    int tune;
    bool operator==(const Start&) const = default;
    friend void PrintTo(const Start& start, std::ostream* out) {
        *out << "tune " << start.tune << " on tick " << start.tick;
    }
};

class PlaylistTest : public ::testing::Test {
protected:
    // Stores the given tunes as checked and the others as unchecked, and loads the flags.
    void checkOnly(const std::vector<int>& tunes) {
        for (int n = 1; n <= 10; ++n) {
            store.write("MIDI" + std::to_string(n), std::ranges::count(tunes, n) > 0 ? "1" : "0");
        }
        playlist.loadFlags();
    }

    // Runs `ticks` ticks; a tune started by one tick has ended before the next.
    std::vector<Start> run(int ticks) {
        std::vector<Start> starts;
        for (int tick = 1; tick <= ticks; ++tick) {
            player.playing = false;
            const auto before = player.plays.size();
            playlist.TimerMIDI_Timer();
            if (player.plays.size() > before) {
                EXPECT_EQ(player.lastReserved1, 0);
                EXPECT_EQ(player.lastReserved2, -1);
                const std::string name = player.plays.back().substr(kInstall.size());
                EXPECT_TRUE(name.ends_with(".mid")) << name;
                starts.push_back({tick, std::stoi(name.substr(0, name.size() - 4))});
            }
        }
        return starts;
    }

    const std::string kInstall = "/opt/lumi/";
    testing::FakeMidiPlayer player;
    testing::MemorySettingsStore store;
    testing::FakeTimer timerMidi;
    Playlist playlist{player, store, timerMidi, kInstall};
};

TEST_F(PlaylistTest, SilentTicksStepThroughTheCheckedTunesAsUsersKnowIt) {
    const struct {
        std::vector<int> checked;
        std::vector<Start> starts;  // over 12 ticks from load
    } cases[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {{1, 1},
          {2, 2},
          {3, 3},
          {4, 4},
          {5, 5},
          {6, 6},
          {7, 7},
          {8, 8},
          {9, 9},
          {10, 10},
          {11, 1},
          {12, 2}}},
        {{}, {}},
        {{4}, {{2, 4}, {6, 4}, {10, 4}}},  // three silent ticks, the fourth starts it
        {{10}, {{4, 10}, {8, 10}, {12, 10}}},
        {{1, 2}, {{1, 1}, {2, 2}, {6, 2}, {10, 2}}},
        {{2, 5}, {{1, 2}, {5, 2}, {9, 2}}},
        {{1, 3}, {{1, 1}, {2, 3}, {5, 1}, {6, 3}, {9, 1}, {10, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.checked.size() << " checked, first "
                     << (c.checked.empty() ? 0 : c.checked.front()) << ", last "
                     << (c.checked.empty() ? 0 : c.checked.back()));
        playlist.MidiCurrent = 0;
        checkOnly(c.checked);
        EXPECT_EQ(run(12), c.starts);
        EXPECT_TRUE(timerMidi.isActive());
    }
    EXPECT_EQ(player.plays.at(9), "/opt/lumi/10.mid");
}

TEST_F(PlaylistTest, StoredFlagOtherThanZeroOrOneIsNeitherPlayedNorSkipped) {
    for (const char* odd : {"2", "-1"}) {
        SCOPED_TRACE(odd);
        playlist.MidiCurrent = 0;
        checkOnly({2});
        store.write("MIDI1", odd);
        playlist.loadFlags();
        EXPECT_EQ(run(2), (std::vector<Start>{{2, 2}}));  // tick 1 stays on tune 1
    }
    // No number: the flag stays as it was, whether it was checked or not.
    for (const std::int16_t before : {0, 1}) {
        store.write("MIDI1", "abc");
        playlist.MidiChecked[1] = before;
        playlist.loadFlags();
        EXPECT_EQ(playlist.MidiChecked[1], before);
        playlist.MidiSoundsStart();
        EXPECT_EQ(playlist.MidiChecked[1], before);
    }
}

TEST_F(PlaylistTest, StartKeyBeforeTheFirstTickPlaysTuneOneWhateverItsFlag) {
    checkOnly({1, 2});
    store.write("MIDI1", "0");  // re-read by the start key
    timerMidi.stop();           // music off at load
    playlist.MidiSoundsStart();
    EXPECT_EQ(player.plays, std::vector<std::string>{"/opt/lumi/1.mid"});
    EXPECT_EQ(playlist.MidiCurrent, 0);
    EXPECT_TRUE(timerMidi.isActive());
    EXPECT_EQ(run(1), (std::vector<Start>{{1, 2}}));
}

TEST_F(PlaylistTest, StartKeyWhileACheckedTuneSoundsPlaysItAgainWithoutStop) {
    checkOnly({1, 3});
    run(2);
    playlist.MidiSoundsStart();
    EXPECT_EQ(player.plays.size(), 3u);
    EXPECT_EQ(player.plays.back(), "/opt/lumi/3.mid");
    EXPECT_EQ(player.stops, 0);
}

TEST_F(PlaylistTest, StopThenStartReloadsFlagsAndStepsFromAnUncheckedTune) {
    playlist.loadFlags();
    run(1);
    playlist.MidiSoundsStop();
    EXPECT_EQ(player.stops, 1);
    EXPECT_EQ(playlist.MidiChecked, (std::array<std::int16_t, 11>{}));
    EXPECT_TRUE(run(5).empty());
    EXPECT_TRUE(timerMidi.isActive());

    // Each silent tick moves three numbers on from 1, so the current tune is 6; uncheck it.
    ASSERT_EQ(playlist.MidiCurrent, 6);
    checkOnly({1, 2, 3, 4, 5, 7, 8, 9, 10});
    playlist.MidiChecked.fill(0);
    playlist.MidiSoundsStart();
    EXPECT_EQ(playlist.MidiChecked[7], 1);
    EXPECT_EQ(player.plays.size(), 1u);  // nothing at once
    EXPECT_EQ(playlist.MidiCurrent, 7);
    EXPECT_EQ(run(1), (std::vector<Start>{{1, 8}}));
}

TEST_F(PlaylistTest, NextSongStopsAndTheNextTickStepsOn) {
    playlist.loadFlags();
    run(1);
    player.playing = true;
    playlist.MidiSoundsNextSong();
    EXPECT_FALSE(player.playing);
    EXPECT_EQ(run(1), (std::vector<Start>{{1, 2}}));
}

}  // namespace
}  // namespace lumi::music
