#pragma once

#include <cstdint>
#include <optional>

namespace app {

struct KeyCommand {
    bool quit = false;
    int32_t gameState = 0;  // when not quitting
};

// The command of a key-down's virtual-key code; none for every other code.
std::optional<KeyCommand> CommandForKey(uintptr_t virtualKey);

}  // namespace app
