#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "solver/position.h"
#include "solver/row_lengths.h"

namespace solver {

// A way to the next deal as the search scores it: where it leads, with what the node there
// needs, and how many keys it takes.
struct Way {
    PackedPosition packed;
    uint64_t hash;
    RowLengths lengths;
    uint8_t walk;
    uint8_t blocked;  // rows of the dealt position whose tails cannot clear before a deal
    uint8_t keys;
    bool won;
};

// The ways of ForEachWayToDeal, in its order, worked out for the search. Between deals the
// rows only lose tails, so each row's state is how many tails it has lost, against how many
// it can lose in a row: the tiles never move but to the stock.
class WaysOut {
  public:
    // Replaces `ways` with the ways out of `start`.
    void Collect(const Position& start, std::vector<Way>& ways);

  private:
    void From(int keys, bool fresh, bool dealOffered);
    void Emit(int keys);
    int FirstLive() const { return live_ != 0 ? __builtin_ctz(live_) : 0; }
    // The first live row after `row`, or kNoRow.
    int NextLive(int row) const {
        const unsigned later = live_ & (~0u << (row + 1));
        return later != 0 ? __builtin_ctz(later) : kNoRow;
    }

    const Position* start_ = nullptr;
    std::vector<Way>* ways_ = nullptr;
    RowLengths counts_{};
    std::array<uint8_t, board::kTableRows> clearable_{};  // tails each row can still lose
    unsigned live_ = 0;                                   // a bit for each row holding tiles
    uint8_t walk_ = 0;
    uint8_t stockCount_ = 0;
    std::array<TileClass, 2 * board::kTileCount> stock_{};  // room for a whole-row copy
};

}  // namespace solver
