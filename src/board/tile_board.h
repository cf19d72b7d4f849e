#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "board/face_code.h"

namespace board {

inline constexpr int kTableRows = 5;
inline constexpr int kStockRow = 5;
inline constexpr int kStorageRows = 6;
inline constexpr int kPositionsPerRow = 32;
inline constexpr int kHalvesPerRow = 2 * kPositionsPerRow;
inline constexpr int kHalfCount = kStorageRows * kHalvesPerRow;
inline constexpr int kStockFirstHalf = kStockRow * kHalvesPerRow;

// TileBoard::counts holds the five table rows' counts at their row numbers, then these two.
inline constexpr int kStockCountIndex = 5;
inline constexpr int kLiveRowsIndex = 6;
inline constexpr int kCountEntries = 7;

inline constexpr std::array<int16_t, kCountEntries> kOpeningCounts = {5, 5, 5, 5, 5, 7, 5};

inline constexpr int kOpeningRowLength = 5;
inline constexpr int kShuffleSteps = 16001;

// The working list of a shuffle: tile i has its halves at 2i and 2i + 1.
using WorkingList = std::array<FaceCode, 2 * kTileCount>;

// Index of the first half of the tile at a storage row's position.
constexpr int HalfIndex(int row, int position) {
    return row * kHalvesPerRow + 2 * position;
}

// The first table row after `row` that holds tiles, or kTableRows when none does; from row -1
// on, the first live row. `counts` starts with the five table rows' counts: the board's own,
// or a copy of them.
template <typename Counts>
constexpr int NextLiveRow(const Counts& counts, int row) {
    int next = std::max(row + 1, 0);
    while (next < kTableRows && counts[static_cast<std::size_t>(next)] == 0) {
        ++next;
    }
    return next;
}

// The board storage: five table rows and the stock, each 32 tile positions packed from 0,
// with the counts that say how far each is filled. The only record of where tiles lie.
class TileBoard {
  public:
    std::array<FaceCode, kHalfCount> halves{};  // all empty until the first layout
    std::array<int16_t, kCountEntries> counts = kOpeningCounts;

    int16_t& stockCount() { return counts[kStockCountIndex]; }
    int16_t stockCount() const { return counts[kStockCountIndex]; }
    int16_t& liveRows() { return counts[kLiveRowsIndex]; }
    int16_t liveRows() const { return counts[kLiveRowsIndex]; }
    Tile TileAt(int row, int position) const {
        const int h = HalfIndex(row, position);
        return {halves[static_cast<std::size_t>(h)], halves[static_cast<std::size_t>(h) + 1]};
    }

    void ResetCounts() { counts = kOpeningCounts; }

    // Shuffles the tile set with draws of 0 to 32767 from `draw`, then lays it out.
    template <typename DrawFn>
    void ShuffleAndLayOut(DrawFn&& draw) {
        LayOut(Shuffle(draw));
    }

    template <typename DrawFn>
    static WorkingList Shuffle(DrawFn&& draw);

    // Five rows of five from working tiles 0 to 24, the stock from 25 to 31, the rest cleared.
    void LayOut(const WorkingList& working);

    // Moves currentRow forward past empty table rows (to 5 when none is left) and checks
    // the tail of the row it lands on.
    void CheckCurrentRow(int32_t& currentRow);

    // Sends the row's last three tiles to the stock when their six halves qualify.
    void CheckRowTail(int32_t row);

    // Appends the halves [firstHalf, endHalf) of a table row to the stock and empties them.
    void MoveToStock(int32_t row, int32_t firstHalf, int32_t endHalf);

    // One stock tile onto the end of each live row, as far as the stock reaches.
    void DealFromStock();
};

// Whether six halves clear: two values three times each, or one value three or more
// times with the other three halves worth at least 9 pips.
bool TailQualifies(std::span<const FaceCode, 6> tail);

template <typename DrawFn>
WorkingList TileBoard::Shuffle(DrawFn&& draw) {
    // Each tile packed in one word, and the exchange done with a mask: the bits are random,
    // so a branch on them would mispredict half the time.
    std::array<uint32_t, kTileCount> tiles;
    for (int i = 0; i < kTileCount; ++i) {
        tiles[i] = static_cast<uint16_t>(TileSet[i].first) |
                   static_cast<uint32_t>(static_cast<uint16_t>(TileSet[i].second)) << 16;
    }
    int32_t reservoir = 0;
    int k = 0;
    uint32_t atK = tiles[0];  // the tile at position k, kept out of memory between steps
    for (int step = 0; step < kShuffleSteps; ++step) {
        if (reservoir < 1) {
            reservoir = draw();
        }
        const int partner = (k + 1) % kTileCount;
        const uint32_t exchange = 0u - static_cast<uint32_t>(reservoir & 1);
        const uint32_t atPartner = tiles[partner];
        const uint32_t diff = (atK ^ atPartner) & exchange;
        tiles[k] = atK ^ diff;
        atK = atPartner ^ diff;
        k = partner;
        reservoir /= 2;
    }
    tiles[k] = atK;
    WorkingList working;
    for (int i = 0; i < kTileCount; ++i) {
        working[2 * i] = static_cast<FaceCode>(tiles[i] & 0xFFFFu);
        working[2 * i + 1] = static_cast<FaceCode>(tiles[i] >> 16);
    }
    return working;
}

}  // namespace board
