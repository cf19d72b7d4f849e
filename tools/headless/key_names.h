#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "headless/headless_game.h"

namespace headless {

// "Esc", "Q", "S", "F2", "N", "C", "D", "T", "0xNN" for any code, each optionally "Alt+";
// letters in any case.
std::optional<Key> ParseKey(std::string_view name);

}  // namespace headless
