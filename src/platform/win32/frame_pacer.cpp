#include "platform/win32/frame_pacer.h"

#include <mmsystem.h>

namespace platform::win32 {

namespace {

// Windows 10 1803 and later; older systems refuse the flag, and mingw's headers lack it.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

DWORD DisplayRate() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    const bool known = ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) &&
                       mode.dmDisplayFrequency > 1;  // 0 and 1 mean "the hardware's default"
    return known ? mode.dmDisplayFrequency : 60;
}

}  // namespace

FramePacer::FramePacer() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    ticksPerSecond_ = frequency.QuadPart;
    period_ = ticksPerSecond_ / DisplayRate();
    timer_ = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (!timer_) {
        // A plain timer keeps to the system's timer resolution: ask for a millisecond's.
        timer_ = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        coarseTimer_ = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    }
}

FramePacer::~FramePacer() {
    if (coarseTimer_) {
        ::timeEndPeriod(1);
    }
    if (timer_) {
        ::CloseHandle(timer_);
    }
}

int64_t FramePacer::Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void FramePacer::PresentDone() {
    const int64_t now = Now();
    if (lastEnd_ == 0 || now - lastEnd_ >= period_ / 2) {
        lastEnd_ = now;  // Present (or the pass's own work) took its time: nothing to add
        return;
    }
    const int64_t due = lastEnd_ + period_;
    WaitUntil(due);
    // Keep the cadence: the next period counts from when this one was due, unless the wait
    // overslept by more than a whole period.
    const int64_t end = Now();
    lastEnd_ = end - due < period_ ? due : end;
}

void FramePacer::Idle() {
    WaitUntil(Now() + period_);
    lastEnd_ = 0;
}

void FramePacer::WaitUntil(int64_t due) {
    const int64_t left = due - Now();
    if (left <= 0) {
        return;
    }
    // Relative due times are negative, in 100-nanosecond units.
    LARGE_INTEGER relative;
    relative.QuadPart = -(left * 10'000'000 / ticksPerSecond_);
    if (timer_ && ::SetWaitableTimer(timer_, &relative, 0, nullptr, nullptr, FALSE)) {
        ::WaitForSingleObject(timer_, INFINITE);
    } else {
        ::Sleep(static_cast<DWORD>(left * 1000 / ticksPerSecond_));
    }
}

}  // namespace platform::win32
