#pragma once

#include <chrono>

namespace platform::sdl {

// Keeps the frame loop to the display rate where vsync does not (a virtual display, a
// minimised window): each frame ends no sooner than one period after the one before. Where
// vsync does pace the loop, the swap has already used up the period and nothing is added.
class FramePacer {
  public:
    using Clock = std::chrono::steady_clock;

    void SetRate(int hertz);
    // Call right after the frame's swap.
    void FrameDone();
    // For frames that draw nothing (a lost device): one period's sleep.
    void Idle();

    Clock::duration period() const { return period_; }

  private:
    Clock::duration period_ = std::chrono::microseconds(16667);
    Clock::time_point next_{};
};

}  // namespace platform::sdl
