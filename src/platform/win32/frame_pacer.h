#pragma once

// Keeps the frame loop to the display's rate where Present does not (Wine on a virtual
// display, a driver that ignores the presentation interval), so that the loop never spins a
// core; where Present already waits for the display, it adds nothing.

#include <cstdint>

#include "platform/win32/windows_headers.h"

namespace platform::win32 {

class FramePacer {
  public:
    FramePacer();
    ~FramePacer();
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Call right after Present. A pass shorter than half a display period was not held by
    // Present; it waits until a whole period has passed since the previous one ended.
    void PresentDone();
    // For a pass that presents nothing (a lost device, a failed reset): one period's wait.
    void Idle();

    int64_t period() const { return period_; }  // in QueryPerformanceCounter ticks

  private:
    static int64_t Now();
    void WaitUntil(int64_t due);

    int64_t period_ = 0;
    int64_t ticksPerSecond_ = 0;
    int64_t lastEnd_ = 0;
    HANDLE timer_ = nullptr;
    bool coarseTimer_ = false;  // a timer without the high-resolution flag: timeBeginPeriod(1)
};

}  // namespace platform::win32
