// The lower bounds the search trusts to prove a win shortest: never above the keys a position
// still needs, and the sharp one exactly what its looser game says.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "solver/between_deals.h"
#include "solver/blocked_bound.h"
#include "solver/length_bound.h"
#include "solver/opening.h"
#include "solver/search.h"

namespace {

using solver::Key;
using solver::LengthBound;
using solver::Position;
using solver::RowLengths;

constexpr uint32_t kFirstDeal = 1'700'000'000;

// The positions along a win, from the opening to the empty table.
std::vector<Position> Along(Position p, const std::string& keys) {
    std::vector<Position> positions{p};
    for (const char key : keys) {
        p.Press(static_cast<Key>(key));
        positions.push_back(p);
    }
    return positions;
}

// Along every shortest win of a range of deals, at each position: both bounds at most the
// keys left (a position on a shortest path is that far from the win), falling by at most
// one per key, exact at the end; and the blocked rows the search works out from the
// position before a deal are those of the dealt position. The range holds deals whose
// shortest win a bound one key too high past a deal makes longer (21, 32, 53).
TEST(Bounds, NeverAboveTheKeysLeftAlongShortestWins) {
    solver::Solver search;
    solver::BlockedBound& blocked = solver::Blocked();
    int wins = 0;
    int tight = 0;  // positions where the blocked bound is the keys left
    for (uint32_t second = kFirstDeal; second < kFirstDeal + 120; ++second) {
        const solver::Solution win = search.Solve(solver::Opening(second));
        if (!win.won) {
            continue;
        }
        ++wins;
        const std::vector<Position> path = Along(solver::Opening(second), win.keys);
        ASSERT_TRUE(path.back().Won()) << second;
        int before = 0;  // the bound one key earlier
        for (std::size_t i = 0; i < path.size(); ++i) {
            SCOPED_TRACE(testing::Message() << second << " after " << win.keys.substr(0, i));
            const Position& p = path[i];
            const int left = static_cast<int>(path.size() - 1 - i);
            const int loose = solver::Bound().Keys(p.counts, p.walk);
            const int sharp = blocked.Keys(p);
            ASSERT_LE(loose, sharp);
            ASSERT_LE(sharp, left);
            ASSERT_LE(before, sharp + 1);
            if (left <= 1) {
                ASSERT_EQ(sharp, left);  // the win itself, and one C from it
            }
            EXPECT_EQ(solver::BlockedRowsAfterDeal(p, solver::DealtTiles(p)),
                      solver::BlockedRows(solver::AfterDeal(p)));
            before = sharp;
            tight += sharp == left ? 1 : 0;
        }
    }
    EXPECT_GT(wins, 100);
    EXPECT_GT(tight, 5 * wins);  // several times a win the bound is the keys left: a slip shows
}

// The looser game behind the blocked bound, played the plain way: breadth first over single
// keys, any of them at any time, a free tail of three clearing or staying as the player
// likes and a blocked one staying, until a deal (D with a stock, or the C after the last
// live row); from the dealt shape on, the length bound counts.
int LooserGameUntilADeal(const RowLengths& start, int startWalk, unsigned blocked) {
    const LengthBound& lengths = solver::Bound();
    int best = LengthBound::kNoWin;
    const auto dealAfter = [&](const RowLengths& shape, int keys) {
        const RowLengths dealt = solver::Dealt(shape);
        const int rest = lengths.Keys(dealt, solver::FirstLive(dealt));
        best = rest == LengthBound::kNoWin ? best : std::min(best, keys + rest);
    };
    using Shape = std::pair<RowLengths, int>;
    std::set<Shape> seen{{start, startWalk}};
    std::vector<Shape> level{{start, startWalk}};
    for (int keys = 1; !level.empty() && keys < best; ++keys) {
        std::vector<Shape> next;
        const auto reach = [&](const RowLengths& shape, int walk) {
            if (seen.insert({shape, walk}).second) {
                next.push_back({shape, walk});
            }
        };
        const auto afterCheck = [&](const RowLengths& shape, int walk) {
            const int row = solver::NextLive(shape, walk);
            if (row != solver::kNoRow) {
                reach(shape, row);
            } else if (solver::TableTiles(shape) == 0) {
                best = std::min(best, keys);
            } else {
                dealAfter(shape, keys);
            }
        };
        for (const auto& [shape, walk] : level) {
            reach(shape, solver::FirstLive(shape));  // T, and D with an empty stock
            if (solver::StockOf(shape) > 0) {
                dealAfter(shape, keys);
            }
            afterCheck(shape, walk);
            if (shape[walk] >= 3 && (blocked & 1u << walk) == 0) {
                RowLengths cleared = shape;
                cleared[walk] = static_cast<uint8_t>(cleared[walk] - 3);
                afterCheck(cleared, walk);
            }
        }
        level.swap(next);
    }
    return best;
}

// Random shapes with the walk on a live row and some tails of three or more blocked.
struct BlockedShape {
    RowLengths lengths{};
    int walk = 0;
    unsigned blocked = 0;
};

BlockedShape RandomBlockedShape(std::mt19937& rng) {
    BlockedShape s;
    do {
        int room = board::kTileCount;
        for (uint8_t& n : s.lengths) {
            n = static_cast<uint8_t>(std::min<int>(room, rng() % 9 == 0 ? 0 : rng() % 12));
            room -= n;
        }
        s.blocked = 0;
        for (int r = 0; r < board::kTableRows; ++r) {
            s.blocked |= s.lengths[r] >= 3 && rng() % 2 == 0 ? 1u << r : 0u;
        }
    } while (s.blocked == 0);
    do {
        s.walk = static_cast<int>(rng() % board::kTableRows);
    } while (s.lengths[s.walk] == 0);
    return s;
}

// The sharp bound prunes its search (T and D only where they can help, cut-offs by the
// length bound); the plain one does not, so the two agree only if the pruning loses nothing.
// Along real games and over random shapes, most of whose best routes pass a deal.
TEST(BlockedBound, IsExactlyItsLooserGamePlayedOutKeyByKey) {
    solver::BlockedBound& bound = solver::Blocked();
    std::mt19937 rng(18);
    int throughDeals = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const BlockedShape s = RandomBlockedShape(rng);
        const int plain = LooserGameUntilADeal(s.lengths, s.walk, s.blocked);
        ASSERT_EQ(int{bound.Keys(s.lengths, s.walk, s.blocked)}, plain)
            << "lengths " << testing::PrintToString(s.lengths) << ", walk " << s.walk
            << ", blocked " << s.blocked;
        throughDeals += plain != LengthBound::kNoWin && plain > 2 ? 1 : 0;
    }
    EXPECT_GT(throughDeals, 1000);
    for (uint32_t second = kFirstDeal; second < kFirstDeal + 40; ++second) {
        Position p = solver::Opening(second);
        for (int press = 0; press < 60 && !p.Won(); ++press) {
            p.Press(rng() % 4 == 0 ? Key::Deal : Key::Check);
            const unsigned blocked = solver::BlockedRows(p);
            if (blocked != 0) {
                ASSERT_EQ(int{bound.Keys(p)}, LooserGameUntilADeal(p.counts, p.walk, blocked))
                    << second << " after " << press + 1 << " keys";
            }
        }
    }
}

}  // namespace
