#include "solver/length_bound.h"

namespace solver {

namespace {

constexpr int kRows = board::kTableRows;
constexpr int kTiles = board::kTileCount;

// Ways for k rows to hold at most `room` tiles: within[k][room].
constexpr std::array<std::array<uint32_t, kTiles + 1>, kRows + 1> MakeWithin() {
    std::array<std::array<uint32_t, kTiles + 1>, kRows + 1> within{};
    for (int room = 0; room <= kTiles; ++room) {
        within[0][room] = 1;
    }
    for (int k = 1; k <= kRows; ++k) {
        for (int room = 0; room <= kTiles; ++room) {
            within[k][room] = within[k - 1][room] + (room > 0 ? within[k][room - 1] : 0);
        }
    }
    return within;
}

int LastLive(const RowLengths& lengths) {
    for (int r = kRows - 1; r >= 0; --r) {
        if (lengths[r] != 0) {
            return r;
        }
    }
    return -1;
}

// Every set of lengths that a deal turns into `after`. The deal reaches the first k live rows;
// k is the number of live rows unless the stock ran out, which leaves it empty.
template <typename Visit>
void ForEachBeforeDeal(const RowLengths& after, Visit&& visit) {
    const int live = LiveCount(after);
    const bool stockEmpty = StockOf(after) == 0;
    RowLengths before = after;
    if (stockEmpty || live == 0) {
        visit(before);  // k = 0
    }
    for (int r = 0, k = 0; r < kRows; ++r) {
        if (after[r] == 0) {
            continue;
        }
        if (after[r] < 2) {
            return;  // this row had no tile before the deal, so it was not live
        }
        --before[r];
        ++k;
        if (stockEmpty || k == live) {
            visit(before);
        }
    }
}

// Every shape one key of the looser game before `to`; the search runs these backwards from
// the empty table.
template <typename Visit>
void ForEachBefore(const RowLengths& to, int walk, Visit&& visit) {
    const bool empty = TableTiles(to) == 0;
    const auto withClear = [](RowLengths lengths, int row) {
        lengths[row] = static_cast<uint8_t>(lengths[row] + 3);
        return lengths;
    };
    const bool room = StockOf(to) >= 3;
    if (!empty) {
        // C with nothing cleared, from the live row before `walk`.
        for (int r = walk - 1; r >= 0; --r) {
            if (to[r] != 0) {
                visit(to, r);
                break;
            }
        }
        // C that cleared a row before `walk`: the rows between stay empty.
        for (int r = walk - 1; r >= 0 && room; --r) {
            visit(withClear(to, r), r);
            if (to[r] != 0) {
                break;
            }
        }
    }
    if (walk != FirstLive(to)) {
        return;  // T, D and the deal after the last live row all send the walk back to the start
    }
    if (!empty) {
        // T from anywhere else.
        for (int r = 0; r < kRows; ++r) {
            if (to[r] != 0 && r != walk) {
                visit(to, r);
            }
        }
    }
    ForEachBeforeDeal(to, [&](const RowLengths& before) {
        // D from any live row (the C on the last live row that kept its tail is among them).
        for (int r = 0; r < kRows; ++r) {
            if (before[r] != 0) {
                visit(before, r);
            }
        }
        // C on the last live row that cleared it, possibly emptying it.
        if (StockOf(before) >= 3) {
            for (int r = std::max(LastLive(before), 0); r < kRows; ++r) {
                visit(withClear(before, r), r);
            }
        }
    });
}

}  // namespace

namespace detail {

constexpr RankOffsets kRankOffset = [] {
    const auto within = MakeWithin();
    RankOffsets offsets{};
    for (int r = 0; r < kRows; ++r) {
        for (int before = 0; before <= kTiles; ++before) {
            const int room = kTiles - before;
            for (int n = 1; n <= room; ++n) {
                offsets[r][before][n] =
                    offsets[r][before][n - 1] + within[kRows - 1 - r][room - n + 1];
            }
        }
    }
    return offsets;
}();

}  // namespace detail

// Breadth first from the empty table over the keys played backwards.
LengthBound::LengthBound() : keys_(static_cast<std::size_t>(kCombinations) * kRows, kNoWin) {
    struct Queued {
        RowLengths lengths;
        uint8_t walk;
    };
    std::vector<Queued> frontier{{RowLengths{}, 0}};
    std::vector<Queued> next;
    keys_[Index(RowLengths{}, 0)] = 0;
    for (uint8_t distance = 1; !frontier.empty(); ++distance) {
        next.clear();
        for (const Queued& shape : frontier) {
            ForEachBefore(shape.lengths, shape.walk, [&](const RowLengths& before, int walk) {
                uint8_t& keys = keys_[Index(before, walk)];
                if (keys == kNoWin) {
                    keys = distance;
                    next.push_back({before, static_cast<uint8_t>(walk)});
                }
            });
        }
        frontier.swap(next);
    }
}

const LengthBound& Bound() {
    static const LengthBound bound;
    return bound;
}

}  // namespace solver
