#include <gtest/gtest.h>

#include "board/tile_board.h"

namespace {

TEST(TileBoard, ConstructedEmptyWithOpeningCounts) {
    board::TileBoard b;
    EXPECT_EQ(b.counts, board::kOpeningCounts);
    for (auto h : b.halves) {
        EXPECT_EQ(h, 0);
    }
}

}  // namespace
