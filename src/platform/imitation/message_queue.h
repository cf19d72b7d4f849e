#pragma once

// The thread's message queue as PeekMessage and TranslateMessage see it, for the backends that
// gather their own messages: taken one at a time, a key-down with the character it types.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>

#include "platform/win_types.h"

namespace platform {

class MessageQueue {
  public:
    // At most `capacity` messages wait; more are dropped, as a full Windows queue drops them.
    explicit MessageQueue(std::size_t capacity = std::numeric_limits<std::size_t>::max())
        : capacity_(capacity) {}

    // `character` is what a key-down types, for TranslateMessage.
    void Post(const Message& message, uint32_t character = 0);
    // PeekMessage: takes the first queued message; false when none waits.
    bool Take(Message& message);
    // TranslateMessage: the key-down just taken posts the character it types as WM_CHAR,
    // ahead of the input still queued, as on Windows. Only that key-down knows it, once.
    void Translate(const Message& message);
    // A destroyed window gets no more messages.
    void ForgetMessagesFor(const Window* window);
    // Text that arrives after its key-down becomes that key's character.
    void SetLastKeyCharacter(uint32_t character);
    bool empty() const { return queue_.empty(); }

  private:
    struct Queued {
        Message message;
        uint32_t character;
    };
    std::deque<Queued> queue_;
    std::size_t capacity_;
    Message taken_{};
    uint32_t takenCharacter_ = 0;
};

}  // namespace platform
