#include <gtest/gtest.h>

#include <algorithm>

#include "solver/between_deals.h"
#include "solver/blocked_bound.h"
#include "solver/length_bound.h"
#include "solver/opening.h"

namespace {

using solver::LengthBound;
using solver::RowLengths;

// The table was filled backwards; forwards, every shape must be exactly one key more than its
// best next shape, and the empty table none. That is what makes it the looser game's exact
// distance: a lower bound for the real game that falls by at most one per key.
TEST(LengthBound, EveryShapeIsOneKeyMoreThanItsBestNext) {
    const LengthBound& bound = solver::Bound();
    EXPECT_EQ(bound.Keys(RowLengths{}, 0), 0);
    long shapes = 0;
    int farthest = 0;
    RowLengths l{};
    for (l[0] = 0; l[0] <= 32; ++l[0]) {
        for (l[1] = 0; l[0] + l[1] <= 32; ++l[1]) {
            for (l[2] = 0; l[0] + l[1] + l[2] <= 32; ++l[2]) {
                for (l[3] = 0; l[0] + l[1] + l[2] + l[3] <= 32; ++l[3]) {
                    for (l[4] = 0; solver::TableTiles(l) <= 32; ++l[4]) {
                        for (int walk = 0; walk < board::kTableRows; ++walk) {
                            if (l[walk] == 0) {
                                continue;
                            }
                            int best = LengthBound::kNoWin;
                            LengthBound::ForEachNext(l, walk, [&](const RowLengths& n, int w) {
                                best = std::min<int>(best, bound.Keys(n, w));
                            });
                            const int keys = bound.Keys(l, walk);
                            // A value everywhere: kNoWin would also satisfy the equation on
                            // a closed set of shapes, so it must not occur at all.
                            ASSERT_NE(keys, LengthBound::kNoWin);
                            ASSERT_EQ(keys, best + 1);
                            farthest =
                                keys == LengthBound::kNoWin ? farthest : std::max(farthest, keys);
                            ++shapes;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(shapes, 5 * 376'992);  // five walks for each set of lengths with row 0 live
    EXPECT_GT(farthest, 20);
    // The sharp bound adds at most the keys to the next deal: it must stay below kNoWin too.
    EXPECT_LT(farthest + solver::detail::kMaxKeysBetweenDeals, LengthBound::kNoWin);
}

// An opening's bound: two clears a row, the deal between given by the walk past the last row.
TEST(LengthBound, OpeningNeedsTenKeysAtLeast) {
    EXPECT_EQ(solver::Bound().Keys(RowLengths{5, 5, 5, 5, 5}, 0), 10);
    const solver::Position opening = solver::Opening(1'700'000'000);
    EXPECT_GE(solver::Blocked().Keys(opening), 10);
}

}  // namespace
