// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/PictureOrder.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace lumi::display {
namespace {

// Rounds kept about the current one, so that going back shows what was shown.
constexpr std::size_t kKeptRounds = 3;

}  // namespace

PictureOrder::PictureOrder(int count, ShowOrder order, std::uint32_t seed)
    : count_(std::max(count, 1)), order_(order), generator_(seed) {
    if (order_ == ShowOrder::Shuffle) {
        rounds_.push_back(shuffledRound());
    }
}

int PictureOrder::current() const {
    if (order_ == ShowOrder::List) {
        return position_;
    }
    return rounds_[round_][position_];
}

int PictureOrder::next() {
    if (order_ == ShowOrder::List) {
        position_ = position_ + 1 < count_ ? position_ + 1 : 0;
        return position_;
    }
    if (position_ + 1 < count_) {
        ++position_;
        return current();
    }
    settleNextRound();
    ++round_;
    position_ = 0;
    return current();
}

int PictureOrder::previous() {
    if (order_ == ShowOrder::List) {
        position_ = position_ > 0 ? position_ - 1 : count_ - 1;
        return position_;
    }
    if (position_ > 0) {
        --position_;
        return current();
    }
    if (round_ == 0) {
        rounds_.push_front(roundBefore(rounds_.front()));
        ++round_;
        if (rounds_.size() > kKeptRounds) {
            rounds_.pop_back();
        }
    }
    --round_;
    position_ = count_ - 1;
    return current();
}

int PictureOrder::upcoming() {
    if (order_ == ShowOrder::List) {
        return position_ + 1 < count_ ? position_ + 1 : 0;
    }
    if (position_ + 1 < count_) {
        return rounds_[round_][position_ + 1];
    }
    // Settled now, so that next() shows the picture that was announced.
    settleNextRound();
    return rounds_[round_ + 1].front();
}

void PictureOrder::settleNextRound() {
    if (round_ + 1 < rounds_.size()) {
        return;
    }
    rounds_.push_back(roundAfter(rounds_.back()));
    if (rounds_.size() > kKeptRounds) {
        rounds_.pop_front();
        --round_;
    }
}

PictureOrder::Round PictureOrder::shuffledRound() {
    Round round(static_cast<std::size_t>(count_));
    std::iota(round.begin(), round.end(), 0);
    std::shuffle(round.begin(), round.end(), generator_);
    return round;
}

PictureOrder::Round PictureOrder::roundAfter(const Round& before) {
    Round round = shuffledRound();
    if (count_ >= 2 && round.front() == before.back()) {
        std::uniform_int_distribution<int> other(1, count_ - 1);
        std::swap(round.front(), round[static_cast<std::size_t>(other(generator_))]);
    }
    return round;
}

PictureOrder::Round PictureOrder::roundBefore(const Round& after) {
    Round round = shuffledRound();
    if (count_ >= 2 && round.back() == after.front()) {
        std::uniform_int_distribution<int> other(0, count_ - 2);
        std::swap(round.back(), round[static_cast<std::size_t>(other(generator_))]);
    }
    return round;
}

}  // namespace lumi::display
