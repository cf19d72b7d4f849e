#include "platform/imitation/message_queue.h"

namespace platform {

void MessageQueue::Post(const Message& message, uint32_t character) {
    if (queue_.size() < capacity_) {
        queue_.push_back({message, character});
    }
}

void MessageQueue::PostFront(const Message& message) {
    queue_.push_front({message, 0});
}

bool MessageQueue::Take(Message& message, uint32_t& character) {
    if (queue_.empty()) {
        return false;
    }
    message = queue_.front().message;
    character = queue_.front().character;
    queue_.pop_front();
    return true;
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
