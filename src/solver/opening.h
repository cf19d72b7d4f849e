#pragma once

#include <cstdint>

#include "board/tile_board.h"
#include "solver/position.h"

namespace solver {

// The board the game lays out when S is pressed at this clock second.
board::TileBoard OpeningBoard(uint32_t clockSecond);

// That board as the search sees it, the walk at row 0.
Position Opening(uint32_t clockSecond);

}  // namespace solver
