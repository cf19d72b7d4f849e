#pragma once

#include <cstdint>

#include "solver/blocked_bound.h"
#include "solver/length_bound.h"
#include "solver/position.h"

namespace solver {

// A lower bound sharper than BlockedBound, carried one deal further. Until the next deal every
// row holds a prefix of what it holds now, so its row lengths say exactly which tails clear:
// that stretch is played as the real game. The next deal's tiles come from the stock's front,
// known wherever the stock as it is now reaches them; a row given a known tile whose new tail
// cannot clear stays blocked through the stretch after that deal, as does a row the deal
// misses whose tail cannot clear. BlockedBound counts from the dealt position on. Never above
// the real keys, and at least BlockedBound (docs/solver.md, section 5).
class NextDealBound {
  public:
    NextDealBound(const LengthBound& lengths, BlockedBound& blocked)
        : lengths_(lengths), blocked_(blocked) {}

    // kNoWin when no play wins. With `cap`, at most that: the search stops at what reaches it.
    uint8_t Keys(const Position& position, int cap = LengthBound::kNoWin) const;

  private:
    const LengthBound& lengths_;
    BlockedBound& blocked_;
};

NextDealBound& NextDeal();

}  // namespace solver
