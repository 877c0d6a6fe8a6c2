// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/MidiFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace lumi::music {

namespace {

using std::chrono::microseconds;

constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds a quarter note: 120 a minute
constexpr std::int64_t kMaxTick = std::int64_t{1} << 32;

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) {
        value = (value << 8) | byte;
    }
    return value;
}

// An event of one track before the tracks are merged: a message, or a tempo change when
// `message` is empty.
struct TrackEvent {
    std::int64_t tick = 0;
    std::uint32_t tempo = 0;
    std::vector<std::uint8_t> message;
};

// Reads the events of one track chunk.
class TrackReader {
public:
    explicit TrackReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Appends the track's events to `events` and returns the tick of its end.
    std::int64_t readInto(std::vector<TrackEvent>& events) {
        std::int64_t tick = 0;
        std::uint8_t status = 0;
        for (;;) {
            const std::optional<std::uint32_t> delta = quantity();
            const std::optional<std::uint8_t> lead = byte();
            if (!delta || !lead || tick + *delta > kMaxTick) {
                return tick;
            }
            tick += *delta;
            if (*lead == 0xFF) {
                const std::optional<std::uint8_t> type = byte();
                const std::optional<std::span<const std::uint8_t>> data = block();
                if (!type || !data || *type == 0x2F) {
                    return tick;
                }
                if (*type == 0x51 && data->size() >= 3) {
                    events.push_back({tick, bigEndian(data->first(3)), {}});
                }
                continue;
            }
            if (*lead == 0xF0 || *lead == 0xF7) {
                const std::optional<std::span<const std::uint8_t>> data = block();
                if (!data) {
                    return tick;
                }
                if (*lead == 0xF0) {
                    std::vector<std::uint8_t> message{0xF0};
                    message.insert(message.end(), data->begin(), data->end());
                    events.push_back({tick, 0, std::move(message)});
                }
                continue;
            }
            if (*lead >= 0xF0) {
                return tick;  // no other system message belongs in a file
            }
            std::vector<std::uint8_t> message;
            if (*lead & 0x80) {
                status = *lead;
            } else {
                if (status == 0) {
                    return tick;
                }
                --at_;  // running status: the lead byte is the first data byte
            }
            message.push_back(status);
            const std::size_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // Cn and Dn take one
            for (std::size_t n = 0; n < dataBytes; ++n) {
                const std::optional<std::uint8_t> data = byte();
                if (!data || (*data & 0x80)) {
                    return tick;
                }
                message.push_back(*data);
            }
            events.push_back({tick, 0, std::move(message)});
        }
    }

private:
    std::optional<std::uint8_t> byte() {
        return at_ < bytes_.size() ? std::optional(bytes_[at_++]) : std::nullopt;
    }

    // A variable-length quantity of at most four bytes.
    std::optional<std::uint32_t> quantity() {
        std::uint32_t value = 0;
        for (int length = 0; length < 4; ++length) {
            const std::optional<std::uint8_t> next = byte();
            if (!next) {
                return std::nullopt;
            }
            value = (value << 7) | (*next & 0x7F);
            if ((*next & 0x80) == 0) {
                return value;
            }
        }
        return std::nullopt;
    }

    // A length, as a variable-length quantity, and that many bytes.
    std::optional<std::span<const std::uint8_t>> block() {
        const std::optional<std::uint32_t> length = quantity();
        if (!length || *length > bytes_.size() - at_) {
            return std::nullopt;
        }
        const std::span<const std::uint8_t> data = bytes_.subspan(at_, *length);
        at_ += *length;
        return data;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// Turns ticks into time, following the tempo changes as they come in tick order.
class Clock {
public:
    explicit Clock(std::uint16_t division) {
        if (division & 0x8000) {
            // SMPTE: frames a second (29 stands for 29.97) and ticks a frame; tempo plays no part.
            const int frames = -static_cast<std::int8_t>(division >> 8);
            ticksPerSecondNumerator_ = std::int64_t{frames == 29 ? 30000 : frames * 1000} *
                                       static_cast<std::int64_t>(division & 0xFF);
            ticksPerSecondDenominator_ = frames == 29 ? 1001 : 1000;
        } else {
            ticksPerQuarter_ = division;
        }
    }

    bool valid() const { return ticksPerQuarter_ > 0 || ticksPerSecondNumerator_ > 0; }

    microseconds at(std::int64_t tick) const {
        if (ticksPerQuarter_ == 0) {
            return microseconds(tick * 1000000 * ticksPerSecondDenominator_ /
                                ticksPerSecondNumerator_);
        }
        // Counted from the last tempo change, so that rounding errors do not add up.
        return baseTime_ + microseconds((tick - baseTick_) * tempo_ / ticksPerQuarter_);
    }

    void changeTempo(std::int64_t tick, std::uint32_t tempo) {
        baseTime_ = at(tick);
        baseTick_ = tick;
        tempo_ = tempo;
    }

private:
    std::int64_t ticksPerQuarter_ = 0;
    std::int64_t ticksPerSecondNumerator_ = 0;
    std::int64_t ticksPerSecondDenominator_ = 1;
    std::int64_t tempo_ = kDefaultTempo;
    std::int64_t baseTick_ = 0;
    microseconds baseTime_{0};
};

MidiFileRead refusal(std::string problem) {
    return {{}, std::move(problem)};
}

}  // namespace

MidiFileRead readMidiFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        return refusal("not a MIDI file");
    }
    const std::uint32_t headerLength = bigEndian(bytes.subspan(4, 4));
    if (headerLength < 6 || headerLength > bytes.size() - 8) {
        return refusal("not a MIDI file");
    }
    const std::uint32_t format = bigEndian(bytes.subspan(8, 2));
    const std::uint32_t trackCount = bigEndian(bytes.subspan(10, 2));
    Clock clock(static_cast<std::uint16_t>(bigEndian(bytes.subspan(12, 2))));
    if (format > 1) {
        return refusal("MIDI file of type " + std::to_string(format) + ", not 0 or 1");
    }
    if (trackCount == 0) {
        return refusal("MIDI file without tracks");
    }
    if (!clock.valid()) {
        return refusal("MIDI file without a time division");
    }

    std::vector<TrackEvent> events;
    std::int64_t endTick = 0;
    std::size_t at = 8 + headerLength;
    for (std::uint32_t found = 0; found < trackCount;) {
        if (bytes.size() - at < 8 || bigEndian(bytes.subspan(at + 4, 4)) > bytes.size() - at - 8) {
            return refusal("truncated MIDI file");
        }
        const std::size_t chunkLength = bigEndian(bytes.subspan(at + 4, 4));
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) {
            TrackReader track(bytes.subspan(at + 8, chunkLength));
            endTick = std::max(endTick, track.readInto(events));
            ++found;
        }
        at += 8 + chunkLength;
    }

    // The tracks were read one after the other: a stable sort by tick keeps the events of one
    // tick in the order of their tracks.
    std::ranges::stable_sort(events, {}, &TrackEvent::tick);
    MidiFileRead read;
    for (TrackEvent& event : events) {
        if (event.message.empty()) {
            clock.changeTempo(event.tick, event.tempo);
        } else {
            read.tune.events.push_back({clock.at(event.tick), std::move(event.message)});
        }
    }
    read.tune.length = clock.at(endTick);
    return read;
}

}  // namespace lumi::music
