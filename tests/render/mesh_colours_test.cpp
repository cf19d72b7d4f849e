#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "board/shuffle_random.h"
#include "board/tile_board.h"
#include "render/board_mesh.h"

namespace {

using render::BoardMesh;

constexpr uint32_t K = 0xFF000000u;
constexpr uint32_t W = 0xFFFFFFFFu;
constexpr uint32_t R = 0xFFFF0000u;

// The faces as the player sees them: nine pips of a half row by row, then the body.
const std::string kFaces[11] = {
    "KKKKKKKKKK", "WRWWWWWWWW", "KWKWWWWWWW", "WWKWKWKWWW", "RWRWWWRWRW", "KWKWKWKWKW",
    "KWKKWKKWKW", "WWWWWWWRWW", "WWWWWWKWKW", "KWRKWRKWRW", "RWKRWKRWKW",
};

uint32_t Colour(char c) {
    return c == 'K' ? K : c == 'R' ? R : W;
}

// What vertex `v` must show, worked out from the storage and the stock count alone.
uint32_t ExpectedColour(const board::TileBoard& b, int v) {
    const int slot = v / 84;
    const int k = v % 84;
    if (slot >= 160) {
        const int dark = std::max(0, 5 - static_cast<int>(b.stockCount()));
        return slot - 160 < dark ? K : W;
    }
    const board::Tile tile = b.TileAt(slot / 32, slot % 32);
    if (k < 36) {
        return Colour(kFaces[tile.first][static_cast<std::size_t>(k / 4)]);
    }
    const std::string& lower = kFaces[tile.second];
    return Colour(k < 72 ? lower[static_cast<std::size_t>((k - 36) / 4)] : lower[9]);
}

class MeshColours : public ::testing::Test {
  protected:
    std::unique_ptr<BoardMesh> mesh = std::make_unique<BoardMesh>(nullptr);
    board::TileBoard board;

    void Place(int row, int position, board::FaceCode first, board::FaceCode second) {
        const auto h = static_cast<std::size_t>(board::HalfIndex(row, position));
        board.halves[h] = first;
        board.halves[h + 1] = second;
    }
    // Pip q of a slot's upper (half 0) or lower (half 1) half.
    uint32_t Pip(int slot, int half, int q) const {
        return mesh->vertices[static_cast<std::size_t>(84 * slot + 36 * half + 4 * q)].diffuse;
    }
    void ExpectAllAsBoardSays() {
        for (int v = 0; v < render::kVertexCount; ++v) {
            const uint32_t shown = mesh->vertices[static_cast<std::size_t>(v)].diffuse;
            if (shown != ExpectedColour(board, v)) {
                FAIL() << "vertex " << v << " shows " << std::hex << shown;
            }
        }
    }
};

TEST_F(MeshColours, FacesShowTheirPips) {
    Place(2, 3, 9, 10);  // double six: black and red columns, mirrored on the lower half
    mesh->ApplyColours(board);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Pip(67, 0, 3 * row), K);
        EXPECT_EQ(Pip(67, 0, 3 * row + 2), R);
        EXPECT_EQ(Pip(67, 1, 3 * row), R);
        EXPECT_EQ(Pip(67, 1, 3 * row + 2), K);
    }
    // Each face shows as many pips as it counts for.
    for (board::FaceCode code = 1; code <= 10; ++code) {
        Place(1, code, code, code);
    }
    mesh->ApplyColours(board);
    for (board::FaceCode code = 1; code <= 10; ++code) {
        int shown = 0;
        for (int q = 0; q < 9; ++q) {
            shown += (Pip(32 + code, 0, q) != W) + (Pip(32 + code, 1, q) != W);
        }
        EXPECT_EQ(shown, 2 * board::PipValue(code)) << "code " << code;
    }
}

TEST_F(MeshColours, EmptyAndUnknownPlacesVanish) {
    Place(0, 0, 5, 5);
    mesh->ApplyColours(board);
    Place(0, 0, 0, 0);
    Place(3, 7, 99, -4);  // never laid out by the game; must not read past the colour table
    mesh->ApplyColours(board);
    for (int slot : {0, 3 * 32 + 7, 31}) {
        for (int k = 0; k < 84; ++k) {
            EXPECT_EQ(mesh->vertices[static_cast<std::size_t>(84 * slot + k)].diffuse, K);
        }
    }
}

TEST_F(MeshColours, StockPlacesGoDarkFromTheLeft) {
    const std::pair<int16_t, const char*> cases[] = {
        {7, "WWWWW"}, {5, "WWWWW"}, {3, "KKWWW"}, {1, "KKKKW"}, {0, "KKKKK"}};
    for (const auto& [stock, places] : cases) {
        board.stockCount() = stock;
        mesh->ApplyColours(board);
        for (int v = 84 * 160; v < render::kVertexCount; ++v) {
            ASSERT_EQ(mesh->vertices[static_cast<std::size_t>(v)].diffuse,
                      Colour(places[v / 84 - 160]))
                << "stock " << stock << " vertex " << v;
        }
    }
}

TEST_F(MeshColours, FollowTheBoardThroughRandomGames) {
    std::mt19937 moves(20261206);
    int clears = 0;             // the walk must actually move tiles to the stock
    mesh->ApplyColours(board);  // before the first game: an empty table, a full stock
    ExpectAllAsBoardSays();
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        board::ShuffleRandom random;
        random.SeedForDeal(seed * 7919);
        board.ShuffleAndLayOut([&random] { return random.Draw(); });
        mesh->ApplyColours(board);
        ExpectAllAsBoardSays();
        for (int move = 0; move < 80 && !HasFatalFailure(); ++move) {
            if (moves() % 4 == 0) {
                board.DealFromStock();
            } else {
                int32_t row = static_cast<int32_t>(moves() % 6);
                const int16_t stockBefore = board.stockCount();
                board.CheckCurrentRow(row);
                clears += board.stockCount() > stockBefore;
            }
            mesh->ApplyColours(board);
            ExpectAllAsBoardSays();
        }
    }
    EXPECT_GT(clears, 10);
}

}  // namespace
