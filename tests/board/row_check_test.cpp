#include <gtest/gtest.h>

#include <vector>

#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using board::TileBoard;
using boardtest::BoardWithRows;
using boardtest::RowTiles;
using boardtest::Tiles;

void ExpectSameBoard(const TileBoard& a, const TileBoard& b) {
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_EQ(a.halves, b.halves);
}

std::vector<board::Tile> LastStockTiles(const TileBoard& b, int n) {
    const auto stock = RowTiles(b, board::kStockRow);
    return {stock.end() - n, stock.end()};
}

struct TailCase {
    const char* name;
    int tiles[3];  // TileSet indices, row positions n-3 to n-1
    bool clears;
};

// 6-6 is (9, 10), 1-1 is (1, 7), 2-2 is (2, 8), 1-2 is (1, 8): the alternative faces count
// like the plain ones.
const TailCase kTails[] = {
    {"two triples 3 and 5", {6, 25, 2}, true},
    {"two triples of alternative ones and twos", {10, 8, 12}, true},
    {"triple of ones, 10 left over", {10, 13, 22}, true},
    {"triple of ones, exactly 9 left over", {10, 13, 21}, true},
    {"triple of ones, only 8 left over", {10, 12, 21}, false},
    {"triple of sixes, 6 left over", {0, 18, 20}, false},
    {"triple of sixes, 12 left over", {0, 28, 25}, true},
    {"four sixes: the fourth counts as leftover", {0, 1, 12}, true},
    {"five ones: leftover 4", {10, 11, 12}, false},
    {"four threes, two ones", {13, 14, 6}, false},
    {"five twos: leftover 10", {8, 9, 23}, true},
    {"no triple, whatever the sum", {0, 2, 4}, false},
};

TEST(CheckRowTail, ClearsExactlyTheQualifyingTails) {
    for (const TailCase& c : kTails) {
        SCOPED_TRACE(c.name);
        // The tail sits behind two other tiles in row 2, so positions 2 to 4 are examined.
        const TileBoard before =
            BoardWithRows({{}, {}, {30, 31, c.tiles[0], c.tiles[1], c.tiles[2]}});
        TileBoard b = before;
        b.CheckRowTail(2);
        if (!c.clears) {
            ExpectSameBoard(b, before);
            continue;
        }
        EXPECT_EQ(RowTiles(b, 2), Tiles({30, 31}));
        for (int h = board::HalfIndex(2, 2); h < board::HalfIndex(3, 0); ++h) {
            EXPECT_EQ(b.halves[static_cast<std::size_t>(h)], 0) << "half " << h;
        }
        EXPECT_EQ(b.stockCount(), before.stockCount() + 3);
        EXPECT_EQ(LastStockTiles(b, 3), Tiles({c.tiles[0], c.tiles[1], c.tiles[2]}));
        EXPECT_EQ(b.liveRows(), 1);
    }
}

TEST(CheckRowTail, RowOfThreeEmptiesAndDropsOutOfPlay) {
    TileBoard b = BoardWithRows({{30}, {}, {}, {}, {0, 1, 12}});
    ASSERT_EQ(b.liveRows(), 2);
    b.CheckRowTail(4);
    EXPECT_EQ(b.counts[4], 0);
    EXPECT_EQ(b.liveRows(), 1);
    EXPECT_EQ(b.stockCount(), 31);
    EXPECT_EQ(LastStockTiles(b, 3), Tiles({0, 1, 12}));
    EXPECT_EQ(RowTiles(b, 0), Tiles({30}));
}

TEST(CheckRowTail, RowsOfOneOrTwoTilesNeverClear) {
    // Four sixes at the very start of the storage: nothing before row 0 may be read.
    for (const auto& rows : std::vector<std::vector<std::vector<int>>>{
             {{0}}, {{0, 1}}, {{30}, {}, {0, 1}}, {{2, 3, 4}, {0, 1}}}) {
        const TileBoard before = BoardWithRows(rows);
        TileBoard b = before;
        for (int r = 0; r < board::kTableRows; ++r) {
            if (b.counts[static_cast<std::size_t>(r)] < 3) {
                b.CheckRowTail(r);
            }
        }
        ExpectSameBoard(b, before);
    }
}

TEST(CheckRowTail, ExposedTailWaitsForTheNextCheck) {
    TileBoard b = BoardWithRows({{}, {6, 25, 2, 10, 8, 12}});
    b.CheckRowTail(1);
    EXPECT_EQ(RowTiles(b, 1), Tiles({6, 25, 2}));
    EXPECT_EQ(LastStockTiles(b, 3), Tiles({10, 8, 12}));
    b.CheckRowTail(1);
    EXPECT_EQ(b.counts[1], 0);
    EXPECT_EQ(b.liveRows(), 0);
    EXPECT_EQ(LastStockTiles(b, 6), Tiles({10, 8, 12, 6, 25, 2}));
}

TEST(CheckCurrentRow, SkipsEmptyRowsAndChecksTheFirstLiveOne) {
    TileBoard b = BoardWithRows({{}, {}, {30, 6, 25, 2}, {10, 8, 12}});
    int32_t currentRow = 0;
    b.CheckCurrentRow(currentRow);
    EXPECT_EQ(currentRow, 2);
    EXPECT_EQ(RowTiles(b, 2), Tiles({30}));
    EXPECT_EQ(RowTiles(b, 3), Tiles({10, 8, 12}));

    // A live row whose tail does not qualify is still where the search stops.
    b.CheckCurrentRow(currentRow);
    EXPECT_EQ(currentRow, 2);
    EXPECT_EQ(RowTiles(b, 2), Tiles({30}));
}

TEST(CheckCurrentRow, StartsAtRowZeroBeforeTheFirstFrame) {
    TileBoard b = BoardWithRows({{10, 8, 12}, {6, 25, 2}});
    int32_t currentRow = -1;
    b.CheckCurrentRow(currentRow);
    EXPECT_EQ(currentRow, 0);
    EXPECT_EQ(b.counts[0], 0);
    EXPECT_EQ(RowTiles(b, 1), Tiles({6, 25, 2}));
}

// With every tile in the stock, the stock's count (32) and liveRows lie right after the
// table rows' counts; the search must stop at 5 without taking them for rows.
TEST(CheckCurrentRow, NoLiveRowLeavesTheBoardAndEndsAtFive) {
    const TileBoard before = BoardWithRows({});
    ASSERT_EQ(before.stockCount(), 32);
    for (int32_t start : {-1, 0, 3, 4, 5}) {
        TileBoard b = before;
        int32_t currentRow = start;
        b.CheckCurrentRow(currentRow);
        EXPECT_EQ(currentRow, 5) << "from " << start;
        ExpectSameBoard(b, before);
    }
    // Live rows only behind the start are not searched either.
    const TileBoard early = BoardWithRows({{6, 25, 2}});
    TileBoard b = early;
    int32_t currentRow = 1;
    b.CheckCurrentRow(currentRow);
    EXPECT_EQ(currentRow, 5);
    ExpectSameBoard(b, early);
}

}  // namespace
