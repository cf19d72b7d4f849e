#pragma once

#include <cstdint>

namespace app {

// GameState values.
inline constexpr int32_t Tutorial = -3;
inline constexpr int32_t Menu = -2;
inline constexpr int32_t NewGame = -1;
inline constexpr int32_t NewDeal = 0;
inline constexpr int32_t CheckRow = 1;
inline constexpr int32_t DealStock = 2;
inline constexpr int32_t Playing = 10;

// What the next frame is to do and where the next row check starts: written by the window
// procedure and the frame dispatch, for the whole run.
struct GameFlow {
    int32_t GameState = Menu;
    int32_t currentRow = -1;
};

// The states a frame leaves unchanged until a key comes.
constexpr bool IsResting(int32_t gameState) {
    return gameState == Playing || gameState == Menu || gameState == Tutorial;
}

}  // namespace app
