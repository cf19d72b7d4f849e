#include "platform/web/web_events.h"

#include <algorithm>
#include <limits>

#include "platform/imitation/key_messages.h"

namespace platform::web {

namespace {

constexpr int32_t kWheelDelta = 120;
constexpr uint8_t kDown = 0x80;

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

bool WebEvents::KeyDown(Window* window, const KeyCodes& key, const Modifiers& modifiers,
                        bool repeat, uint32_t character) {
    if (key.directInput != 0) {
        keys_[key.directInput] = kDown;
    }
    if (key.virtualKey == 0) {
        return false;
    }
    const Message message{window, KeyMessageFor(key.virtualKey, modifiers.alt, false),
                          key.virtualKey,
                          KeyMessageParam(key.directInput, modifiers.alt, repeat, false)};
    queue_.Post(message, modifiers.alt ? 0 : character);
    return HeldBack(key.virtualKey, modifiers, gameAnswers_);
}

bool WebEvents::KeyUp(Window* window, const KeyCodes& key, const Modifiers& modifiers) {
    if (key.directInput != 0) {
        keys_[key.directInput] = 0;
    }
    if (key.virtualKey == 0) {
        return false;
    }
    queue_.Post({window, KeyMessageFor(key.virtualKey, modifiers.alt, true), key.virtualKey,
                 KeyMessageParam(key.directInput, modifiers.alt, false, true)});
    return HeldBack(key.virtualKey, modifiers, gameAnswers_);
}

void WebEvents::FocusLost() {
    keys_.fill(0);
    buttons_.fill(0);
    ++focusLosses_;
}

void WebEvents::MouseMoved(int32_t dx, int32_t dy) {
    dx_ = Saturated(int64_t{dx_} + dx);
    dy_ = Saturated(int64_t{dy_} + dy);
}

void WebEvents::MouseButton(int button, bool down) {
    // The browser's order is left, middle, right; DirectInput's left, right, middle.
    static constexpr int kOrder[] = {0, 2, 1, 3, 4};
    if (button >= 0 && button < 5) {
        buttons_[static_cast<size_t>(kOrder[button])] = down ? kDown : 0;
    }
}

void WebEvents::Wheel(int32_t notches) {
    wheel_ = Saturated(int64_t{wheel_} + int64_t{notches} * kWheelDelta);
}

void WebEvents::ForgetMessagesFor(const Window* window) {
    queue_.ForgetMessagesFor(window);
}

void WebEvents::TakeMotion(int32_t& dx, int32_t& dy, int32_t& wheel) {
    dx = dx_;
    dy = dy_;
    wheel = wheel_;
    dx_ = dy_ = wheel_ = 0;
}

}  // namespace platform::web
