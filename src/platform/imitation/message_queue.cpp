#include "platform/imitation/message_queue.h"

namespace platform {

void MessageQueue::Post(const Message& message, uint32_t character) {
    if (queue_.size() < capacity_) {
        queue_.push_back({message, character});
    }
}

bool MessageQueue::Take(Message& message) {
    if (queue_.empty()) {
        return false;
    }
    message = taken_ = queue_.front().message;
    takenCharacter_ = queue_.front().character;
    queue_.pop_front();
    return true;
}

void MessageQueue::Translate(const Message& message) {
    if (message.message != wm::KEYDOWN || takenCharacter_ == 0 || message.window != taken_.window ||
        message.wParam != taken_.wParam || message.lParam != taken_.lParam) {
        return;
    }
    queue_.push_front({{message.window, wm::CHAR, takenCharacter_, message.lParam}, 0});
    takenCharacter_ = 0;
}

void MessageQueue::ForgetMessagesFor(const Window* window) {
    std::erase_if(queue_, [window](const Queued& q) { return q.message.window == window; });
}

void MessageQueue::SetLastKeyCharacter(uint32_t character) {
    if (!queue_.empty() && queue_.back().message.message == wm::KEYDOWN) {
        queue_.back().character = character;
    }
}

}  // namespace platform
