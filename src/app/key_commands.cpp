#include "app/key_commands.h"

#include "app/game_flow.h"
#include "platform/win_types.h"

namespace app {

std::optional<KeyCommand> CommandForKey(uintptr_t virtualKey) {
    switch (virtualKey) {
        case platform::vk::ESCAPE:
        case 'Q':
            return KeyCommand{.quit = true};
        case 'S':
        case platform::vk::F2:
            return KeyCommand{.gameState = NewGame};
        case 'N':
            return KeyCommand{.gameState = NewDeal};
        case 'C':
            return KeyCommand{.gameState = CheckRow};
        case 'D':
            return KeyCommand{.gameState = DealStock};
        case 'T':
            return KeyCommand{.gameState = Tutorial};
        default:
            return std::nullopt;
    }
}

}  // namespace app
