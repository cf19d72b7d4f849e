#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "board/face_code.h"
#include "board/tile_board.h"

namespace boardtest {

using Rows = std::vector<std::vector<int>>;

// A board laid by hand: each table row holds the given TileSet indices in order, and every
// tile not named goes to the stock in TileSet order, so all 32 tiles are on the board.
inline board::TileBoard BoardWithRows(const Rows& rows) {
    board::TileBoard b;
    b.counts.fill(0);
    auto put = [&b](int row, int position, int tile) {
        const auto h = static_cast<std::size_t>(board::HalfIndex(row, position));
        b.halves[h] = board::TileSet[static_cast<std::size_t>(tile)].first;
        b.halves[h + 1] = board::TileSet[static_cast<std::size_t>(tile)].second;
    };
    std::vector<int> stock(board::kTileCount);
    std::iota(stock.begin(), stock.end(), 0);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& tiles = rows[static_cast<std::size_t>(r)];
        for (int p = 0; p < static_cast<int>(tiles.size()); ++p) {
            put(r, p, tiles[static_cast<std::size_t>(p)]);
            std::erase(stock, tiles[static_cast<std::size_t>(p)]);
        }
        b.counts[static_cast<std::size_t>(r)] = static_cast<int16_t>(tiles.size());
        b.liveRows() = static_cast<int16_t>(b.liveRows() + (tiles.empty() ? 0 : 1));
    }
    for (int s = 0; s < static_cast<int>(stock.size()); ++s) {
        put(board::kStockRow, s, stock[static_cast<std::size_t>(s)]);
    }
    b.stockCount() = static_cast<int16_t>(stock.size());
    return b;
}

// The tiles of one storage row, positions 0 to count - 1.
inline std::vector<board::Tile> RowTiles(const board::TileBoard& b, int row) {
    std::vector<board::Tile> tiles;
    for (int p = 0; p < b.counts[static_cast<std::size_t>(row)]; ++p) {
        tiles.push_back(b.TileAt(row, p));
    }
    return tiles;
}

inline std::vector<board::Tile> Tiles(const std::vector<int>& tileSetIndices) {
    std::vector<board::Tile> tiles;
    for (int i : tileSetIndices) {
        tiles.push_back(board::TileSet[static_cast<std::size_t>(i)]);
    }
    return tiles;
}

inline std::vector<int> Range(int from, int to) {
    std::vector<int> v(static_cast<std::size_t>(to - from));
    std::iota(v.begin(), v.end(), from);
    return v;
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
