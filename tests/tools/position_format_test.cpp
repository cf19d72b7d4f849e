#include <gtest/gtest.h>

#include "headless/headless_game.h"
#include "replay/position_format.h"

namespace {

TEST(PositionFormat, ConstructedBoardShowsEmptyHalvesUnderTheOpeningCounts) {
    headless::HeadlessGame game([] { return int64_t{0}; });
    EXPECT_EQ(replay::PositionJson("", game.flow(), game.game().board),
              "{\"key\":null,\"gameState\":-2,\"currentRow\":-1,\"counts\":[5,5,5,5,5,7,5],"
              "\"rows\":[[[0,0],[0,0],[0,0],[0,0],[0,0]],[[0,0],[0,0],[0,0],[0,0],[0,0]],"
              "[[0,0],[0,0],[0,0],[0,0],[0,0]],[[0,0],[0,0],[0,0],[0,0],[0,0]],"
              "[[0,0],[0,0],[0,0],[0,0],[0,0]]],"
              "\"stock\":[[0,0],[0,0],[0,0],[0,0],[0,0],[0,0],[0,0]]}");
}

TEST(PositionFormat, TextShowsPipPairsCountsRowAndState) {
    headless::HeadlessGame game([] { return int64_t{0}; });
    ASSERT_TRUE(game.Play({.virtualKey = 'S'}));
    auto& board = game.game().board;
    board.halves.fill(0);
    board.counts = {1, 0, 0, 0, 0, 1, 1};
    board.halves[0] = 9;
    board.halves[1] = 10;
    board.halves[board::kStockFirstHalf] = 1;
    board.halves[board::kStockFirstHalf + 1] = 7;
    EXPECT_EQ(replay::PositionText("S", game.flow(), board),
              "key: S\nrow 0: 6-6\nrow 1: (empty)\nrow 2: (empty)\nrow 3: (empty)\n"
              "row 4: (empty)\nstock: 1-1\ncounts: 1 0 0 0 0 1 1\ncurrent row: 0\n"
              "state: Playing\n");
}

TEST(HeadlessGame, QuitKeysEndThePlayAfterTheirFrameAltKeysAreNoCommand) {
    headless::HeadlessGame game([] { return int64_t{0}; });
    EXPECT_TRUE(game.Play({.virtualKey = 'S', .alt = true}));
    EXPECT_EQ(game.flow().GameState, app::Menu);
    EXPECT_EQ(game.flow().currentRow, 0);  // the pass still drew a menu frame
    EXPECT_TRUE(game.Play({.virtualKey = 'C'}));
    EXPECT_FALSE(game.Play({.virtualKey = 0x73, .alt = true}));  // Alt+F4 closes the window
    EXPECT_FALSE(game.running());
}

}  // namespace
