#include "app/game.h"

namespace app {

Game::Game(GameFlow& flow, platform::Device& device, screens::TextScreens& screens, Clock clock)
    : mesh(device), flow_(flow), screens_(screens), clock_(std::move(clock)) {}

void Game::Step(float x, float y, float tilt) {
    switch (flow_.GameState) {
        case Tutorial:
            screens_.DrawTutorial();
            flow_.currentRow = 0;
            break;
        case Menu:
            screens_.DrawMenu();
            flow_.currentRow = 0;
            break;
        case NewGame:
            StartGame();
            flow_.currentRow = 0;
            flow_.GameState = Playing;
            break;
        case NewDeal:
            Redeal();
            flow_.currentRow = 0;
            flow_.GameState = Playing;
            break;
        case CheckRow: {
            CheckCurrentRow();
            const int next = board::NextLiveRow(board.counts, flow_.currentRow);
            if (next < board::kTableRows) {
                flow_.currentRow = next;
                flow_.GameState = Playing;
            } else {
                flow_.currentRow = 0;
                flow_.GameState = DealStock;
            }
            break;
        }
        case DealStock:
            DealRound();
            flow_.currentRow = 0;
            flow_.GameState = Playing;
            break;
        case Playing:
            mesh.Render(x, y, tilt);
            break;
        default:
            break;
    }
}

void Game::StartGame() {
    board.ResetCounts();
    mesh.BuildFaceColours();
    mesh.BuildVertices();
    mesh.BuildIndices();
    ShuffleAndLayOut();
    RecolourAndUpload();
}

void Game::Redeal() {
    board.ResetCounts();
    ShuffleAndLayOut();
    RecolourAndUpload();
}

void Game::CheckCurrentRow() {
    board.CheckCurrentRow(flow_.currentRow);
    RecolourAndUpload();
}

void Game::DealRound() {
    board.DealFromStock();
    RecolourAndUpload();
}

void Game::ShuffleAndLayOut() {
    random.SeedForDeal(static_cast<uint32_t>(clock_()));
    board.ShuffleAndLayOut([this] { return random.Draw(); });
}

void Game::RecolourAndUpload() {
    mesh.ApplyColours(board);
    mesh.UploadBuffers();
}

}  // namespace app
