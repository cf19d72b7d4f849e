#include "solve/replay_check.h"

#include <algorithm>

#include "headless/headless_game.h"

namespace solve {

bool KeysClearTheBoard(uint32_t time, std::string_view keys) {
    headless::HeadlessGame game([time] { return static_cast<int64_t>(time); });
    game.Play({.virtualKey = 'S'});
    for (const char key : keys) {
        if (key != 'C' && key != 'D' && key != 'T') {
            return false;
        }
        game.Play({.virtualKey = static_cast<uint32_t>(key)});
    }
    const auto& counts = game.game().board.counts;
    return game.running() && std::all_of(counts.begin(), counts.begin() + board::kTableRows,
                                         [](int16_t count) { return count == 0; });
}

}  // namespace solve
