#pragma once

// The thread's message queue as PeekMessage sees it, for the backends that gather their own
// messages: taken one at a time, each with the character TranslateMessage would post for it.

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

    void Post(const Message& message, uint32_t character = 0);
    // TranslateMessage's WM_CHAR goes ahead of the input still queued, as on Windows.
    void PostFront(const Message& message);
    // Takes the first queued message; false when none waits.
    bool Take(Message& message, uint32_t& character);
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
};

}  // namespace platform
