#pragma once

// The key messages Windows posts, for backends that make them from their own key events.

#include <cstdint>

namespace platform {

// WM_KEYDOWN or WM_KEYUP; the system-key messages with Alt held, and for Alt and F10 themselves.
uint32_t KeyMessageFor(uint32_t virtualKey, bool alt, bool up);

// The key message's lParam as Windows builds it: repeat count, scan code (the DirectInput key
// code's low seven bits), extended key (its top bit), Alt held, previous state and transition.
intptr_t KeyMessageParam(uint8_t directInputKey, bool alt, bool repeat, bool up);

}  // namespace platform
