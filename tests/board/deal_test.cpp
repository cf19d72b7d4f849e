#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using board::TileBoard;
using boardtest::BoardWithRows;
using boardtest::RowTiles;
using boardtest::Tiles;

std::vector<int> Range(int from, int to) {
    std::vector<int> v(static_cast<std::size_t>(to - from));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// The opening layout in TileSet order: rows of tiles 0-4, ..., 20-24, stock 25 to 31.
TileBoard OpeningInSetOrder() {
    TileBoard b;
    b.ShuffleAndLayOut([] { return 0; });
    return b;
}

TEST(DealFromStock, OpeningThenSecondThenEmptyStock) {
    TileBoard b = OpeningInSetOrder();
    b.DealFromStock();
    // Row 0 takes stock tile 4, row 4 stock tile 0; tiles 5 and 6 move to the front.
    const int received[] = {29, 28, 27, 26, 25};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(b.counts[static_cast<std::size_t>(r)], 6);
        EXPECT_EQ(b.TileAt(r, 5), board::TileSet[static_cast<std::size_t>(received[r])]);
    }
    EXPECT_EQ(RowTiles(b, board::kStockRow), Tiles({30, 31}));

    b.DealFromStock();
    EXPECT_EQ(b.TileAt(0, 6), board::TileSet[31]);
    EXPECT_EQ(b.TileAt(1, 6), board::TileSet[30]);
    EXPECT_EQ(b.counts, (std::array<int16_t, 7>{7, 7, 6, 6, 6, 0, 5}));
    for (int r = 2; r < 5; ++r) {
        EXPECT_EQ(b.TileAt(r, 6), (board::Tile{0, 0})) << "row " << r;
    }

    const TileBoard drained = b;
    b.DealFromStock();
    EXPECT_EQ(b.counts, drained.counts);
    EXPECT_EQ(b.halves, drained.halves);
}

TEST(DealFromStock, NoLiveRowKeepsTheStockInOrder) {
    const TileBoard before = BoardWithRows({});
    TileBoard b = before;
    b.DealFromStock();
    EXPECT_EQ(b.counts, before.counts);
    EXPECT_EQ(b.halves, before.halves);
}

// The stock tile nearest the front goes to the highest-numbered receiving row.
TEST(DealFromStock, SkipsEmptyRowsAndShortStockServesTheLowestRows) {
    TileBoard b = BoardWithRows({{}, Range(0, 14), {}, Range(14, 27)});
    ASSERT_EQ(RowTiles(b, board::kStockRow), Tiles({27, 28, 29, 30, 31}));
    b.DealFromStock();
    EXPECT_EQ(b.counts, (std::array<int16_t, 7>{0, 15, 0, 14, 0, 3, 2}));
    EXPECT_EQ(b.TileAt(1, 14), board::TileSet[28]);
    EXPECT_EQ(b.TileAt(3, 13), board::TileSet[27]);
    EXPECT_EQ(RowTiles(b, board::kStockRow), Tiles({29, 30, 31}));
    for (int r : {0, 2, 4}) {
        for (int h = board::HalfIndex(r, 0); h < board::HalfIndex(r + 1, 0); ++h) {
            EXPECT_EQ(b.halves[static_cast<std::size_t>(h)], 0) << "half " << h;
        }
    }
}

TEST(DealFromStock, LastTileFillsTheRowToItsEnd) {
    TileBoard b = BoardWithRows({{}, {}, Range(0, 31)});
    b.DealFromStock();
    EXPECT_EQ(b.counts, (std::array<int16_t, 7>{0, 0, 32, 0, 0, 0, 1}));
    EXPECT_EQ(b.halves[64 * 2 + 62], board::TileSet[31].first);
    EXPECT_EQ(b.halves[64 * 2 + 63], board::TileSet[31].second);
    EXPECT_EQ(b.halves[64 * 3], 0);  // row 3 untouched
}

}  // namespace
