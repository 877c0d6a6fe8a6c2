// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/OfflineRenderer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "music/TinyTune.h"

namespace lumi::music {
namespace {

using lumi::testing::kSmallSoundFont;
using lumi::testing::kTinyNoteSeconds;
using lumi::testing::tinyTune;
using lumi::testing::writeFile;

// Length and loudness (as fractions of full scale) of a raw rendering.
struct Loudness {
    double seconds = 0;
    double peak = 0;
    double rms = 0;
};

Loudness measureRaw(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    const qsizetype samples = bytes.size() / 2;
    Loudness result;
    result.seconds = static_cast<double>(samples / 2) / kRenderSampleRate;
    double sumOfSquares = 0;
    for (qsizetype i = 0; i < samples; ++i) {
        const double value = qFromLittleEndian<qint16>(bytes.constData() + 2 * i) / 32768.0;
        result.peak = std::max(result.peak, std::abs(value));
        sumOfSquares += value * value;
    }
    result.rms = samples > 0 ? std::sqrt(sumOfSquares / static_cast<double>(samples)) : 0;
    return result;
}

class OfflineRendererTest : public ::testing::Test {
protected:
    QString tinyTunePath() {
        const QString path = dir_.filePath(QStringLiteral("tiny.mid"));
        EXPECT_TRUE(writeFile(path, tinyTune(3)));
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(OfflineRendererTest, TinyTuneIsAudibleAndLastsItsLength) {
    const QString output = dir_.filePath(QStringLiteral("tiny.raw"));
    ASSERT_TRUE(renderToFile(tinyTunePath(), kSmallSoundFont, output, RenderFormat::Raw));
    const Loudness loudness = measureRaw(output);
    EXPECT_NEAR(loudness.seconds, 3 * kTinyNoteSeconds, 0.01);
    EXPECT_GT(loudness.peak, 0.01);
    EXPECT_GT(loudness.rms, 0.002);
}

TEST_F(OfflineRendererTest, WaveFileHasItsHeaderAndTheSamples) {
    const QString output = dir_.filePath(QStringLiteral("tiny.wav"));
    ASSERT_TRUE(renderToFile(tinyTunePath(), kSmallSoundFont, output));
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("RIFF"));
    EXPECT_EQ(bytes.mid(8, 4), "WAVE");
    const double seconds = (bytes.size() - 44) / 4.0 / kRenderSampleRate;
    EXPECT_NEAR(seconds, 3 * kTinyNoteSeconds, 0.01);
}

TEST_F(OfflineRendererTest, FirstShippedTuneIsAudibleForAboutItsLength) {
    const QString tune = QStringLiteral(LUMI_ASSETS_BUILD_DIR "/1.mid");
    if (!QFile::exists(tune)) {
        GTEST_SKIP() << tune.toStdString() << " is not built; build the lumi_tunes target";
    }
    const QString output = dir_.filePath(QStringLiteral("1.raw"));
    ASSERT_TRUE(renderToFile(tune, kSmallSoundFont, output, RenderFormat::Raw));
    const Loudness loudness = measureRaw(output);
    EXPECT_GT(loudness.seconds, 20);
    EXPECT_LT(loudness.seconds, 100);
    EXPECT_GT(loudness.peak, 0.01);
    EXPECT_GT(loudness.rms, 0.002);
}

TEST_F(OfflineRendererTest, UnusableInputsFailWithOneLine) {
    const QString output = dir_.filePath(QStringLiteral("out.wav"));
    const QString text = dir_.filePath(QStringLiteral("text.mid"));
    ASSERT_TRUE(writeFile(text, "no tune"));
    QByteArray corrupt = tinyTune(3);
    corrupt.replace(22, corrupt.size() - 22, QByteArray(corrupt.size() - 22, '\xF4'));
    const QString corruptPath = dir_.filePath(QStringLiteral("corrupt.mid"));
    ASSERT_TRUE(writeFile(corruptPath, corrupt));
    const std::pair<QString, QString> cases[] = {
        {dir_.filePath(QStringLiteral("absent.mid")), kSmallSoundFont},
        {text, kSmallSoundFont},
        {corruptPath, kSmallSoundFont},
        {tinyTunePath(), dir_.filePath(QStringLiteral("absent.sf2"))},
    };
    for (const auto& [midi, soundFont] : cases) {
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(renderToFile(midi, soundFont, output));
        const QString err = QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith("lumiscribe: cannot render " + midi + ": "))
            << err.toStdString();
    }
}

}  // namespace
}  // namespace lumi::music
