// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/PowerOnState.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "linux/music/OfflineRenderer.h"
#include "music/TinyTune.h"

namespace lumi::music {
namespace {

using lumi::testing::kSmallSoundFont;
using lumi::testing::writeFile;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int value : values) {
        result.append(static_cast<char>(value));
    }
    return result;
}

// A Standard MIDI File (format 0, 96 ticks a quarter note, 0.4 s a quarter note) of `events`,
// each a delta time of one byte followed by the event.
QByteArray tune(const QByteArray& events) {
    const QByteArray track = bytes({0x00, 0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80}) + events +
                             bytes({0x00, 0xFF, 0x2F, 0x00});
    QByteArray file = bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'});
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.append(static_cast<char>((track.size() >> shift) & 0xFF));
    }
    return file + track;
}

// A chord on the first channel, which chooses no instrument, with a snare on the percussion
// channel: every controller it hears is the one the synthesiser starts with.
const QByteArray kPlainEvents = bytes({
    0x00, 0x90, 60, 100, 0x00, 0x90, 64, 100, 0x00, 0x90, 67, 100, 0x00, 0x99, 38, 110,
    0x30, 0x80, 60, 64,  0x00, 0x90, 72, 90,  0x00, 0x89, 38, 64,  0x30, 0x80, 64, 64,
    0x00, 0x80, 67, 64,  0x00, 0x80, 72, 64,
});

// A note that the tune leaves sounding, after its controllers are set.
const QByteArray kHangingNote = bytes({0x00, 0x90, 62, 100, 0x00, 0x99, 42, 100, 0x30, 0x90, 65, 100});

// The octave bands from 125 Hz to 8 kHz.
constexpr int kBands = 7;
using BandLevels = std::array<std::array<double, kBands>, 2>;

