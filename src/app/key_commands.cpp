#include "app/key_commands.h"

#include "app/game_flow.h"
#include "platform/win_types.h"

#include <iterator>

namespace app {

namespace {

struct CommandKey {
    uint32_t virtualKey;
    KeyCommand command;
};

// The game's keys: the one list of them.
constexpr CommandKey kCommandKeys[] = {
    {platform::vk::ESCAPE, {.quit = true}}, {'Q', {.quit = true}},
    {'S', {.gameState = NewGame}},          {platform::vk::F2, {.gameState = NewGame}},
    {'N', {.gameState = NewDeal}},          {'C', {.gameState = CheckRow}},
    {'D', {.gameState = DealStock}},        {'T', {.gameState = Tutorial}},
};

}  // namespace

namespace detail {
constexpr uint32_t KeyAt(std::size_t i) {
    return kCommandKeys[i].virtualKey;
}
static_assert(std::size(kCommandKeys) == kGameKeyCount);
const uint32_t kGameKeys[kGameKeyCount] = {KeyAt(0), KeyAt(1), KeyAt(2), KeyAt(3),
                                           KeyAt(4), KeyAt(5), KeyAt(6), KeyAt(7)};
}  // namespace detail

std::optional<KeyCommand> CommandForKey(uintptr_t virtualKey) {
    for (const CommandKey& key : kCommandKeys) {
        if (key.virtualKey == virtualKey) {
            return key.command;
        }
    }
    return std::nullopt;
}

bool AnswersKey(uint32_t virtualKey) {
    return CommandForKey(virtualKey).has_value();
}

}  // namespace app
