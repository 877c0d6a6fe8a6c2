// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/MidiChannels.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace lumi::music {

namespace {

// Where an event stands in the tune: its tick, then its track.
using Position = std::pair<qint64, int>;

// Reads the events of one track chunk, from `at` to `end`.
class TrackReader {
public:
    TrackReader(const uchar* bytes, qint64 at, qint64 end) : bytes_(bytes), at_(at), end_(end) {}

    // A variable-length quantity; nothing when the track breaks off.
    std::optional<qint64> quantity() {
        qint64 value = 0;
        for (int length = 0; length < 4 && at_ < end_; ++length) {
            const uchar byte = bytes_[at_++];
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }

    std::optional<uchar> byte() {
        return at_ < end_ ? std::optional<uchar>(bytes_[at_++]) : std::nullopt;
    }

    // Steps over `count` bytes; false when the track holds fewer.
    bool skip(qint64 count) {
        if (count > end_ - at_) {
            return false;
        }
        at_ += count;
        return true;
    }

    bool atEnd() const { return at_ >= end_; }

private:
    const uchar* bytes_;
    qint64 at_;
    qint64 end_;
};

struct FirstEvents {
    std::array<std::optional<Position>, 16> note;
    std::array<std::optional<Position>, 16> program;
};

void keepEarliest(std::optional<Position>& earliest, Position position) {
    if (!earliest || position < *earliest) {
        earliest = position;
    }
}

void readTrack(TrackReader track, int trackIndex, FirstEvents& first) {
    qint64 tick = 0;
    uchar status = 0;
    while (!track.atEnd()) {
        const std::optional<qint64> delta = track.quantity();
        std::optional<uchar> lead = track.byte();
        if (!delta || !lead) {
            return;
        }
        tick += *delta;
        if (*lead == 0xFF) {  // meta event: type, length, data
            const std::optional<uchar> type = track.byte();
            const std::optional<qint64> length = track.quantity();
            if (!type || !length || !track.skip(*length)) {
                return;
            }
            continue;
        }
        if (*lead == 0xF0 || *lead == 0xF7) {  // system exclusive: length, data
            const std::optional<qint64> length = track.quantity();
            if (!length || !track.skip(*length)) {
                return;
            }
            continue;
        }
        std::optional<uchar> firstData;
        if (*lead & 0x80) {
            status = *lead;
            firstData = track.byte();
        } else if (status != 0) {
            firstData = lead;  // running status
        }
        if (!firstData) {
            return;
        }
        const int kind = status >> 4;
        const int channel = status & 0x0F;
        const bool oneDataByte = kind == 0xC || kind == 0xD;
        std::optional<uchar> secondData;
        if (!oneDataByte) {
            secondData = track.byte();
            if (!secondData) {
                return;
            }
        }
        const Position position{tick, trackIndex};
        if (kind == 0x9 && *secondData != 0) {
            keepEarliest(first.note[channel], position);
        } else if (kind == 0xC) {
            keepEarliest(first.program[channel], position);
        }
    }
}

}  // namespace

std::bitset<16> channelsPlayingTheDefaultProgram(const QByteArray& midi) {
    const auto* bytes = reinterpret_cast<const uchar*>(midi.constData());
    const qint64 size = midi.size();
    if (size < 14 || std::memcmp(bytes, "MThd", 4) != 0) {
        return {};
    }
    FirstEvents first;
    int trackIndex = 0;
    for (qint64 at = 8 + qint64{qFromBigEndian<quint32>(bytes + 4)}; at + 8 <= size;) {
        const qint64 length = qFromBigEndian<quint32>(bytes + at + 4);
        const qint64 end = std::min(size, at + 8 + length);
        if (std::memcmp(bytes + at, "MTrk", 4) == 0) {
            readTrack(TrackReader(bytes, at + 8, end), trackIndex++, first);
        }
        at = at + 8 + length;
    }
    std::bitset<16> channels;
    for (int channel = 0; channel < 16; ++channel) {
        const auto& note = first.note[channel];
        const auto& program = first.program[channel];
        channels[channel] = note && (!program || *note < *program);
    }
    return channels;
}

}  // namespace lumi::music
