#pragma once

// What the page's events become: window messages in one queue, as PeekMessage takes them,
// and the tallies DirectInput's keyboard and mouse read. Pure: the page's callbacks feed it,
// and it is tested under node without a browser.

#include <array>
#include <cstdint>

#include "platform/imitation/message_queue.h"
#include "platform/web/web_keys.h"
#include "platform/win_types.h"

namespace platform::web {

class WebEvents {
  public:
    // `gameAnswers` says which keys the browser is to leave alone; none without it.
    explicit WebEvents(KeyTest gameAnswers = nullptr) : gameAnswers_(gameAnswers) {}

    // A key went down (`repeat` while held) or up over `window`; true when the browser is
    // to leave it alone, since the game answers it.
    bool KeyDown(Window* window, const KeyCodes& key, const Modifiers& modifiers, bool repeat,
                 uint32_t character);
    bool KeyUp(Window* window, const KeyCodes& key, const Modifiers& modifiers);
    // The page lost the focus: keys held are let go, as no key-up will come.
    void FocusLost();
    void MouseMoved(int32_t dx, int32_t dy);
    void MouseButton(int button, bool down);
    void Wheel(int32_t notches);

    // PeekMessage and TranslateMessage, over the queue.
    bool Take(Message& message) { return queue_.Take(message); }
    void Translate(const Message& message) { queue_.Translate(message); }
    void ForgetMessagesFor(const Window* window);

    // DirectInput's keyboard: 0x80 for each key held, by DirectInput key code.
    const std::array<uint8_t, 256>& keys() const { return keys_; }
    // Mouse motion and wheel since the last call (the wheel in Windows units, 120 a notch).
    void TakeMotion(int32_t& dx, int32_t& dy, int32_t& wheel);
    const std::array<uint8_t, 8>& buttons() const { return buttons_; }
    uint64_t focusLosses() const { return focusLosses_; }

  private:
    KeyTest gameAnswers_;
    MessageQueue queue_{1024};  // a page left open with keys held fills it no further
    std::array<uint8_t, 256> keys_{};
    std::array<uint8_t, 8> buttons_{};
    int32_t dx_ = 0;
    int32_t dy_ = 0;
    int32_t wheel_ = 0;
    uint64_t focusLosses_ = 0;
};

}  // namespace platform::web
