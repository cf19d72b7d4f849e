#pragma once

#include <cstdint>
#include <string_view>

namespace solve {

// Plays S and then the keys through the game itself (its window procedure, its frames and
// board), headless, with the clock at `time`: whether every table row ends up empty. Only
// C, D and T may follow S.
bool KeysClearTheBoard(uint32_t time, std::string_view keys);

}  // namespace solve
