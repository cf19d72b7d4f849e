#pragma once

#include <cstdint>
#include <optional>

namespace board {

// The 15-bit draws of the shuffle: the classic linear congruential generator
// state = state * 214013 + 2531011, a draw being bits 16 to 30 of the new state.
class ShuffleRandom {
  public:
    // Seeds with the clock second, but only for the first deal of that second:
    // a further deal in the same second continues the sequence, so it differs.
    void SeedForDeal(uint32_t clockSecond) {
        if (seededSecond_ != clockSecond) {
            state_ = clockSecond;
            seededSecond_ = clockSecond;
        }
    }

    int32_t Draw() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int32_t>((state_ >> 16) & 0x7FFFu);
    }

    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = 1;
    std::optional<uint32_t> seededSecond_;
};

}  // namespace board
