#include "platform/imitation/key_messages.h"

#include "platform/win_types.h"

namespace platform {

namespace {
constexpr uint32_t kVirtualKeyAlt = 0x12;
constexpr uint32_t kVirtualKeyF10 = 0x79;
}  // namespace

uint32_t KeyMessageFor(uint32_t virtualKey, bool alt, bool up) {
    const bool system = alt || virtualKey == kVirtualKeyAlt || virtualKey == kVirtualKeyF10;
    return up ? (system ? wm::SYSKEYUP : wm::KEYUP) : (system ? wm::SYSKEYDOWN : wm::KEYDOWN);
}

intptr_t KeyMessageParam(uint8_t directInputKey, bool alt, bool repeat, bool up) {
    uint32_t bits = 1u | (static_cast<uint32_t>(directInputKey & 0x7F) << 16);
    if (directInputKey & 0x80) {
        bits |= 1u << 24;
    }
    if (alt) {
        bits |= 1u << 29;
    }
    if (repeat || up) {
        bits |= 1u << 30;
    }
    if (up) {
        bits |= 1u << 31;
    }
    return static_cast<intptr_t>(bits);
}

}  // namespace platform
