#include "solver/next_deal_bound.h"

#include <algorithm>

namespace solver {

namespace {

constexpr int kRows = board::kTableRows;

// Branch and bound over the real keys up to the next deal, on row lengths alone: a row's
// content is the prefix of its length. As the ways to a deal, T and D only at the start or
// straight after a clear; cut wherever keys so far plus the length bound reach the best.
class ExactUntilDeal {
  public:
    ExactUntilDeal(const Position& start, const LengthBound& lengths, BlockedBound& blocked,
                   int best)
        : start_(start), lengths_(lengths), blocked_(blocked), best_(best) {}

    int best() const { return best_; }

    void From(const RowLengths& counts, int walk, int keys, bool fresh) {
        const int lower = lengths_.Keys(counts, walk);
        if (lower == LengthBound::kNoWin || keys + lower >= best_) {
            return;
        }
        if (fresh) {
            if (StockOf(counts) > 0) {
                AfterDeal(counts, keys + 1);
            }
            const int first = FirstLive(counts);
            if (walk != first) {
                From(counts, first, keys + 1, false);
            }
        }
        const int n = counts[walk];
        if (Clears(walk, n)) {
            RowLengths cleared = counts;
            cleared[walk] = static_cast<uint8_t>(n - 3);
            AfterCheck(cleared, walk, keys + 1, true);
        } else {
            AfterCheck(counts, walk, keys + 1, false);
        }
    }

  private:
    // Whether row r's tail clears when it holds its first n tiles.
    bool Clears(int r, int n) const {
        const auto& row = start_.rows[r];
        return n >= 3 && Tails().Clears(row[n - 3], row[n - 2], row[n - 1]);
    }

    void AfterCheck(const RowLengths& counts, int walk, int keys, bool cleared) {
        const int next = NextLive(counts, walk);
        if (next != kNoRow) {
            From(counts, next, keys, cleared);
        } else if (TableTiles(counts) == 0) {
            best_ = std::min(best_, keys);
        } else {
            AfterDeal(counts, keys);
        }
    }

    // The deal gives the live row at place j of the first m the m-1-j-th stock tile: one of
    // the stock as it was at the start when that is below its count, else a cleared tile.
    void AfterDeal(const RowLengths& counts, int keys) {
        const RowLengths dealt = Dealt(counts);
        const int walk = FirstLive(dealt);
        const int rest = lengths_.Keys(dealt, walk);
        if (rest == LengthBound::kNoWin || keys + rest >= best_) {
            return;
        }
        const int m = std::min(LiveCount(counts), StockOf(counts));
        unsigned blocked = 0;
        for (int r = 0, given = 0; r < kRows; ++r) {
            const int n = counts[r];
            if (n == 0) {
                continue;
            }
            const auto& row = start_.rows[r];
            if (given < m) {
                const int from = m - 1 - given++;
                if (from < start_.stockCount && n >= 2 &&
                    !Tails().Clears(row[n - 2], row[n - 1], start_.stock[from])) {
                    blocked |= 1u << r;
                }
            } else if (n >= 3 && !Clears(r, n)) {
                blocked |= 1u << r;
            }
        }
        best_ = std::min(best_, keys + blocked_.Keys(dealt, walk, blocked));
    }

    const Position& start_;
    const LengthBound& lengths_;
    BlockedBound& blocked_;
    int best_;
};

}  // namespace

uint8_t NextDealBound::Keys(const Position& position, int cap) const {
    if (position.Won()) {
        return 0;
    }
    ExactUntilDeal search(position, lengths_, blocked_, cap);
    search.From(position.counts, position.walk, 0, true);
    return static_cast<uint8_t>(std::min(search.best(), static_cast<int>(LengthBound::kNoWin)));
}

NextDealBound& NextDeal() {
    static NextDealBound bound(Bound(), Blocked());
    return bound;
}

}  // namespace solver
