#include <gtest/gtest.h>

#include <vector>

#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using board::TileBoard;
using boardtest::BoardWithRows;
using boardtest::ExpectSameBoard;
using boardtest::Rows;
using boardtest::RowTiles;
using boardtest::Tiles;

// Tiles are TileSet indices. 6-6 is (9, 10), 1-1 is (1, 7), 2-2 is (2, 8), 1-2 is (1, 8): the
// alternative faces count like the plain ones.
TEST(CheckRowTail, ClearsExactlyTheQualifyingTails) {
    const struct {
        const char* name;
        int row;
        std::vector<int> tiles;
        bool clears;
    } cases[] = {
        {"two triples 3 and 5", 2, {30, 31, 6, 25, 2}, true},
        {"two triples of alternative ones and twos", 2, {30, 31, 10, 8, 12}, true},
        {"triple of ones, 10 left over", 2, {30, 31, 10, 13, 22}, true},
        {"triple of ones, exactly 9 left over", 2, {30, 31, 10, 13, 21}, true},
        {"triple of ones, only 8 left over", 2, {30, 31, 10, 12, 21}, false},
        {"triple of sixes, 6 left over", 2, {30, 31, 0, 18, 20}, false},
        {"triple of sixes, 12 left over", 2, {30, 31, 0, 28, 25}, true},
        {"four sixes: the fourth counts as leftover", 2, {30, 31, 0, 1, 12}, true},
        {"five ones: leftover 4", 2, {30, 31, 10, 11, 12}, false},
        {"four threes, two ones", 2, {30, 31, 13, 14, 6}, false},
        {"five twos: leftover 10", 2, {30, 31, 8, 9, 23}, true},
        {"no triple, whatever the sum", 2, {30, 31, 0, 2, 4}, false},
        {"a row of three empties", 4, {0, 1, 12}, true},
        // Four sixes at the very start of the storage: nothing before row 0 may be read.
        {"one tile", 0, {0}, false},
        {"two tiles", 0, {0, 1}, false},
        {"the exposed tail waits for the next check", 1, {6, 25, 2, 10, 8, 12}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rows rows(c.row + 1);
        rows.back() = c.tiles;
        const TileBoard before = BoardWithRows(rows);
        TileBoard b = before;
        b.CheckRowTail(c.row);
        if (!c.clears) {
            ExpectSameBoard(b, before);
            continue;
        }
        const std::vector<int> kept(c.tiles.begin(), c.tiles.end() - 3);
        EXPECT_EQ(RowTiles(b, c.row), Tiles(kept));
        EXPECT_EQ(b.liveRows(), kept.empty() ? 0 : 1);
        auto stock = RowTiles(before, board::kStockRow);
        const auto tail = Tiles(std::vector<int>(c.tiles.end() - 3, c.tiles.end()));
        stock.insert(stock.end(), tail.begin(), tail.end());
        EXPECT_EQ(RowTiles(b, board::kStockRow), stock);
    }
}

}  // namespace
