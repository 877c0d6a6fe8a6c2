// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

namespace lumi::display {

// The order in which the display shows the pictures of its list.
enum class ShowOrder {
    List,     // list order, the first entry after the last
    Shuffle,  // rounds: each shows every picture once, in a fresh random order
};

// Walks the indices 0 ... count - 1 of the display's list forwards (the timer, space and the
// Right arrow) and backwards (the Left arrow), and says which index comes next.
//
// In shuffled order the first picture of a round is never the last one of the round before
// (with two or more pictures), so that no picture shows twice in a row. Going back before the
// start of a round returns to the round before as it was shown; the three rounds about the
// current one are kept, and a walk beyond them meets fresh rounds, which keep the same rule
// at their joins. The generator is seeded by the caller, so that a test can repeat an order.
class PictureOrder {
public:
    // `count` pictures, at least one; the walk starts at the first picture of the order
    // (index 0 in list order).
    PictureOrder(int count, ShowOrder order, std::uint32_t seed);

    int count() const { return count_; }
    int current() const;
    // Moves to the next picture and returns its index.
    int next();
    // Moves to the picture before and returns its index.
    int previous();
    // The index that next() will return. It may settle the next round, but never moves.
    int upcoming();

private:
    using Round = std::vector<int>;
    // Makes sure that a round follows the current one.
    void settleNextRound();
    Round shuffledRound();
    Round roundAfter(const Round& before);
    Round roundBefore(const Round& after);

    int count_;
    ShowOrder order_;
    std::mt19937 generator_;
    int position_ = 0;          // within the current round (the index itself in list order)
    std::deque<Round> rounds_;  // shuffled order only: the kept rounds, oldest first
    std::size_t round_ = 0;     // the current round within rounds_
};

}  // namespace lumi::display
