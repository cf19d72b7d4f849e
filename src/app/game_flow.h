#pragma once

#include <cstdint>

namespace app {

// What the next frame is to do. The values are the game's own: the replay's output and the
// tests name them.
enum class GameState : int32_t {
    Tutorial = -3,
    Menu = -2,
    NewGame = -1,
    NewDeal = 0,
    CheckRow = 1,
    DealStock = 2,
    Playing = 10,
};
using enum GameState;

// What the next frame is to do and where the next row check starts: written by the window
// procedure and the frame dispatch, for the whole run.
struct GameFlow {
    app::GameState GameState = Menu;
    int32_t currentRow = -1;
};

// The states a frame leaves unchanged until a key comes.
constexpr bool IsResting(GameState gameState) {
    return gameState == Playing || gameState == Menu || gameState == Tutorial;
}

}  // namespace app
