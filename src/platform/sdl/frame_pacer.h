#pragma once

#include <chrono>

namespace platform::sdl {

// Keeps the frame loop to the display rate where vsync does not: after each frame it sleeps
// whatever is left of the frame period. A swap that already waited (real vsync) is left alone.
class FramePacer {
  public:
    using Clock = std::chrono::steady_clock;

    void SetRate(int hertz);
    // Call right after the frame's swap; `swapTook` is how long the swap itself blocked.
    void FrameDone(Clock::duration swapTook);
    // For frames that draw nothing (a lost device): one period's sleep.
    void Idle();

    Clock::duration period() const { return period_; }

  private:
    Clock::duration period_ = std::chrono::microseconds(16667);
    Clock::time_point next_{};
};

}  // namespace platform::sdl
