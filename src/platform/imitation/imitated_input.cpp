#include "platform/imitation/imitated_input.h"

namespace platform {

namespace {

constexpr HResult kBadHandle = static_cast<HResult>(0x80070006u);  // E_HANDLE
constexpr HResult kNoEffect = 1;                                   // DI_NOEFFECT
constexpr uint32_t kExclusive = 0x01;
constexpr uint32_t kForeground = 0x04;

}  // namespace

HResult ImitatedInputDevice::GetCapabilities(DeviceCaps& caps) {
    if (caps.dwSize != sizeof(DeviceCaps)) {
        return kInvalidParam;
    }
    caps = {};
    caps.dwSize = sizeof(DeviceCaps);
    caps.dwFlags = dinput::CAPS_ATTACHED;
    caps.dwDevType = shape_.devType;
    caps.dwAxes = shape_.axes;
    caps.dwButtons = shape_.buttons;
    return kOk;
}

HResult ImitatedInputDevice::SetDataFormat(DataFormat format) {
    if (acquired_) {
        return kInvalidCall;
    }
    if (format != shape_.format) {
        return kInvalidParam;
    }
    formatSet_ = true;
    return kOk;
}

HResult ImitatedInputDevice::SetCooperativeLevel(Window* window, uint32_t flags) {
    if (!OwnWindow(window)) {
        return kBadHandle;
    }
    // One of exclusive and non-exclusive, one of foreground and background.
    const bool exclusive = (flags & kExclusive) != 0;
    const bool nonExclusive = (flags & dinput::COOP_NONEXCLUSIVE) != 0;
    const bool foreground = (flags & kForeground) != 0;
    const bool background = (flags & dinput::COOP_BACKGROUND) != 0;
    if (exclusive == nonExclusive || foreground == background) {
        return kInvalidParam;
    }
    foreground_ = foreground;
    return kOk;
}

HResult ImitatedInputDevice::Acquire() {
    if (!formatSet_) {
        return kInvalidParam;
    }
    if (acquired_) {
        return kNoEffect;
    }
    acquired_ = true;
    focusLosses_ = FocusLosses();
    OnAcquire();
    return kOk;
}

HResult ImitatedInputDevice::Unacquire() {
    if (!acquired_) {
        return kNoEffect;
    }
    acquired_ = false;
    return kOk;
}

HResult ImitatedInputDevice::GetDeviceState(uint32_t size, void* data) {
    if (!data || size != Size()) {
        return kInvalidParam;
    }
    if (!acquired_) {
        return kNotAcquired;
    }
    // A foreground device is given up when the window loses the focus.
    if (foreground_ && FocusLosses() != focusLosses_) {
        acquired_ = false;
        return kInputLost;
    }
    Read(data);
    return kOk;
}

}  // namespace platform
