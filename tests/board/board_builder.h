#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "board/face_code.h"
#include "board/tile_board.h"

namespace boardtest {

using Rows = std::vector<std::vector<int>>;

inline std::vector<int> Range(int from, int to) {
    std::vector<int> v(static_cast<std::size_t>(to - from));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// A board laid by hand: each table row holds the given TileSet indices in order, and every
// tile not named goes to the stock in TileSet order, so all 32 tiles are on the board.
inline board::TileBoard BoardWithRows(const Rows& rows) {
    Rows all = rows;
    all.resize(board::kStorageRows);
    all[board::kStockRow] = Range(0, board::kTileCount);
    for (const auto& row : rows) {
        for (int tile : row) {
            std::erase(all[board::kStockRow], tile);
        }
    }
    board::TileBoard b;
    b.liveRows() = 0;
    for (int r = 0; r < board::kStorageRows; ++r) {
        for (int p = 0; p < static_cast<int>(all[r].size()); ++p) {
            const board::Tile t = board::TileSet[all[r][p]];
            b.halves[board::HalfIndex(r, p)] = t.first;
            b.halves[board::HalfIndex(r, p) + 1] = t.second;
        }
        b.counts[r] = static_cast<int16_t>(all[r].size());
        b.liveRows() += r < board::kTableRows && !all[r].empty() ? 1 : 0;
    }
    return b;
}

// The tiles of one storage row, positions 0 to count - 1.
inline std::vector<board::Tile> RowTiles(const board::TileBoard& b, int row) {
    std::vector<board::Tile> tiles;
    for (int p = 0; p < b.counts[row]; ++p) {
        tiles.push_back(b.TileAt(row, p));
    }
    return tiles;
}

inline std::vector<board::Tile> Tiles(const std::vector<int>& tileSetIndices) {
    std::vector<board::Tile> tiles;
    for (int i : tileSetIndices) {
        tiles.push_back(board::TileSet[i]);
    }
    return tiles;
}

// The same position: counts, every table half, and the stock's tiles (what lies beyond the
// stock's count is never read).
inline void ExpectSameBoard(const board::TileBoard& a, const board::TileBoard& b) {
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_TRUE(
        std::equal(a.halves.begin(), a.halves.begin() + board::kStockFirstHalf, b.halves.begin()));
    EXPECT_EQ(RowTiles(a, board::kStockRow), RowTiles(b, board::kStockRow));
}

}  // namespace boardtest
