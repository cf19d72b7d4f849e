#include "solver/tile_classes.h"

#include <span>

#include "board/tile_board.h"

namespace solver {

namespace {

constexpr int kPips = 6;

// Classes numbered by (smaller, larger) pip pair in order: 1-1, 1-2, ..., 1-6, 2-2, ..., 6-6.
constexpr std::array<std::array<int, 2>, kTileClassCount> kClassPips = [] {
    std::array<std::array<int, 2>, kTileClassCount> pips{};
    int next = 0;
    for (int low = 1; low <= kPips; ++low) {
        for (int high = low; high <= kPips; ++high) {
            pips[static_cast<std::size_t>(next++)] = {low, high};
        }
    }
    return pips;
}();

constexpr std::array<std::array<TileClass, kPips + 1>, kPips + 1> kClassOfPips = [] {
    std::array<std::array<TileClass, kPips + 1>, kPips + 1> classes{};
    for (int c = 0; c < kTileClassCount; ++c) {
        const auto [low, high] = kClassPips[static_cast<std::size_t>(c)];
        classes[static_cast<std::size_t>(low)][static_cast<std::size_t>(high)] =
            static_cast<TileClass>(c);
        classes[static_cast<std::size_t>(high)][static_cast<std::size_t>(low)] =
            static_cast<TileClass>(c);
    }
    return classes;
}();

}  // namespace

TileClass ClassOf(board::Tile tile) {
    return kClassOfPips[static_cast<std::size_t>(board::PipValue(tile.first))]
                       [static_cast<std::size_t>(board::PipValue(tile.second))];
}

std::array<int, 2> PipsOf(TileClass tileClass) {
    return kClassPips[tileClass];
}

// Built from the board's own test of a tail, so the search can never disagree with the game
// about which tails clear; faces 1 to 6 stand for their pip values.
TailTable::TailTable() {
    for (int a = 0; a < kTileClassCount; ++a) {
        for (int b = 0; b < kTileClassCount; ++b) {
            for (int c = 0; c < kTileClassCount; ++c) {
                std::array<board::FaceCode, 6> halves{};
                const TileClass tail[] = {static_cast<TileClass>(a), static_cast<TileClass>(b),
                                          static_cast<TileClass>(c)};
                for (int t = 0; t < 3; ++t) {
                    const auto pips = PipsOf(tail[t]);
                    halves[static_cast<std::size_t>(2 * t)] = static_cast<board::FaceCode>(pips[0]);
                    halves[static_cast<std::size_t>(2 * t + 1)] =
                        static_cast<board::FaceCode>(pips[1]);
                }
                clears_[static_cast<std::size_t>((a * kTileClassCount + b) * kTileClassCount + c)] =
                    board::TailQualifies(std::span<const board::FaceCode, 6>(halves));
            }
        }
    }
}

const TailTable kTailTable;

}  // namespace solver
