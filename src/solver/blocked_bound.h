#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "solver/length_bound.h"
#include "solver/position.h"

namespace solver {

// A sharper lower bound than LengthBound: it also knows which rows' tails cannot clear now.
// Such a row keeps its tail until a deal reaches it, so until the next deal the looser game
// may clear it no more than the real one; after that deal every row is free again and the
// length bound takes over. Still never above the real number of keys, and still falling by
// at most one per key (docs/solver.md, sections 4 and 5).
class BlockedBound {
  public:
    explicit BlockedBound(const LengthBound& lengths);

    uint8_t Keys(const Position& position);
    // `blocked`: one bit per row whose tail cannot clear before a deal reaches it.
    uint8_t Keys(const std::array<uint8_t, board::kTableRows>& counts, int walk, unsigned blocked);

  private:
    uint8_t Search(const std::array<uint8_t, board::kTableRows>& counts, int walk,
                   unsigned blocked) const;

    const LengthBound& lengths_;
    // Results by position shape, shared by every search and thread. A lost entry is only
    // computed again, so plain atomic words suffice.
    static constexpr int kCacheBits = 16;
    std::unique_ptr<std::atomic<uint64_t>[]> cache_;
};

// Bit r set when table row r holds three or more tiles and its tail does not clear.
unsigned BlockedRows(const Position& position);
// The same for the position a deal from `before` leads to.
unsigned BlockedRowsAfterDeal(const Position& before, const DealtRows& dealt);

BlockedBound& Blocked();

}  // namespace solver
