#pragma once

// The Windows values the game speaks in: result codes, window messages, virtual keys and
// rectangles. Every backend translates its own events and errors into these.

#include <cstdint>

namespace platform {

// A COM-style result: negative means failure.
using HResult = int32_t;

constexpr bool Failed(HResult r) {
    return r < 0;
}
constexpr bool Succeeded(HResult r) {
    return r >= 0;
}

inline constexpr HResult kOk = 0;
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);         // E_FAIL
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);  // E_OUTOFMEMORY
inline constexpr HResult kDeviceLost = static_cast<HResult>(0x88760868u);   // D3DERR_DEVICELOST
inline constexpr HResult kDeviceNotReset =
    static_cast<HResult>(0x88760869u);                                      // D3DERR_DEVICENOTRESET
inline constexpr HResult kInvalidCall = static_cast<HResult>(0x8876086Cu);  // D3DERR_INVALIDCALL
inline constexpr HResult kInputLost = static_cast<HResult>(0x8007001Eu);    // DIERR_INPUTLOST
inline constexpr HResult kNotAcquired = static_cast<HResult>(0x8007000Cu);  // DIERR_NOTACQUIRED

// Window messages (WM_*). Namespaced without their prefix, so that none of these names is a
// <windows.h> macro and the layer compiles beside it.
namespace wm {
inline constexpr uint32_t DESTROY = 0x0002;
inline constexpr uint32_t CLOSE = 0x0010;
inline constexpr uint32_t KEYDOWN = 0x0100;
inline constexpr uint32_t KEYUP = 0x0101;
inline constexpr uint32_t CHAR = 0x0102;
inline constexpr uint32_t SYSKEYDOWN = 0x0104;
inline constexpr uint32_t SYSKEYUP = 0x0105;
}  // namespace wm

// Virtual-key codes (VK_*); letters and digits are their upper-case ASCII codes.
namespace vk {
inline constexpr uint32_t ESCAPE = 0x1B;
inline constexpr uint32_t F2 = 0x71;
inline constexpr uint32_t F4 = 0x73;
}  // namespace vk

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class Window;

// One queued message, as PeekMessageA hands it over.
struct Message {
    Window* window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

}  // namespace platform
