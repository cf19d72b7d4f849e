#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/game_flow.h"
#include "board_builder.h"
#include "headless/headless_game.h"

namespace {

using boardtest::BoardWithRows;

// The headless game, one frame per key so that the states between show.
struct OneFrameAKey {
    std::unique_ptr<headless::HeadlessGame> play =
        std::make_unique<headless::HeadlessGame>([] { return int64_t{1000}; });

    void Key(uint32_t key) {
        play->Send({.virtualKey = key});
        play->Frame();
    }
    void Frame() { play->Frame(); }
    board::TileBoard& board() { return play->game().board; }
    void ExpectFlow(app::GameState gameState, int32_t currentRow) {
        EXPECT_EQ(play->flow().GameState, gameState);
        EXPECT_EQ(play->flow().currentRow, currentRow);
    }
};

// No tail qualifies, so only the walk moves; before the first new game the rows count five
// tiles each over empty halves, and the walk and the deal work on those all the same.
TEST(Step, CWalksTheLiveRowsThenDealsByItself) {
    for (const bool laidOut : {false, true}) {
        SCOPED_TRACE(laidOut ? "laid out by hand" : "before the first game");
        OneFrameAKey g;
        if (laidOut) {
            g.board() =
                BoardWithRows({{13, 14, 6}, {0, 2, 4}, {10, 12, 21}, {1, 3, 5}, {22, 23, 24}});
        }
        for (int32_t next : {1, 2, 3, 4}) {
            g.Key('C');
            g.ExpectFlow(app::Playing, next);
        }
        g.Key('C');
        g.ExpectFlow(app::DealStock, 0);
        g.Frame();
        g.ExpectFlow(app::Playing, 0);
        const auto& board = g.board();
        EXPECT_EQ(board.counts, laidOut ? (std::array<int16_t, 7>{4, 4, 4, 4, 4, 12, 5})
                                        : (std::array<int16_t, 7>{6, 6, 6, 6, 6, 2, 5}));
        EXPECT_TRUE(laidOut || std::ranges::all_of(board.halves, [](auto h) { return h == 0; }));
    }
}

TEST(Step, CWithNoLiveRowPassesThroughTheDeal) {
    OneFrameAKey g;
    g.Key('S');
    // The last live row clears on this C, leaving every tile in the stock.
    g.board() = BoardWithRows({{}, {}, {}, {}, {6, 25, 2}});
    board::TileBoard cleared;
    for (int press = 0; press < 2; ++press) {
        g.Key('C');
        g.ExpectFlow(app::DealStock, 0);
        g.Frame();
        g.ExpectFlow(app::Playing, 0);
        cleared = press == 0 ? g.board() : cleared;
        boardtest::ExpectSameBoard(g.board(), cleared);
    }
    EXPECT_EQ(cleared.stockCount(), 32);
}

}  // namespace
