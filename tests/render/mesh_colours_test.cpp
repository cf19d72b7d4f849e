#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "board/tile_board.h"
#include "platform/headless/headless_backend.h"
#include "render/board_mesh.h"

namespace {

// The faces as the player sees them: nine pips of a half row by row, then the body.
const std::string kFaces[11] = {
    "KKKKKKKKKK", "WRWWWWWWWW", "KWKWWWWWWW", "WWKWKWKWWW", "RWRWWWRWRW", "KWKWKWKWKW",
    "KWKKWKKWKW", "WWWWWWWRWW", "WWWWWWKWKW", "KWRKWRKWRW", "RWKRWKRWKW",
};

uint32_t Colour(char c) {
    return c == 'K' ? 0xFF000000u : c == 'R' ? 0xFFFF0000u : 0xFFFFFFFFu;
}

class MeshColours : public ::testing::Test {
  protected:
    platform::headless::Device device;
    std::unique_ptr<render::BoardMesh> mesh = std::make_unique<render::BoardMesh>(device);
    board::TileBoard board;

    void Place(int row, int position, board::FaceCode first, board::FaceCode second) {
        board.halves[board::HalfIndex(row, position)] = first;
        board.halves[board::HalfIndex(row, position) + 1] = second;
    }
    uint32_t Shown(int slot, int k) const { return mesh->vertices()[84 * slot + k].diffuse; }
};

// Code c over code 10 - c, so that the two halves of each tile differ; the body takes the
// lower half's colour.
TEST_F(MeshColours, EachFaceShowsItsPips) {
    for (board::FaceCode code = 0; code <= 10; ++code) {
        Place(1, code, code, static_cast<board::FaceCode>(10 - code));
    }
    mesh->ApplyColours(board);
    for (int code = 0; code <= 10; ++code) {
        for (int k = 0; k < 84; ++k) {
            const std::string& face = kFaces[k < 36 ? code : 10 - code];
            ASSERT_EQ(Shown(32 + code, k), Colour(face[k < 72 ? k % 36 / 4 : 9]))
                << "code " << code << " vertex " << k;
        }
    }
}

TEST_F(MeshColours, EmptyAndUnknownPlacesShowBlack) {
    Place(0, 0, 5, 5);
    mesh->ApplyColours(board);
    Place(0, 0, 0, 0);
    Place(3, 7, 99, -4);  // never laid out by the game; must not read past the colour table
    mesh->ApplyColours(board);
    for (int slot : {0, 3 * 32 + 7, 31}) {
        for (int k = 0; k < 84; ++k) {
            EXPECT_EQ(Shown(slot, k), Colour('K')) << "slot " << slot << " vertex " << k;
        }
    }
}

TEST_F(MeshColours, StockPlacesGoDarkFromTheLeft) {
    const std::pair<int16_t, const char*> cases[] = {
        {7, "WWWWW"}, {5, "WWWWW"}, {3, "KKWWW"}, {1, "KKKKW"}, {0, "KKKKK"}};
    for (const auto& [stock, places] : cases) {
        board.stockCount() = stock;
        mesh->ApplyColours(board);
        for (int slot = 160; slot < 165; ++slot) {
            for (int k = 0; k < 84; ++k) {
                ASSERT_EQ(Shown(slot, k), Colour(places[slot - 160])) << "stock " << stock;
            }
        }
    }
}

}  // namespace
