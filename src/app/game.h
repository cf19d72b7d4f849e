#pragma once

#include <cstdint>
#include <functional>

#include "app/game_flow.h"
#include "board/shuffle_random.h"
#include "board/tile_board.h"
#include "render/board_mesh.h"
#include "screens/text_screens.h"

namespace app {

// The one board with its picture, and the per-frame dispatch of the game states.
class Game {
  public:
    using Clock = std::function<int64_t()>;

    // `clock` gives calendar seconds for the shuffle. Without a screen, the headless backend's
    // device stands in.
    Game(GameFlow& flow, platform::Device& device, screens::TextScreens& screens, Clock clock);

    board::TileBoard board;
    render::BoardMesh mesh;
    board::ShuffleRandom random;

    // Carries out the current GameState, then writes the state that follows.
    void Step(float x, float y, float tilt);

    void StartGame();
    void Redeal();
    void CheckCurrentRow();
    void DealRound();

  private:
    void ShuffleAndLayOut();
    void RecolourAndUpload();

    GameFlow& flow_;
    screens::TextScreens& screens_;
    Clock clock_;
};

}  // namespace app
