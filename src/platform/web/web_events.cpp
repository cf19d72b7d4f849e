#include "platform/web/web_events.h"

#include <algorithm>
#include <limits>

#include "platform/imitation/key_messages.h"

namespace platform::web {

namespace {

constexpr int32_t kWheelDelta = 120;
constexpr uint8_t kDown = 0x80;
// A page left open with nobody reading: the queue stays bounded.
constexpr size_t kMaxQueued = 1024;

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
    if (queue_.size() < kMaxQueued) {
        const Message message{window, KeyMessageFor(key.virtualKey, modifiers.alt, false),
                              key.virtualKey,
                              KeyMessageParam(key.directInput, modifiers.alt, repeat, false)};
        queue_.push_back({message, modifiers.alt ? 0 : character});
    }
    return GameAnswers(key.virtualKey, modifiers);
}

bool WebEvents::KeyUp(Window* window, const KeyCodes& key, const Modifiers& modifiers) {
    if (key.directInput != 0) {
        keys_[key.directInput] = 0;
    }
    if (key.virtualKey == 0) {
        return false;
    }
    if (queue_.size() < kMaxQueued) {
        queue_.push_back(
            {{window, KeyMessageFor(key.virtualKey, modifiers.alt, true), key.virtualKey,
              KeyMessageParam(key.directInput, modifiers.alt, false, true)},
             0});
    }
    return GameAnswers(key.virtualKey, modifiers);
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

bool WebEvents::Take(Message& message, uint32_t& character) {
    if (queue_.empty()) {
        return false;
    }
    message = queue_.front().message;
    character = queue_.front().character;
    queue_.pop_front();
    return true;
}

void WebEvents::PostFront(const Message& message) {
    queue_.push_front({message, 0});
}

void WebEvents::ForgetMessagesFor(const Window* window) {
    std::erase_if(queue_, [window](const Queued& q) { return q.message.window == window; });
}

void WebEvents::TakeMotion(int32_t& dx, int32_t& dy, int32_t& wheel) {
    dx = dx_;
    dy = dy_;
    wheel = wheel_;
    dx_ = dy_ = wheel_ = 0;
}

}  // namespace platform::web
