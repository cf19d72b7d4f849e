#include <gtest/gtest.h>

#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using boardtest::BoardWithRows;
using boardtest::Range;
using boardtest::Rows;

std::vector<int> With(std::vector<int> row, int tile) {
    row.push_back(tile);
    return row;
}

// The stock tile nearest the front goes to the highest-numbered receiving row, and the stock
// keeps its order, so every board after a deal is again one laid by hand.
TEST(DealFromStock, EachLiveRowTakesOneStockTileAsFarAsTheStockReaches) {
    const Rows opening = {Range(0, 5), Range(5, 10), Range(10, 15), Range(15, 20), Range(20, 25)};
    const Rows second = {With(Range(0, 5), 29), With(Range(5, 10), 28), With(Range(10, 15), 27),
                         With(Range(15, 20), 26), With(Range(20, 25), 25)};
    const Rows drained = {With(second[0], 31), With(second[1], 30), second[2], second[3],
                          second[4]};
    const struct {
        const char* name;
        Rows before;
        Rows after;
    } cases[] = {
        {"opening deal", opening, second},
        {"second deal, two tiles left", second, drained},
        {"empty stock", drained, drained},
        {"no live row", {}, {}},
        {"rows 1 and 3 with a stock of 5",
         {{}, Range(0, 14), {}, Range(14, 27)},
         {{}, With(Range(0, 14), 28), {}, With(Range(14, 27), 27)}},
        {"31 tiles and one more", {{}, {}, Range(0, 31)}, {{}, {}, Range(0, 32)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        board::TileBoard b = BoardWithRows(c.before);
        b.DealFromStock();
        boardtest::ExpectSameBoard(b, BoardWithRows(c.after));
    }
}

}  // namespace
