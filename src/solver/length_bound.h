#pragma once

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

    // One key of the looser game: C clearing or keeping the tail, D, T.
    struct Shape {
        RowLengths lengths;
        int walk;
    };
    static std::vector<Shape> Next(const Shape& from);

    static std::size_t Index(const RowLengths& lengths, int walk);

  private:
    std::vector<uint8_t> keys_;
};

// Built once, on first use; shared by every search.
const LengthBound& Bound();

}  // namespace solver
