#pragma once

#include <string>
#include <string_view>

#include "app/game_flow.h"
#include "board/tile_board.h"

namespace replay {

// One JSON object on one line: the key, the state, the counts, the table rows and the stock.
// An empty key name writes "key":null.
std::string PositionJson(std::string_view key, const app::GameFlow& flow,
                         const board::TileBoard& board);

// The same position for a person: rows as pip pairs, the stock, counts, row and state.
std::string PositionText(std::string_view key, const app::GameFlow& flow,
                         const board::TileBoard& board);

std::string_view GameStateName(app::GameState gameState);

}  // namespace replay
