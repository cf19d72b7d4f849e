#include "solver/position.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "solver/row_lengths.h"

namespace solver {

namespace {

using detail::kRowEnd;
constexpr int kSymbols = detail::kPackedSymbols;
using detail::kWalkShift;

// Five-bit symbols back to one a byte: the reverse of detail::Squeeze.
uint64_t Spread(uint64_t bits) {
    bits = (bits & 0xFFFFFull) | ((bits & 0xFFFFF00000ull) << 12);
    bits = (bits & 0x000003FF000003FFull) | ((bits & 0x000FFC00000FFC00ull) << 6);
    return (bits & 0x001F001F001F001Full) | ((bits & 0x03E003E003E003E0ull) << 3);
}

void Store8(uint8_t* bytes, uint64_t word) {
    std::memcpy(bytes, &word, sizeof word);
}

}  // namespace

Position Position::FromBoard(const board::TileBoard& board, int32_t currentRow) {
    Position p;
    for (int r = 0; r < board::kTableRows; ++r) {
        p.counts[r] = static_cast<uint8_t>(board.counts[static_cast<std::size_t>(r)]);
        for (int i = 0; i < p.counts[r]; ++i) {
            p.rows[r][i] = ClassOf(board.TileAt(r, i));
        }
    }
    p.stockCount = static_cast<uint8_t>(board.stockCount());
    for (int i = 0; i < p.stockCount; ++i) {
        p.stock[i] = ClassOf(board.TileAt(board::kStockRow, i));
    }
    const int walk = board::NextLiveRow(p.counts, std::max(currentRow, 0) - 1);  // as C finds it
    p.walk = static_cast<uint8_t>(walk < board::kTableRows ? walk : p.FirstLiveRow());
    return p;
}

int Position::FirstLiveRow() const {
    return FirstLive(counts);
}

int Position::LiveRows() const {
    return LiveCount(counts);
}

void Position::Press(Key key) {
    switch (key) {
        case Key::Check:
            Check();
            break;
        case Key::Deal:
            Deal();
            break;
        case Key::Rules:
            Restart();
            break;
    }
}

int Position::NextLiveRow(int row) const {
    return NextLive(counts, row);
}

bool Position::CheckTail() {
    auto& row = rows[walk];
    const int n = counts[walk];
    if (n < 3 || !Tails().Clears(row[n - 3], row[n - 2], row[n - 1])) {
        return false;
    }
    std::copy(row.begin() + n - 3, row.begin() + n, stock.begin() + stockCount);
    stockCount = static_cast<uint8_t>(stockCount + 3);
    counts[walk] = static_cast<uint8_t>(n - 3);
    return true;
}

void Position::Check() {
    const int row = walk;
    CheckTail();
    const int next = NextLiveRow(row);
    if (next < board::kTableRows) {
        walk = static_cast<uint8_t>(next);
    } else {
        Deal();  // after the last live row the game deals by itself
    }
}

void Position::Deal() {
    DealFromStock();
    Restart();
}

void Position::DealFromStock() {
    const int n = std::min(LiveRows(), static_cast<int>(stockCount));
    int given = 0;
    for (int r = 0; r < board::kTableRows && given < n; ++r) {
        if (counts[r] != 0) {
            rows[r][counts[r]++] = stock[n - 1 - given++];
        }
    }
    std::copy(stock.begin() + n, stock.begin() + stockCount, stock.begin());
    stockCount = static_cast<uint8_t>(stockCount - n);
}

std::array<int, board::kTableRows> DealtTiles(const Position& before) {
    std::array<int, board::kTableRows> dealt;
    dealt.fill(kNoTile);
    const int n = std::min(before.LiveRows(), static_cast<int>(before.stockCount));
    for (int r = 0, given = 0; r < board::kTableRows && given < n; ++r) {
        if (before.counts[r] != 0) {
            dealt[r] = before.stock[n - 1 - given++];
        }
    }
    return dealt;
}

using detail::SymbolBuffer;

// Rows are copied whole, each end mark written over what follows.
PackedPosition Pack(const Position& position) {
    SymbolBuffer symbols;
    int at = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        std::memcpy(symbols.data() + at, position.rows[r].data(), board::kPositionsPerRow);
        at += position.counts[r];
        symbols[static_cast<std::size_t>(at++)] = kRowEnd;
    }
    std::memcpy(symbols.data() + at, position.stock.data(), board::kTileCount);
    return detail::PackSymbols(symbols, position.walk);
}

PackedPosition PackAfterDeal(const Position& before, const DealtRows& dealt) {
    SymbolBuffer symbols;
    int at = 0;
    int given = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        std::memcpy(symbols.data() + at, before.rows[r].data(), board::kPositionsPerRow);
        at += before.counts[r];
        if (dealt[r] != kNoTile) {
            symbols[static_cast<std::size_t>(at++)] = static_cast<uint8_t>(dealt[r]);
            ++given;
        }
        symbols[static_cast<std::size_t>(at++)] = kRowEnd;
    }
    std::memcpy(symbols.data() + at, before.stock.data() + given, board::kTileCount);
    return detail::PackSymbols(symbols, before.FirstLiveRow());
}

Position Unpack(const PackedPosition& packed) {
    const uint64_t chunks[5] = {
        packed.words[0] & 0xFFFFFFFFFFull,
        (packed.words[0] >> 40 | packed.words[1] << 24) & 0xFFFFFFFFFFull,
        (packed.words[1] >> 16) & 0xFFFFFFFFFFull,
        (packed.words[1] >> 56 | packed.words[2] << 8) & 0xFFFFFFFFFFull,
        (packed.words[2] >> 32) & 0x1FFFFFFull,
    };
    // Room behind the 40 symbols for whole-row copies. The end marks are found a word at a
    // time: symbols are below 32, so after turning marks into 0, adding 0x7F to a byte sets
    // its top bit unless it was a mark, and no byte carries into the next.
    uint8_t symbols[40 + board::kPositionsPerRow] = {};
    int ends[board::kTableRows];
    int found = 0;
    for (int i = 0; i < 5; ++i) {
        const uint64_t word = Spread(chunks[i]);
        Store8(symbols + 8 * i, word);
        uint64_t marks =
            ~((word ^ 0x1F1F1F1F1F1F1F1Full) + 0x7F7F7F7F7F7F7F7Full) & 0x8080808080808080ull;
        for (; marks != 0 && found < board::kTableRows; marks &= marks - 1) {
            ends[found++] = 8 * i + std::countr_zero(marks) / 8;
        }
    }
    Position p;
    int from = 0;
    for (int r = 0; r < board::kTableRows; ++r) {
        p.counts[r] = static_cast<uint8_t>(ends[r] - from);
        std::memcpy(p.rows[r].data(), symbols + from, board::kPositionsPerRow);
        from = ends[r] + 1;
    }
    p.stockCount = static_cast<uint8_t>(kSymbols - from);
    std::memcpy(p.stock.data(), symbols + from, board::kTileCount);
    p.walk = static_cast<uint8_t>(packed.words[2] >> kWalkShift);
    return p;
}

}  // namespace solver
