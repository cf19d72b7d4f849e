// The SDL backend's own frame pacing, where the display's vertical sync does not pace.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sdl/frame_pacer.h"

namespace {

TEST(FramePacer, HoldsQuickFramesToTheRateButNeverDelaysSlowOnes) {
    using Clock = std::chrono::steady_clock;
    platform::sdl::FramePacer pacer;
    pacer.SetRate(100);
    pacer.FrameDone();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 10; ++i) {
        pacer.FrameDone();
    }
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(95));

    // After a frame far slower than the period, the next one is not held back to catch up.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    pacer.FrameDone();
    start = Clock::now();
    pacer.FrameDone();
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(8));
    EXPECT_LT(Clock::now() - start,
              std::chrono::milliseconds(500));  // loose: a busy machine stalls
}

}  // namespace
