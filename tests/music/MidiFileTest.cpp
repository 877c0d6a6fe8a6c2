// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "music/MidiFile.h"

namespace lumi::music {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;

Bytes chunk(const char* type, const Bytes& data) {
    const auto size = static_cast<std::uint32_t>(data.size());
    Bytes bytes = {std::uint8_t(type[0]),   std::uint8_t(type[1]),    std::uint8_t(type[2]),
                   std::uint8_t(type[3]),   std::uint8_t(size >> 24), std::uint8_t(size >> 16),
                   std::uint8_t(size >> 8), std::uint8_t(size)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Bytes file(std::uint8_t format, std::uint8_t tracks, Bytes division,
           const std::vector<Bytes>& chunks) {
    Bytes bytes = chunk("MThd", {0, format, 0, tracks, division[0], division[1]});
    for (const Bytes& data : chunks) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

TEST(MidiFileTest, TracksMergeInTickOrderAndTicksBecomeTimeThroughEveryTempo) {
    // 96 ticks a quarter: a second a quarter, then half a second from tick 96.
    const Bytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // tempo 1000000
                             0x00, 0xB0, 0x07, 0x64,                    // volume, tick 0
                             0x60, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                             0x00, 0xFF, 0x2F, 0x00};
    const Bytes melody = {0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,  // system exclusive, tick 0
                          0x00, 0xC1, 0x05,                    // program, tick 0
                          0x30, 0x91, 0x3C, 0x64,              // note on, tick 48
                          0x81, 0x00, 0x3C, 0x00,              // running status, tick 176
                          0x10, 0xFF, 0x2F, 0x00};             // end, tick 192
    const MidiFileRead read = readMidiFile(
        file(1, 2, {0, 96}, {chunk("MTrk", conductor), chunk("XYZW", {1}), chunk("MTrk", melody)}));
    ASSERT_EQ(read.problem, "");
    const std::vector<MidiEvent> expected = {{microseconds(0), {0xB0, 0x07, 0x64}},
                                             {microseconds(0), {0xF0, 0x7E, 0x7F, 0xF7}},
                                             {microseconds(0), {0xC1, 0x05}},
                                             {microseconds(500000), {0x91, 0x3C, 0x64}},
                                             {microseconds(1416666), {0x91, 0x3C, 0x00}}};
    EXPECT_EQ(read.tune.events, expected);
    EXPECT_EQ(read.tune.length, microseconds(1500000));

    // 25 frames of 40 ticks a second: a tick is a millisecond. The track breaks off mid-event.
    const MidiFileRead smpte = readMidiFile(
        file(0, 1, {0xE7, 40}, {chunk("MTrk", {0x83, 0x60, 0x90, 0x3C, 0x64, 0x10, 0x80})}));
    ASSERT_EQ(smpte.problem, "");
    EXPECT_EQ(smpte.tune.events,
              (std::vector<MidiEvent>{{microseconds(480000), {0x90, 0x3C, 0x64}}}));
    EXPECT_EQ(smpte.tune.length, microseconds(496000));
}

TEST(MidiFileTest, FilesThatCannotBePlayedAreRefused) {
    const Bytes track = chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00});
    Bytes truncated = file(0, 1, {0, 96}, {track});
    truncated.pop_back();
    const std::vector<Bytes> files = {
        {},
        Bytes(20, 'x'),
        file(2, 1, {0, 96}, {track}),
        file(1, 0, {0, 96}, {}),
        file(1, 2, {0, 96}, {track}),
        file(0, 1, {0, 0}, {track}),
        truncated,
    };
    for (const Bytes& bytes : files) {
        EXPECT_NE(readMidiFile(bytes).problem, "") << bytes.size() << " bytes";
    }
}

}  // namespace
}  // namespace lumi::music
