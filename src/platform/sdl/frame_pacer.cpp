#include "platform/sdl/frame_pacer.h"

#include <thread>

namespace platform::sdl {

void FramePacer::SetRate(int hertz) {
    if (hertz <= 0) {
        hertz = 60;
    }
    period_ = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / hertz;
}

void FramePacer::FrameDone() {
    const Clock::time_point now = Clock::now();
    next_ += period_;
    if (next_ < now - period_) {
        // Far behind (a slow frame, a pause): start the schedule again from now.
        next_ = now;
        return;
    }
    if (next_ > now) {
        std::this_thread::sleep_until(next_);
    }
}

void FramePacer::Idle() {
    std::this_thread::sleep_for(period_);
    next_ = Clock::now();
}

}  // namespace platform::sdl
