#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "headless/headless_game.h"

namespace headless {

// The game's keys by name ("Esc", "F2", and a letter key by its letter: "Q", "S", "N", "C",
// "D", "T"), "0xNN" for any code, each optionally "Alt+"; letters in any case.
std::optional<Key> ParseKey(std::string_view name);

}  // namespace headless
