#pragma once

#include <algorithm>
#include <vector>

#include "board/face_code.h"
#include "board/tile_board.h"

namespace boardtest {

// A board laid by hand: each table row holds the given TileSet indices in order, and every
// tile not named goes to the stock in TileSet order, so all 32 tiles are on the board.
inline board::TileBoard BoardWithRows(const std::vector<std::vector<int>>& rows) {
    board::TileBoard b;
    b.halves.fill(0);
    std::vector<bool> used(board::kTileCount, false);
    int live = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        const std::vector<int> tiles = r < static_cast<int>(rows.size())
                                           ? rows[static_cast<std::size_t>(r)]
                                           : std::vector<int>{};
        for (std::size_t p = 0; p < tiles.size(); ++p) {
            const board::Tile t = board::TileSet[static_cast<std::size_t>(tiles[p])];
            const auto h = static_cast<std::size_t>(board::HalfIndex(r, static_cast<int>(p)));
            b.halves[h] = t.first;
            b.halves[h + 1] = t.second;
            used[static_cast<std::size_t>(tiles[p])] = true;
        }
        b.counts[static_cast<std::size_t>(r)] = static_cast<int16_t>(tiles.size());
        live += tiles.empty() ? 0 : 1;
    }
    int s = 0;
    for (int i = 0; i < board::kTileCount; ++i) {
        if (!used[static_cast<std::size_t>(i)]) {
            const board::Tile t = board::TileSet[static_cast<std::size_t>(i)];
            const auto h = static_cast<std::size_t>(board::HalfIndex(board::kStockRow, s++));
            b.halves[h] = t.first;
            b.halves[h + 1] = t.second;
        }
    }
    b.stockCount() = static_cast<int16_t>(s);
    b.liveRows() = static_cast<int16_t>(live);
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

inline std::vector<board::Tile> Tiles(std::initializer_list<int> tileSetIndices) {
    std::vector<board::Tile> tiles;
    for (int i : tileSetIndices) {
        tiles.push_back(board::TileSet[static_cast<std::size_t>(i)]);
    }
    return tiles;
}

}  // namespace boardtest
