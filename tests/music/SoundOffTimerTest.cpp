// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "music/Playlist.h"
#include "music/SoundOffTimer.h"
#include "support/FakeMusic.h"
#include "support/MemorySettingsStore.h"

namespace lumi::music {
namespace {

class SoundOffTimerTest : public ::testing::Test {
protected:
    // What the form's load step does: every tune checked, music on, the stored minutes.
    void load(std::int16_t minutes) {
        playlist.loadFlags();
        timerMidi.start();
        timer.SoundOffMinutes = minutes;
        if (minutes != 0) {
            timer.SoundOff();
        }
    }

    void tick(int times) {
        for (int i = 0; i < times; ++i) {
            timer.Timer3_Timer();
        }
    }

    // The state after a silencing tick: player stopped, TimerMIDI off, no tune checked.
    bool silenced() const {
        return !player.playing && !timerMidi.isActive() &&
               playlist.MidiChecked == std::array<std::int16_t, 11>{};
    }

    testing::FakeMidiPlayer player;
    testing::MemorySettingsStore store;
    testing::FakeTimer timerMidi;
    Playlist playlist{player, store, timerMidi, "/opt/lumi/"};
    SoundOffTimer timer{player, timerMidi, playlist};
};

TEST_F(SoundOffTimerTest, NeverSilencesWhenMinutesAreZero) {
    load(0);
    tick(100000);
    EXPECT_EQ(timer.SoundOffCounter, 0);
    EXPECT_EQ(player.stops, 0);
    EXPECT_TRUE(timerMidi.isActive());
    EXPECT_EQ(playlist.MidiChecked[10], 1);
}

TEST_F(SoundOffTimerTest, OneMinuteSilencesOnTheSixtiethTickAndEveryTickAfter) {
    load(1);
    tick(59);
    EXPECT_EQ(player.stops, 0);
    EXPECT_TRUE(timerMidi.isActive());
    tick(1);
    EXPECT_EQ(player.stops, 1);
    EXPECT_TRUE(silenced());
    tick(5);
    EXPECT_EQ(player.stops, 6);
}

TEST_F(SoundOffTimerTest, MinutesOutsideTheTableSilenceOnTheFirstTick) {
    for (const std::int16_t minutes : {7, -3, 1000}) {
        SCOPED_TRACE(minutes);
        load(minutes);
        EXPECT_EQ(timer.SoundOffSeconds, 0);
        tick(1);
        EXPECT_EQ(timer.SoundOffCounter, 1);
        EXPECT_TRUE(silenced());
        timer.SoundOffCounter = 0;
    }
    timer.SoundOffSeconds = 120;
    load(7);
    EXPECT_EQ(timer.SoundOffSeconds, 120);  // left as it was
}

TEST_F(SoundOffTimerTest, MusicOffStillCountsAndTheStartKeyLastsUntilTheNextTick) {
    load(1);
    timerMidi.stop();
    tick(60);
    EXPECT_EQ(player.stops, 1);
    EXPECT_TRUE(silenced());

    playlist.MidiSoundsStart();
    EXPECT_TRUE(player.playing);
    EXPECT_TRUE(timerMidi.isActive());
    tick(1);
    EXPECT_TRUE(silenced());
}

TEST_F(SoundOffTimerTest, CountWrapsAfterTheTickThatReaches86399HasSilenced) {
    load(480);
    timer.SoundOffCounter = 86397;
    tick(1);
    EXPECT_EQ(timer.SoundOffCounter, 86398);
    player.stops = 0;
    tick(1);  // reaches 86399: silences first, then wraps
    EXPECT_EQ(player.stops, 1);
    EXPECT_EQ(timer.SoundOffCounter, 0);

    // Below the limit again: the start key brings the music back for good.
    playlist.MidiSoundsStart();
    tick(100);
    EXPECT_EQ(player.stops, 1);
    EXPECT_TRUE(player.playing);
    EXPECT_TRUE(timerMidi.isActive());
}

}  // namespace
}  // namespace lumi::music
