#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "solver/row_lengths.h"

namespace solver {

// A lower bound on the keys a position still needs, from its row lengths and the walk alone:
// the exact number of keys in a looser game where any tail of three or more tiles may clear
// or stay, as the player likes. Every real game is a play of the looser one, so the bound
// never overestimates, and it falls by at most one per key (the search relies on both).
class LengthBound {
  public:
    LengthBound();

    static constexpr uint8_t kNoWin = 255;

    // kNoWin when not even the looser game can empty the table. The walk names a live row,
    // or row 0 of the empty table.
    uint8_t Keys(const RowLengths& lengths, int walk) const { return keys_[Index(lengths, walk)]; }

    // Every combination of five row lengths that adds up to at most 32.
    static constexpr int kCombinations = 435897;

    // One key of the looser game: C clearing or keeping the tail, D, T. Calls
    // visit(lengths, walk) for each.
    template <typename Visit>
    static void ForEachNext(const RowLengths& lengths, int walk, Visit&& visit);

    static std::size_t Index(const RowLengths& lengths, int walk);

  private:
    std::vector<uint8_t> keys_;
};

namespace detail {

// kRankOffset[r][tiles][n]: how many combinations rank before length n at row r, when the
// rows before r hold `tiles` tiles. Ranks are in lexicographic order of the five lengths.
using RankOffsets =
    std::array<std::array<std::array<uint32_t, board::kTileCount + 1>, board::kTileCount + 1>,
               board::kTableRows>;
extern const RankOffsets kRankOffset;

}  // namespace detail

// Inline: the sharp bound's search looks lengths up several times for every position.
inline std::size_t LengthBound::Index(const RowLengths& lengths, int walk) {
    const auto& offset = detail::kRankOffset;
    const unsigned a = lengths[0];
    const unsigned b = a + lengths[1];
    const unsigned c = b + lengths[2];
    const unsigned d = c + lengths[3];
    const uint32_t rank = offset[0][0][a] + offset[1][a][lengths[1]] + offset[2][b][lengths[2]] +
                          offset[3][c][lengths[3]] + offset[4][d][lengths[4]];
    return static_cast<std::size_t>(rank) * board::kTableRows + static_cast<std::size_t>(walk);
}

template <typename Visit>
void LengthBound::ForEachNext(const RowLengths& lengths, int walk, Visit&& visit) {
    const auto afterCheck = [&](const RowLengths& checked) {
        const int row = NextLive(checked, walk);
        if (row != kNoRow) {
            visit(checked, row);
        } else {
            visit(Dealt(checked), FirstLive(checked));
        }
    };
    afterCheck(lengths);
    if (lengths[walk] >= 3) {
        RowLengths cleared = lengths;
        cleared[walk] = static_cast<uint8_t>(cleared[walk] - 3);
        afterCheck(cleared);
    }
    visit(Dealt(lengths), FirstLive(lengths));
    visit(lengths, FirstLive(lengths));
}

// Built once, on first use; shared by every search.
const LengthBound& Bound();

}  // namespace solver
