#include <gtest/gtest.h>

#include <vector>

#include "board/shuffle_random.h"
#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using board::TileBoard;
using boardtest::Range;
using boardtest::RowTiles;
using boardtest::Tiles;

// Every step exchanges or none does, whether a draw serves one step or fifteen.
TEST(ShuffleAndLayOut, ConstantDrawsGiveKnownLayouts) {
    std::vector<int> rotated = Range(5, 32);  // 5, 0, 6, 7, ..., 31, 1, 2, 3, 4
    rotated.insert(rotated.begin() + 1, 0);
    rotated.insert(rotated.end(), {1, 2, 3, 4});
    const struct {
        int32_t draw;
        std::vector<int> order;
        int calls;
    } cases[] = {{0, Range(0, 32), 16001}, {1, rotated, 16001}, {32767, rotated, 1067}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.draw);
        TileBoard b;
        int calls = 0;
        b.ShuffleAndLayOut([&] { return ++calls, c.draw; });
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(b.counts, board::kOpeningCounts);
        for (int r = 0; r <= board::kStockRow; ++r) {
            const auto from = c.order.begin() + 5 * r;
            const auto to = from + (r == board::kStockRow ? 7 : 5);
            EXPECT_EQ(RowTiles(b, r), Tiles(std::vector<int>(from, to))) << "row " << r;
        }
    }
}

// The first deal of a clock second seeds with it; a further deal in that second goes on with
// the sequence, so pressing N twice quickly still gives a new position.
TEST(ShuffleRandom, SeedsOnceForEachClockSecond) {
    board::ShuffleRandom random;
    random.SeedForDeal(0);
    EXPECT_EQ(random.Draw(), 38);
    random.SeedForDeal(0);
    EXPECT_EQ(random.Draw(), 7719);
    random.SeedForDeal(1);
    EXPECT_EQ(random.Draw(), 41);
    EXPECT_EQ(random.Draw(), 18467);
    EXPECT_EQ(random.Draw(), 6334);
    random.SeedForDeal(0);
    EXPECT_EQ(random.Draw(), 38);
}

}  // namespace
