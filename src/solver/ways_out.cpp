#include "solver/ways_out.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "solver/tile_classes.h"

namespace solver {

namespace {

// Live rows by their bits, without a popcount instruction the baseline processor lacks.
constexpr auto kLiveCount = [] {
    std::array<int, 1 << board::kTableRows> counts{};
    for (unsigned live = 0; live < counts.size(); ++live) {
        counts[live] = std::popcount(live);
    }
    return counts;
}();

}  // namespace

void WaysOut::Collect(const Position& start, std::vector<Way>& ways) {
    start_ = &start;
    ways_ = &ways;
    ways.clear();
    live_ = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        const int n = start.counts[r];
        const auto& row = start.rows[r];
        counts_[r] = static_cast<uint8_t>(n);
        live_ |= n != 0 ? 1u << r : 0u;
        uint8_t tails = 0;
        for (int m = n; m >= 3 && Tails().Clears(row[m - 3], row[m - 2], row[m - 1]); m -= 3) {
            ++tails;
        }
        clearable_[r] = tails;
    }
    walk_ = start.walk;
    stockCount_ = start.stockCount;
    stock_ = start.stock;
    From(0, true, false);
}

// As WaysToDeal::From: T and D only when fresh, the deal after the last live row only if
// something cleared since D was offered.
void WaysOut::From(int keys, bool fresh, bool dealOffered) {
    if (fresh) {
        dealOffered = stockCount_ != 0;
        if (dealOffered) {
            Emit(keys + 1);
        }
        const int first = FirstLive();
        if (walk_ != first) {
            const uint8_t walk = walk_;
            walk_ = static_cast<uint8_t>(first);
            From(keys + 1, false, dealOffered);
            walk_ = walk;
        }
    }
    const int row = walk_;
    const bool cleared = clearable_[row] != 0;
    const int n = counts_[row];
    if (cleared) {
        std::memcpy(stock_.data() + stockCount_, start_->rows[row].data() + n - 3, 3);
        stockCount_ = static_cast<uint8_t>(stockCount_ + 3);
        counts_[row] = static_cast<uint8_t>(n - 3);
        --clearable_[row];
        live_ &= n == 3 ? ~(1u << row) : ~0u;
    }
    const int next = NextLive(row);
    if (next == kNoRow) {
        if (cleared || !dealOffered) {
            Emit(keys + 1);
        }
    } else {
        walk_ = static_cast<uint8_t>(next);
        From(keys + 1, cleared, dealOffered);
        walk_ = static_cast<uint8_t>(row);
    }
    if (cleared) {
        stockCount_ = static_cast<uint8_t>(stockCount_ - 3);
        counts_[row] = static_cast<uint8_t>(n);
        ++clearable_[row];
        live_ |= 1u << row;
    }
}

// The deal gives the first live rows one tile each from the stock's front, the first row
// the last of those; packed as PackAfterDeal packs it.
void WaysOut::Emit(int keys) {
    Way& way = ways_->emplace_back();
    const int dealt = std::min(kLiveCount[live_], static_cast<int>(stockCount_));
    detail::SymbolBuffer symbols;
    int at = 0;
    int given = 0;
    unsigned blocked = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        const int n = counts_[r];
        const auto& row = start_->rows[r];
        std::memcpy(symbols.data() + at, row.data(), board::kPositionsPerRow);
        at += n;
        if (n != 0 && given < dealt) {
            const TileClass tile = stock_[static_cast<std::size_t>(dealt - 1 - given++)];
            symbols[static_cast<std::size_t>(at++)] = tile;
            way.lengths[r] = static_cast<uint8_t>(n + 1);
            // Without a branch, as whether a dealt tail clears follows no pattern; a row of
            // one tile looks up its own tile twice and is not blocked anyway.
            const TileClass second = row[n >= 2 ? n - 2 : n - 1];
            const bool stays = (n >= 2) & !Tails().Clears(second, row[n - 1], tile);
            blocked |= static_cast<unsigned>(stays) << r;
        } else {
            way.lengths[r] = static_cast<uint8_t>(n);
            const bool stays = (n >= 3) & (clearable_[r] == 0);
            blocked |= static_cast<unsigned>(stays) << r;
        }
        symbols[static_cast<std::size_t>(at++)] = detail::kRowEnd;
    }
    std::memcpy(symbols.data() + at, stock_.data() + given, board::kTileCount);
    way.walk = static_cast<uint8_t>(FirstLive());
    way.packed = detail::PackSymbols(symbols, way.walk);
    way.hash = Hash(way.packed);
    way.blocked = static_cast<uint8_t>(blocked);
    way.keys = static_cast<uint8_t>(keys);
    way.won = live_ == 0;
}

}  // namespace solver
