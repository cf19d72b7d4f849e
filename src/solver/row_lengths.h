#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "board/tile_board.h"

namespace solver {

// The five table rows' lengths, all that the length bound looks at; the stock holds the rest.
using RowLengths = std::array<uint8_t, board::kTableRows>;

inline constexpr int kNoRow = board::kTableRows;

// The first live row, or row 0 of the empty table.
inline int FirstLive(const RowLengths& lengths) {
    const int row = board::NextLiveRow(lengths, -1);
    return row != kNoRow ? row : 0;
}

// The first live row after `row`, or kNoRow.
inline int NextLive(const RowLengths& lengths, int row) {
    return board::NextLiveRow(lengths, row);
}

inline int LiveCount(const RowLengths& lengths) {
    return static_cast<int>(
        std::count_if(lengths.begin(), lengths.end(), [](uint8_t n) { return n != 0; }));
}

inline int TableTiles(const RowLengths& lengths) {
    return lengths[0] + lengths[1] + lengths[2] + lengths[3] + lengths[4];
}

inline int StockOf(const RowLengths& lengths) {
    return board::kTileCount - TableTiles(lengths);
}

// The lengths after a deal: one more on each of the first live rows the stock reaches.
inline RowLengths Dealt(RowLengths lengths) {
    int n = std::min(LiveCount(lengths), StockOf(lengths));
    for (int r = 0; r < board::kTableRows && n > 0; ++r) {
        if (lengths[r] != 0) {
            ++lengths[r];
            --n;
        }
    }
    return lengths;
}

}  // namespace solver
