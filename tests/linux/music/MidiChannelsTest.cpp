// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

#include "linux/music/MidiChannels.h"

namespace lumi::music {
namespace {

// A Standard MIDI File of the given track bodies (events without the end-of-track event).
QByteArray midiFile(const QList<QByteArray>& tracks) {
    QByteArray file("MThd\x00\x00\x00\x06\x00\x01\x00", 11);
    file.append(static_cast<char>(tracks.size())).append("\x00\x60", 2);
    for (const QByteArray& body : tracks) {
        const QByteArray track = body + QByteArray("\x00\xFF\x2F\x00", 4);
        file.append("MTrk");
        for (int shift = 24; shift >= 0; shift -= 8) {
            file.append(static_cast<char>((track.size() >> shift) & 0xFF));
        }
        file.append(track);
    }
    return file;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int value : values) {
        result.append(static_cast<char>(value));
    }
    return result;
}

TEST(MidiChannelsTest, ChannelsThatPlayBeforeChoosingAnInstrument) {
    const struct {
        const char* what;
        QList<QByteArray> tracks;
        unsigned long expected;
    } cases[] = {
        {"program, then note", {bytes({0, 0xC0, 73, 0, 0x90, 60, 100})}, 0},
        {"note, then program", {bytes({0, 0x91, 60, 100, 10, 0xC1, 73})}, 1ul << 1},
        {"drums, no program", {bytes({0, 0x99, 36, 100})}, 1ul << 9},
        {"velocity 0 is a note off", {bytes({0, 0x92, 60, 0, 5, 0xC2, 1})}, 0},
        {"running status",
         {bytes({0, 0x93, 60, 100, 5, 62, 100, 0, 0xC4, 5, 0, 0x94, 60, 100})},
         1ul << 3},
        {"meta and sysex are skipped",
         {bytes({0, 0xFF, 0x03, 2, 'a', 'b', 0, 0xF0, 2, 0x7E, 0xF7, 0, 0x95, 60, 100})},
         1ul << 5},
        {"same tick, program in a later track",
         {bytes({0, 0x96, 60, 100}), bytes({0, 0xC6, 40})},
         1ul << 6},
        {"same tick, program in an earlier track",
         {bytes({0, 0xC6, 40}), bytes({0, 0x96, 60, 100})},
         0},
        {"later tick in an earlier track",
         {bytes({20, 0xC7, 40}), bytes({10, 0x97, 60, 100})},
         1ul << 7},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(channelsPlayingTheDefaultProgram(midiFile(test.tracks)).to_ulong(), test.expected)
            << test.what;
    }
    // A file cut off within its track is read up to the cut.
    const QByteArray whole = midiFile({bytes({0, 0x98, 60, 100, 0, 0xC8, 1})});
    EXPECT_EQ(channelsPlayingTheDefaultProgram(whole.left(whole.size() - 6)).to_ulong(), 1ul << 8);
    EXPECT_EQ(channelsPlayingTheDefaultProgram(QByteArray("MThd")).to_ulong(), 0ul);
}

}  // namespace
}  // namespace lumi::music
