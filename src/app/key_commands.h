#pragma once

#include <cstddef>
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

// Calls visit(virtualKey) for each of the game's keys, in the order the game lists them.
template <typename Visit>
void ForEachGameKey(Visit&& visit);

namespace detail {
inline constexpr std::size_t kGameKeyCount = 8;
extern const uint32_t kGameKeys[kGameKeyCount];
}  // namespace detail

template <typename Visit>
void ForEachGameKey(Visit&& visit) {
    for (const uint32_t key : detail::kGameKeys) {
        visit(key);
    }
}

}  // namespace app
