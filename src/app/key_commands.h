#pragma once

#include <cstdint>
#include <optional>

#include "app/game_flow.h"

namespace app {

struct KeyCommand {
    bool quit = false;
    GameState gameState = NewDeal;  // when not quitting
};

// The command of a key-down's virtual-key code; none for every other code.
std::optional<KeyCommand> CommandForKey(uintptr_t virtualKey);

// Whether the key is one of the game's, for a backend that must know before the game sees it.
bool AnswersKey(uint32_t virtualKey);

}  // namespace app
