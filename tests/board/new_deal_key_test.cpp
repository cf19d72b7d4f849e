// N as a player presses it, from every state the game can wait in: the key through the window
// procedure, the frames through Step.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/game_flow.h"
#include "board/shuffle_random.h"
#include "board_builder.h"
#include "headless/headless_game.h"

namespace render {

struct BoardMeshPeer {
    static float& FirstVertexX(BoardMesh& mesh) { return mesh.vertices_[0].x; }
};

}  // namespace render

namespace {

constexpr int64_t kSetUpSecond = 1'700'000'000;
constexpr int64_t kDealSecond = 1'700'000'691;

// The layout a fresh shuffle seeded with this second gives.
board::TileBoard LaidOutAt(int64_t second) {
    board::ShuffleRandom random;
    random.SeedForDeal(static_cast<uint32_t>(second));
    board::TileBoard board;
    board.ShuffleAndLayOut([&random] { return random.Draw(); });
    return board;
}

struct Player {
    int64_t now = kSetUpSecond;
    std::unique_ptr<headless::HeadlessGame> game =
        std::make_unique<headless::HeadlessGame>([this] { return now; });

    void Press(const std::string& keys) {
        for (const char key : keys) {
            game->Play({.virtualKey = static_cast<uint32_t>(key)});
        }
    }
};

struct Waiting {
    const char* state;
    std::function<void(Player&)> reach;
};

// Each state as a player reaches it. The deal after the last live row waits one frame: a
// key that comes in that frame's pass is carried out instead.
const std::vector<Waiting>& States() {
    static const std::vector<Waiting> states{
        {"the menu, before any game", [](Player&) {}},
        {"the rules page, before any game", [](Player& p) { p.Press("T"); }},
        {"a new game", [](Player& p) { p.Press("S"); }},
        {"partway down the rows", [](Player& p) { p.Press("SCC"); }},
        {"after a deal", [](Player& p) { p.Press("SCD"); }},
        {"after a new deal", [](Player& p) { p.Press("SN"); }},
        {"the rules page during a game", [](Player& p) { p.Press("SCT"); }},
        {"the deal after the last live row, still to come",
         [](Player& p) {
             p.Press("SCCCC");
             p.game->Send({.virtualKey = 'C'});
             p.game->Frame();
             ASSERT_EQ(p.game->flow().GameState, app::DealStock);
         }},
        {"a cleared table",
         [](Player& p) {
             p.Press("S");
             p.game->game().board = boardtest::BoardWithRows({{}, {}, {}, {}, {6, 25, 2}});
             p.Press("C");
             ASSERT_EQ(p.game->game().board.stockCount(), board::kTileCount);
         }},
    };
    return states;
}

// From every state, N deals afresh from the clock in its own frame and the board shows from
// the next on, the walk back at row 0; it keeps the mesh (only S builds it again), so a
// marked vertex survives N and not S.
TEST(NewDealKey, DealsAfreshFromEveryStateAndKeepsTheMesh) {
    const board::TileBoard expected = LaidOutAt(kDealSecond);
    for (const Waiting& waiting : States()) {
        for (const char key : {'N', 'S'}) {
            SCOPED_TRACE(std::string(waiting.state) + ", then " + key);
            Player player;
            waiting.reach(player);
            auto& mesh = player.game->game().mesh;
            float& markedX = render::BoardMeshPeer::FirstVertexX(mesh);
            const float builtX = markedX;
            markedX = builtX + 100.0f;
            player.now = kDealSecond;
            int frames = 0;
            ASSERT_TRUE(player.game->Play({.virtualKey = static_cast<uint32_t>(key)},
                                          [&frames] { ++frames; }));
            EXPECT_EQ(frames, 1);
            EXPECT_EQ(player.game->flow().GameState, app::Playing);
            EXPECT_EQ(player.game->flow().currentRow, 0);
            boardtest::ExpectSameBoard(player.game->game().board, expected);
            EXPECT_EQ(mesh.vertices()[0].x, key == 'N' ? builtX + 100.0f : builtX);
        }
    }
}

}  // namespace
