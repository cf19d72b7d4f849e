#include "headless/board_invariants.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace headless {

namespace {

// The pip grid of each face code, row by row, then the body: k black, w white, r red.
constexpr std::array<std::string_view, board::kFaceCodeCount> kFaces = {
    "kkkkkkkkkk", "wrwwwwwwww", "kwkwwwwwww", "wwkwkwkwww", "rwrwwwrwrw", "kwkwkwkwkw",
    "kwkkwkkwkw", "wwwwwwwrww", "wwwwwwkwkw", "kwrkwrkwrw", "rwkrwkrwkw"};

uint32_t Colour(char c) {
    return c == 'k' ? render::kBlack : c == 'r' ? render::kRed : render::kWhite;
}

int Count(const board::TileBoard& board, int row) {
    return board.counts[static_cast<std::size_t>(row)];
}

}  // namespace

std::string BoardInvariantFault(const board::TileBoard& board, bool laidOut) {
    for (int i = 0; i < board::kCountEntries; ++i) {
        if (board.counts[static_cast<std::size_t>(i)] < 0 ||
            board.counts[static_cast<std::size_t>(i)] > board::kPositionsPerRow) {
            return "count " + std::to_string(i) + " out of range";
        }
    }
    std::vector<board::Tile> tiles;
    int live = 0;
    for (int row = 0; row <= board::kStockRow; ++row) {
        const int count = Count(board, row);
        live += row < board::kTableRows && count > 0;
        for (int p = 0; p < count; ++p) {
            tiles.push_back(board.TileAt(row, p));
        }
        for (int p = count; row < board::kTableRows && p < board::kPositionsPerRow; ++p) {
            if (board.TileAt(row, p) != board::Tile{0, 0}) {
                return "row " + std::to_string(row) + " holds a tile beyond its count";
            }
        }
    }
    if (live != board.liveRows()) {
        return "liveRows " + std::to_string(board.liveRows()) + ", live rows " +
               std::to_string(live);
    }
    if (!laidOut) {
        return {};
    }
    std::vector<board::Tile> set(board::TileSet.begin(), board::TileSet.end());
    const auto order = [](board::Tile a, board::Tile b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    };
    std::sort(tiles.begin(), tiles.end(), order);
    std::sort(set.begin(), set.end(), order);
    if (tiles != set) {
        return "the board does not hold the tile set";
    }
    return {};
}

std::string MeshColourFault(const render::BoardMesh& mesh, const board::TileBoard& board) {
    const int dark = std::max(5 - board.stockCount(), 0);
    for (int slot = 0; slot < render::kSlotCount; ++slot) {
        std::array<uint32_t, render::kVerticesPerSlot> want{};
        if (slot < render::kTableSlots) {
            const board::Tile tile =
                board.TileAt(slot / board::kPositionsPerRow, slot % board::kPositionsPerRow);
            for (int q = 0; q < 9; ++q) {
                for (int v = 0; v < 4; ++v) {
                    want[static_cast<std::size_t>(4 * q + v)] =
                        Colour(kFaces[static_cast<std::size_t>(tile.first)][q]);
                    want[static_cast<std::size_t>(36 + 4 * q + v)] =
                        Colour(kFaces[static_cast<std::size_t>(tile.second)][q]);
                }
            }
            std::fill(want.begin() + 72, want.end(),
                      Colour(kFaces[static_cast<std::size_t>(tile.second)][9]));
        } else {
            want.fill(slot - render::kTableSlots < dark ? render::kBlack : render::kWhite);
        }
        for (int v = 0; v < render::kVerticesPerSlot; ++v) {
            const auto& vertex =
                mesh.vertices()[static_cast<std::size_t>(slot * render::kVerticesPerSlot + v)];
            if (vertex.diffuse != want[static_cast<std::size_t>(v)]) {
                return "slot " + std::to_string(slot) + " vertex " + std::to_string(v) +
                       " has the wrong colour";
            }
        }
    }
    return {};
}

}  // namespace headless
