// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "display/PictureOrder.h"

namespace lumi::display {
namespace {

// Over many rounds and several seeds: each round of `count` pictures shows every one once,
// and no picture shows twice in a row, also where two rounds meet.
TEST(PictureOrderTest, ShuffledRoundsShowEveryPictureOnceAndNeverRepeatAtTheJoin) {
    for (const int count : {2, 3, 5, 12}) {
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            PictureOrder order(count, ShowOrder::Shuffle, seed);
            int previous = -1;
            std::vector<int> firsts;
            for (int round = 0; round < 60; ++round) {
                std::set<int> seen;
                for (int i = 0; i < count; ++i) {
                    const int shown = round == 0 && i == 0 ? order.current() : order.next();
                    ASSERT_GE(shown, 0);
                    ASSERT_LT(shown, count);
                    ASSERT_NE(shown, previous) << count << " pictures, seed " << seed;
                    seen.insert(shown);
                    previous = shown;
                    if (i == 0) {
                        firsts.push_back(shown);
                    }
                }
                ASSERT_EQ(seen.size(), static_cast<std::size_t>(count));
            }
            // Fresh orders: the rounds do not all start with the same picture (two pictures can
            // only alternate).
            if (count > 2) {
                EXPECT_GT(std::set<int>(firsts.begin(), firsts.end()).size(), 1u) << count;
            }
        }
    }
}

// What upcoming() announces is what next() shows; going back retraces the pictures shown, over
// round joins, and going forward again repeats them.
TEST(PictureOrderTest, UpcomingAndPreviousRetraceTheShownOrder) {
    PictureOrder order(4, ShowOrder::Shuffle, 3);
    std::vector<int> shown{order.current()};
    for (int i = 0; i < 9; ++i) {
        const int announced = order.upcoming();
        shown.push_back(order.next());
        ASSERT_EQ(shown.back(), announced);
    }
    for (int i = 8; i >= 2; --i) {
        ASSERT_EQ(order.previous(), shown[i]);
    }
    for (int i = 3; i <= 9; ++i) {
        ASSERT_EQ(order.next(), shown[i]);
    }
    // Back before the first round: a round of its own, still without a repeat at its join.
    PictureOrder start(4, ShowOrder::Shuffle, 5);
    const int first = start.current();
    EXPECT_NE(start.previous(), first);
    EXPECT_EQ(start.next(), first);
}

}  // namespace
}  // namespace lumi::display
