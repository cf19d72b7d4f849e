#include "solver/blocked_bound.h"

#include <algorithm>
#include <cassert>

namespace solver {

namespace {

constexpr int kRows = board::kTableRows;
using Counts = RowLengths;

// Branch and bound over the keys up to the next deal. Between deals only C and T matter,
// and T (or D) is worth pressing only at the start or straight after a C that cleared:
// anywhere else an earlier press reaches the same position in fewer keys.
class UntilDeal {
  public:
    UntilDeal(const LengthBound& lengths, int best) : lengths_(lengths), best_(best) {}

    int best() const { return best_; }

    void From(const Counts& counts, int walk, unsigned blocked, int keys, bool fresh) {
        const int lower = lengths_.Keys(counts, walk);
        if (lower == LengthBound::kNoWin || keys + lower >= best_) {
            return;
        }
        if (fresh) {
            if (StockOf(counts) > 0) {
                AfterDeal(counts, keys + 1);
            }
            if (walk != FirstLive(counts)) {
                From(counts, FirstLive(counts), blocked, keys + 1, false);
            }
        }
        const unsigned bit = 1u << walk;
        if (counts[walk] >= 3 && (blocked & bit) == 0) {
            Counts cleared = counts;
            cleared[walk] = static_cast<uint8_t>(cleared[walk] - 3);
            AfterCheck(cleared, walk, blocked, keys + 1, true);
        }
        AfterCheck(counts, walk, blocked, keys + 1, false);
    }

  private:
    void AfterCheck(const Counts& counts, int walk, unsigned blocked, int keys, bool cleared) {
        const int next = NextLive(counts, walk);
        if (next != kNoRow) {
            From(counts, next, blocked, keys, cleared);
        } else if (TableTiles(counts) == 0) {
            best_ = std::min(best_, keys);
        } else {
            AfterDeal(counts, keys);
        }
    }

    void AfterDeal(const Counts& counts, int keys) {
        const Counts dealt = Dealt(counts);
        const int rest = lengths_.Keys(dealt, FirstLive(dealt));
        if (rest != LengthBound::kNoWin) {
            best_ = std::min(best_, keys + rest);
        }
    }

    const LengthBound& lengths_;
    int best_;
};

uint64_t CacheKey(const Counts& counts, int walk, unsigned blocked) {
    uint64_t key = 0;
    for (const uint8_t c : counts) {
        key = key << 6 | c;
    }
    return (key << 3 | static_cast<uint64_t>(walk)) << 5 | blocked;
}

}  // namespace

unsigned BlockedRows(const Position& position) {
    unsigned blocked = 0;
    for (int r = 0; r < kRows; ++r) {
        const int n = position.counts[r];
        const auto& row = position.rows[r];
        if (n >= 3 && !Tails().Clears(row[n - 3], row[n - 2], row[n - 1])) {
            blocked |= 1u << r;
        }
    }
    return blocked;
}

unsigned BlockedRowsAfterDeal(const Position& before, const DealtRows& dealt) {
    unsigned blocked = 0;
    for (int r = 0; r < kRows; ++r) {
        const int n = before.counts[r];
        const auto& row = before.rows[r];
        const bool stays = dealt[r] == kNoTile
                               ? n >= 3 && !Tails().Clears(row[n - 3], row[n - 2], row[n - 1])
                               : n >= 2 && !Tails().Clears(row[n - 2], row[n - 1],
                                                           static_cast<TileClass>(dealt[r]));
        blocked |= stays ? 1u << r : 0u;
    }
    return blocked;
}

BlockedBound::BlockedBound(const LengthBound& lengths)
    : lengths_(lengths), cache_(std::make_unique<std::atomic<uint64_t>[]>(1u << kCacheBits)) {}

uint8_t BlockedBound::Keys(const Position& position) {
    return Keys(position.counts, position.walk, BlockedRows(position));
}

uint8_t BlockedBound::Keys(const Counts& counts, int walk, unsigned blocked) {
    if (blocked == 0) {
        return lengths_.Keys(counts, walk);
    }
    const uint64_t key = CacheKey(counts, walk, blocked);
    const uint64_t hash = (key * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits);
    std::atomic<uint64_t>& entry = cache_[hash];
    const uint64_t seen = entry.load(std::memory_order_relaxed);
    if ((seen >> 8) == key) {
        return static_cast<uint8_t>(seen & 0xFF);
    }
    const uint8_t keys = Search(counts, walk, blocked);
    entry.store(key << 8 | keys, std::memory_order_relaxed);
    return keys;
}

uint8_t BlockedBound::Search(const Counts& counts, int walk, unsigned blocked) const {
    assert(blocked != 0);  // with nothing blocked the length bound is the answer (Keys)
    UntilDeal search(lengths_, LengthBound::kNoWin);
    search.From(counts, walk, blocked, 0, true);
    return static_cast<uint8_t>(std::min(search.best(), static_cast<int>(LengthBound::kNoWin)));
}

BlockedBound& Blocked() {
    static BlockedBound bound(Bound());
    return bound;
}

}  // namespace solver
