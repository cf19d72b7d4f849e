#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "board/shuffle_random.h"
#include "board/tile_board.h"
#include "board_builder.h"

namespace {

using board::TileBoard;
using boardtest::RowTiles;
using boardtest::Tiles;

struct ConstantDraws {
    int32_t value;
    int calls = 0;
    int32_t operator()() {
        ++calls;
        return value;
    }
};

void ExpectLayout(const TileBoard& b, const std::vector<int>& order) {
    for (int r = 0; r < board::kTableRows; ++r) {
        const std::vector<int> want(order.begin() + 5 * r, order.begin() + 5 * r + 5);
        EXPECT_EQ(RowTiles(b, r), Tiles({want[0], want[1], want[2], want[3], want[4]}))
            << "row " << r;
    }
    EXPECT_EQ(RowTiles(b, board::kStockRow),
              Tiles({order[25], order[26], order[27], order[28], order[29], order[30], order[31]}));
    EXPECT_EQ(b.counts, board::kOpeningCounts);
}

TEST(ShuffleAndLayOut, DrawsOfZeroExchangeNothingAndDrawEveryStep) {
    TileBoard b;
    ConstantDraws draws{0};
    b.ShuffleAndLayOut(draws);
    std::vector<int> order(32);
    std::iota(order.begin(), order.end(), 0);
    ExpectLayout(b, order);
    EXPECT_EQ(draws.calls, 16001);
}

// Every step exchanges, whether a draw serves one step or fifteen.
TEST(ShuffleAndLayOut, DrawsOfAllOnesRotateTheSet) {
    std::vector<int> order = {5, 0};
    for (int i = 6; i < 32; ++i) {
        order.push_back(i);
    }
    for (int i : {1, 2, 3, 4}) {
        order.push_back(i);
    }
    for (auto [value, calls] : {std::pair{1, 16001}, std::pair{32767, 1067}}) {
        TileBoard b;
        ConstantDraws draws{value};
        b.ShuffleAndLayOut(draws);
        ExpectLayout(b, order);
        EXPECT_EQ(draws.calls, calls) << "draw " << value;
    }
}

// Layouts of two clock seconds, worked out by hand from the shuffle's steps.
TEST(ShuffleAndLayOut, LaysOutTheSecondsOwnShuffle) {
    const std::pair<uint32_t, std::vector<int>> cases[] = {
        {1u, {30, 15, 22, 19, 5,  23, 7,  28, 27, 2, 26, 14, 8, 10, 16, 17,
              31, 1,  20, 6,  18, 25, 12, 0,  11, 3, 24, 21, 4, 9,  29, 13}},
        {1700000000u, {9,  14, 18, 23, 17, 31, 7, 15, 6,  12, 25, 8, 0,  22, 29, 26,
                       28, 4,  13, 11, 10, 19, 5, 24, 30, 21, 16, 3, 27, 20, 1,  2}},
    };
    for (const auto& [second, order] : cases) {
        SCOPED_TRACE(second);
        board::ShuffleRandom random;
        random.SeedForDeal(second);
        TileBoard b;
        b.ShuffleAndLayOut([&] { return random.Draw(); });
        ExpectLayout(b, order);
    }
}

TEST(ShuffleAndLayOut, OverwritesWhateverTheBoardHeld) {
    TileBoard b = boardtest::BoardWithRows({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}, {13}});
    b.halves.fill(6);
    b.counts = {0, 32, 1, 0, 3, 2, 9};
    board::ShuffleRandom random;
    random.SeedForDeal(1234);
    b.ShuffleAndLayOut([&] { return random.Draw(); });

    EXPECT_EQ(b.counts, board::kOpeningCounts);
    for (int r = 0; r < board::kStorageRows; ++r) {
        const int filled = r == board::kStockRow ? 7 : 5;
        for (int h = board::HalfIndex(r, filled); h < board::HalfIndex(r + 1, 0); ++h) {
            EXPECT_EQ(b.halves[static_cast<std::size_t>(h)], 0) << "half " << h;
        }
    }
}

TEST(ShuffleRandom, DrawsBitsSixteenToThirtyOfTheLinearCongruence) {
    board::ShuffleRandom random;
    random.SeedForDeal(1);
    for (int32_t want : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(random.Draw(), want);
    }
    random.SeedForDeal(0);
    for (int32_t want : {38, 7719, 21238, 2437, 8855}) {
        EXPECT_EQ(random.Draw(), want);
    }
    // Bit 31 of the state is set about half the time and must never reach a draw.
    int32_t highest = 0;
    for (int i = 0; i < 10000; ++i) {
        highest = std::max(highest, random.Draw());
    }
    EXPECT_LE(highest, 32767);
    EXPECT_GT(highest, 32000);
}

}  // namespace
