#include "solver/opening.h"

#include "board/shuffle_random.h"

namespace solver {

board::TileBoard OpeningBoard(uint32_t clockSecond) {
    board::ShuffleRandom random;
    random.SeedForDeal(clockSecond);
    board::TileBoard board;
    board.ShuffleAndLayOut([&random] { return random.Draw(); });
    return board;
}

Position Opening(uint32_t clockSecond) {
    return Position::FromBoard(OpeningBoard(clockSecond), 0);
}

}  // namespace solver
