#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "board/tile_board.h"
#include "solver/tile_classes.h"

namespace solver {

// The keys that matter once a deal is on the table.
enum class Key : char { Check = 'C', Deal = 'D', Rules = 'T' };

// A position as the rules see it: the five table rows and the stock as tile classes, and the
// row the next C checks. That row is always a live one (or 0 once the table is empty): the
// game's currentRow may name an empty row 0, but the check skips it the same way.
struct Position {
    std::array<std::array<TileClass, board::kPositionsPerRow>, board::kTableRows> rows{};
    std::array<uint8_t, board::kTableRows> counts{};
    std::array<TileClass, 2 * board::kTileCount> stock{};  // room for whole-row copies
    uint8_t stockCount = 0;
    uint8_t walk = 0;

    // From a laid-out board at rest; currentRow is the game's (0, or a live row).
    static Position FromBoard(const board::TileBoard& board, int32_t currentRow);

    bool Won() const { return (counts[0] | counts[1] | counts[2] | counts[3] | counts[4]) == 0; }
    int FirstLiveRow() const;
    // The first live row after `row`, or 5.
    int NextLiveRow(int row) const;
    int LiveRows() const;

    // What the game does for each key, walk included.
    void Press(Key key);
    void Check();
    // The row check alone, without moving the walk: whether the tail cleared.
    bool CheckTail();
    // Puts back the tail the last CheckTail moved from this row to the stock.
    void UndoClear(int row) {
        counts[row] = static_cast<uint8_t>(counts[row] + 3);
        stockCount = static_cast<uint8_t>(stockCount - 3);
    }
    void Deal();
    void Restart() { walk = static_cast<uint8_t>(FirstLiveRow()); }

  private:
    void DealFromStock();
};

// A position in 24 bytes: each row's classes in 5 bits, a row ending in an end mark, then the
// stock (its length is what the rows leave of 32), and the walk in the top bits.
struct PackedPosition {
    std::array<uint64_t, 3> words{};
    friend bool operator==(const PackedPosition&, const PackedPosition&) = default;
};

PackedPosition Pack(const Position& position);
Position Unpack(const PackedPosition& packed);

namespace detail {

inline constexpr uint8_t kRowEnd = 31;                                        // no class is 31
inline constexpr int kPackedSymbols = board::kTileCount + board::kTableRows;  // 37

// The symbols of a packed position one a byte: each row's classes and its end mark, then the
// stock. Room behind them for whole-row copies, each written over by the next.
using SymbolBuffer = std::array<uint8_t, kPackedSymbols + board::kPositionsPerRow + 8>;

inline constexpr int kWalkShift = 61;  // above the 37 five-bit symbols (185 bits)

// Eight symbols of 5 bits, one per byte, into the low 40 bits.
inline uint64_t Squeeze(uint64_t bytes) {
    bytes = (bytes & 0x001F001F001F001Full) | ((bytes & 0x1F001F001F001F00ull) >> 3);
    bytes = (bytes & 0x000003FF000003FFull) | ((bytes & 0x03FF000003FF0000ull) >> 6);
    return (bytes & 0xFFFFFull) | ((bytes >> 12) & 0xFFFFF00000ull);
}

// The packed form of laid-out symbols (what lies past the 37th is cleared), eight at a time;
// inline, as every way the search scores is packed.
inline PackedPosition PackSymbols(SymbolBuffer& symbols, int walk) {
    std::memset(symbols.data() + kPackedSymbols, 0, 8);
    uint64_t chunks[5];
    for (int i = 0; i < 5; ++i) {
        uint64_t bytes;
        std::memcpy(&bytes, symbols.data() + 8 * i, sizeof bytes);
        chunks[i] = Squeeze(bytes);
    }
    PackedPosition packed;
    packed.words[0] = chunks[0] | chunks[1] << 40;
    packed.words[1] = chunks[1] >> 24 | chunks[2] << 16 | chunks[3] << 56;
    packed.words[2] = chunks[3] >> 8 | (chunks[4] & 0x1FFFFFFull) << 32 |
                      static_cast<uint64_t>(walk) << kWalkShift;
    return packed;
}

}  // namespace detail

inline constexpr int kNoTile = -1;

// The class a deal from this position lays on each table row, or kNoTile.
std::array<int, board::kTableRows> DealtTiles(const Position& before);

using DealtRows = std::array<int, board::kTableRows>;

// Pack of the position a deal leads to, without making it; `dealt` is DealtTiles(before).
PackedPosition PackAfterDeal(const Position& before, const DealtRows& dealt);
inline PackedPosition PackAfterDeal(const Position& before) {
    return PackAfterDeal(before, DealtTiles(before));
}

// The same rows, stock and walk (what lies beyond the counts does not matter).
inline bool SamePosition(const Position& a, const Position& b) {
    return Pack(a) == Pack(b);
}

inline uint64_t Hash(const PackedPosition& packed) {
    uint64_t h = packed.words[0] * 0x9E3779B97F4A7C15ull;
    h ^= (h >> 29) ^ packed.words[1];
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= (h >> 31) ^ packed.words[2];
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 32);
}

}  // namespace solver
