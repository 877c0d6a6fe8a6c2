// SPDX-License-Identifier: GPL-3.0-or-later
// settings_bench: what the settings file costs the program, on a file as the first run leaves
// it. It times, over many rounds, the reads of a display start (every key once, as read(),
// and every key once as contains(), as the first-run check does) and one write (a click in
// Setup), and prints the median of each in microseconds. Build it against two versions of the
// store and run them one after the other to compare.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "linux/platform/IniSettingsStore.h"
#include "settings/SettingKeys.h"

namespace {

constexpr int kRounds = 200;

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Lumiscribe.ini"));
    lumi::platform::IniSettingsStore store(path);
    lumi::settings::SetRegistry(store, "/home/user/.local/share/Corvanta/Lumiscribe/");

    std::vector<double> reads, contains, writes;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const auto& key : lumi::settings::kSettingKeys) {
            (void)store.read(key.name, key.readDefault);
        }
        reads.push_back(timer.nsecsElapsed() / 1000.0);
        timer.restart();
        for (const auto& key : lumi::settings::kSettingKeys) {
            (void)store.contains(key.name);
        }
        contains.push_back(timer.nsecsElapsed() / 1000.0);
        timer.restart();
        store.write("Delay", std::to_string(round % 10));
        writes.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::printf(
        "%zu keys, %d rounds (median us): all reads %.0f  all contains %.0f  one write %.0f\n",
        lumi::settings::kSettingKeys.size(), kRounds, median(reads), median(contains),
        median(writes));
    return 0;
}