// The energy of each channel of a raw rendering (16-bit little-endian stereo) in each octave
// band, in dB: each band is filtered out with a band-pass biquad one octave wide.
BandLevels bandLevels(const QByteArray& raw) {
    BandLevels levels{};
    const qsizetype frames = raw.size() / 4;
    for (int band = 0; band < kBands; ++band) {
        const double centre = 125.0 * std::pow(2.0, band);
        const double omega = 2 * M_PI * centre / kRenderSampleRate;
        const double alpha = std::sin(omega) * std::sinh(std::log(2.0) / 2 * omega / std::sin(omega));
        const double a0 = 1 + alpha;
        const double b0 = alpha / a0, b2 = -alpha / a0;
        const double a1 = -2 * std::cos(omega) / a0, a2 = (1 - alpha) / a0;
        for (int channel = 0; channel < 2; ++channel) {
            double x1 = 0, x2 = 0, y1 = 0, y2 = 0, energy = 1e-12;
            for (qsizetype frame = 0; frame < frames; ++frame) {
                const double x =
                    qFromLittleEndian<qint16>(raw.constData() + 4 * frame + 2 * channel) / 32768.0;
                const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
                x2 = x1;
                x1 = x;
                y2 = y1;
                y1 = y;
                energy += y * y;
            }
            levels[channel][band] = 10 * std::log10(energy);
        }
    }
    return levels;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// How far an octave band of a tune may lie from the same band on a new synthesiser. The voices
// of an earlier tune leave the synthesiser's voice pool in another order, which changes how
// the voices are summed: the bands then differ by far less than 0.01 dB. A leaked controller
// moves them by several dB (the volume of the first case by 14 dB), and a reverb that kept
// its modulators by up to 0.7 dB after a tune with the effect sends at their maximum. Where
// FluidSynth cannot restart the effects (2.4), their modulators have moved on during the tune
// before, whatever it played: one band of the right channel then lies 0.15 dB off.
double toleranceDb() {
    return effectsRestartBetweenTunes() ? 0.1 : 0.2;
}

// Each tune leaves controllers moved and a note sounding; the plain tune after it must sound as
// on a new synthesiser in every octave band of either channel.
TEST(PowerOnStateTest, TuneAfterOneThatMovedControllersSoundsAsOnANewSynthesiser) {
    const struct {
        const char* what;
        QByteArray events;
    } cases[] = {
        {"nothing", QByteArray()},
        {"volume and pan", bytes({0x00, 0xB0, 7, 20, 0x00, 0xB0, 10, 0, 0x00, 0xB9, 7, 0})},
        {"expression and balance", bytes({0x00, 0xB0, 11, 30, 0x00, 0xB0, 8, 127})},
        {"reverb and chorus sends", bytes({0x00, 0xB0, 91, 127, 0x00, 0xB0, 93, 127,
                                           0x00, 0xB9, 91, 127})},
        {"bank and program", bytes({0x00, 0xB0, 0, 1, 0x00, 0xB0, 32, 1, 0x00, 0xC0, 40,
                                    0x00, 0xC9, 25})},
        {"pitch bend and its range", bytes({0x00, 0xB0, 101, 0, 0x00, 0xB0, 100, 0,
                                            0x00, 0xB0, 6, 12, 0x00, 0xE0, 0x00, 0x70})},
        {"modulation and channel pressure", bytes({0x00, 0xB0, 1, 127, 0x00, 0xD0, 127})},
        {"sustain held", bytes({0x00, 0xB0, 64, 127, 0x00, 0xB9, 64, 127})},
        {"fine and coarse tuning", bytes({0x00, 0xB0, 101, 0, 0x00, 0xB0, 100, 1,
                                          0x00, 0xB0, 6, 0, 0x00, 0xB0, 100, 2,
                                          0x00, 0xB0, 6, 70})},
        {"portamento", bytes({0x00, 0xB0, 65, 127, 0x00, 0xB0, 5, 127})},
        {"mono mode", bytes({0x00, 0xB0, 126, 1})},
        {"sound controllers", bytes({0x00, 0xB0, 71, 127, 0x00, 0xB0, 74, 0,
                                     0x00, 0xB0, 72, 0})},
        {"an unfinished parameter number", bytes({0x00, 0xB0, 101, 0, 0x00, 0xB0, 100, 0})},
    };
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.mid"));
    ASSERT_TRUE(writeFile(plain, tune(kPlainEvents)));
    const QString reference = dir.filePath(QStringLiteral("reference.raw"));
    ASSERT_TRUE(renderToFile(plain, kSmallSoundFont, reference, RenderFormat::Raw));
    const QByteArray expected = readAll(reference);
    ASSERT_GT(expected.size(), 40000);
    const BandLevels wanted = bandLevels(expected);

    for (const auto& c : cases) {
        const QString before = dir.filePath(QStringLiteral("before.mid"));
        ASSERT_TRUE(writeFile(before, tune(c.events + kHangingNote)));
        const QStringList outputs = {dir.filePath(QStringLiteral("before.raw")),
                                     dir.filePath(QStringLiteral("after.raw"))};
        ASSERT_TRUE(renderInSequence({before, plain}, kSmallSoundFont, outputs, RenderFormat::Raw))
            << c.what;
        const QByteArray after = readAll(outputs[1]);
        ASSERT_EQ(after.size(), expected.size()) << c.what;
        const BandLevels got = bandLevels(after);
        for (int channel = 0; channel < 2; ++channel) {
            for (int band = 0; band < kBands; ++band) {
                EXPECT_NEAR(got[channel][band], wanted[channel][band], toleranceDb())
                    << c.what << ", channel " << channel << ", band " << band;
            }
        }
    }
}

// The tune alone, prepared as the player prepares it, sounds as after FluidSynth's own reset:
// the channels that play before choosing an instrument get the piano and the drum kit.
TEST(PowerOnStateTest, FirstTuneSoundsAsAfterAFullReset) {
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.mid"));
    ASSERT_TRUE(writeFile(plain, tune(kPlainEvents)));
    const QString reference = dir.filePath(QStringLiteral("reference.raw"));
    const QString prepared = dir.filePath(QStringLiteral("prepared.raw"));
    ASSERT_TRUE(renderToFile(plain, kSmallSoundFont, reference, RenderFormat::Raw));
    ASSERT_TRUE(renderInSequence({plain}, kSmallSoundFont, {prepared}, RenderFormat::Raw));
    EXPECT_TRUE(readAll(prepared) == readAll(reference));
}


}  // namespace
}  // namespace lumi::music
