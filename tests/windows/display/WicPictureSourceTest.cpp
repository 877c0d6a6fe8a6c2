// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>

#include "TestPictures.h"
#include "windows/display/WicPictureSource.h"

namespace lumi::display {
namespace {

// Runs this thread's message loop until `done` holds, or for a minute at most.
bool pumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return done();
}

TEST(WicPictureSourceTest, EachFileIsDecodedOnceWhileItStaysAsItIs) {
    const ScratchFolder folder;
    const std::string picture = folder.file("picture.bmp", bmp(1, 1, {0x123456}));
    const std::string broken = folder.file("broken.bmp", "BM, and nothing more");
    const struct {
        std::string path;
        std::string rewrite;  // the file's new content before the step, if any
        bool prefetch;
        int decodes;    // the decodes started so far
        Rgb pixel = 0;  // the first pixel delivered, 0 for a failure
    } steps[] = {
        {picture, {}, false, 1, 0xff123456},
        {picture, {}, true, 1},
        {picture, {}, false, 1, 0xff123456},
        {broken, {}, false, 2, 0},
        {broken, {}, true, 2},
        {broken, {}, false, 2, 0},
        {picture, bmp(2, 1, {0x654321, 0}), false, 3, 0xff654321},
        {broken, bmp(1, 1, {0xabcdef}), true, 4},
        {broken, {}, false, 4, 0xffabcdef},
    };
    WicPictureSource source;
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << &step - steps);
        folder.file(step.path.substr(step.path.rfind('\\') + 1), step.rewrite);
        std::optional<Rgb> delivered;
        if (step.prefetch) {
            source.prefetch(step.path);
        } else {
            source.load(step.path, [&](const LoadedPicture& result) {
                delivered = result.ok() ? result.pixels.row(0)[0] : 0;
            });
            EXPECT_TRUE(source.loading());
            EXPECT_FALSE(delivered);  // never from within load()
            ASSERT_TRUE(pumpUntil([&] { return !source.loading(); }));
            EXPECT_EQ(delivered, step.pixel);
        }
        EXPECT_EQ(source.decodeCount(), step.decodes);
    }
    // A later load replaces one whose result has not come yet.
    bool replacedRan = false;
    source.load(broken, [&](const LoadedPicture&) { replacedRan = true; });
    source.load(picture, [](const LoadedPicture&) {});
    ASSERT_TRUE(pumpUntil([&] { return !source.loading(); }));
    EXPECT_FALSE(replacedRan);
}

TEST(WicPictureSourceTest, DestructionDoesNotWaitForADecode) {
    const auto started = std::make_shared<std::promise<void>>();
    std::future<void> decoding = started->get_future();
    std::promise<void> release;
    {
        WicPictureSource source([started, released = release.get_future().share()](auto&, auto&) {
            started->set_value();
            released.wait();
            return LoadedPicture{};
        });
        source.prefetch("any");
        decoding.wait();
    }
    release.set_value();
}

}  // namespace
}  // namespace lumi::display
