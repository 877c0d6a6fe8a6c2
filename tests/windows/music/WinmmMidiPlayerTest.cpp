// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "windows/music/WinmmMidiPlayer.h"
#include "windows/platform/Utf16.h"

namespace lumi::music {
namespace {

using std::chrono::steady_clock;

// What "at once" means for calls on the user-interface thread, with room for a loaded machine.
constexpr auto kPrompt = std::chrono::milliseconds(500);

// Files in a scratch folder of this process, removed with it.
class WinmmMidiPlayerTest : public ::testing::Test {
protected:
    ~WinmmMidiPlayerTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string file(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        return platform::toUtf8((folder_ / name).wstring());
    }

    std::string tune() {
        return file(L"Zo\u00eb.mid",
                    {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,   0, 1,
                     0,    96,   'M',  'T',  'r',  'k',  0,    0,    0,    12,  0, 0x90,
                     0x3C, 0x64, 0x60, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00, 0x00});
    }

    const std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        ("lumiscribe-midi-" + std::to_string(GetCurrentProcessId()));
};

steady_clock::duration timeOf(const std::function<void()>& call) {
    const steady_clock::time_point start = steady_clock::now();
    call();
    return steady_clock::now() - start;
}

// Waits without sleeping until `condition` holds or two minutes have passed.
bool becomes(const std::function<bool()>& condition) {
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::minutes(2);
    while (!condition() && steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return condition();
}

TEST_F(WinmmMidiPlayerTest, FilesThatCannotBePlayedStartNothing) {
    WinmmMidiPlayer player;
    for (const std::string& path : {file(L"noise.mid", {'R', 'I', 'F', 'F', 1, 2, 3}),
                                    platform::toUtf8((folder_ / L"missing.mid").wstring()),
                                    platform::toUtf8(folder_.wstring())}) {
        player.play(path, 0, -1);
        EXPECT_FALSE(player.isPlaying()) << path;
    }
}

TEST_F(WinmmMidiPlayerTest, WithoutADeviceNothingPlaysNothingBlocksAndThePlayerSaysWhy) {
    if (midiOutGetNumDevs() != 0) {
        GTEST_SKIP() << "this machine has a MIDI output device";
    }
    auto player = std::make_unique<WinmmMidiPlayer>();
    const std::string path = tune();
    EXPECT_EQ(player->silenceReason(), "");
    EXPECT_LT(timeOf([&] { player->play(path, 0, -1); }), kPrompt);
    ASSERT_TRUE(becomes([&] { return !player->isPlaying() && !player->silenceReason().empty(); }));

    // Known to have no device: the next tune does not count as playing even for a moment.
    player->play(path, 0, -1);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_LT(timeOf([&] { player->stop(); }), kPrompt);
    EXPECT_LT(timeOf([&] { player.reset(); }), kPrompt);
}

}  // namespace
}  // namespace lumi::music
