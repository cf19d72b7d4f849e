#pragma once

#include <array>
#include <cstdint>

#include "board/face_code.h"

namespace solver {

// A tile as the rules see it: its two pip values. Tiles that show the same pips another way
// (the 6-6 faces, the second 1 and 2 layouts) play alike, so positions that differ only in
// them are one position to the search.
using TileClass = uint8_t;

inline constexpr int kTileClassCount = 21;  // every pip pair from 1-1 to 6-6

// The class of a stored tile; its halves must be faces 1 to 10.
TileClass ClassOf(board::Tile tile);

// The pip values of a class, smaller first.
std::array<int, 2> PipsOf(TileClass tileClass);

// Whether a row tail of these three classes, in any order, leaves the row.
class TailTable {
  public:
    TailTable();
    bool Clears(TileClass a, TileClass b, TileClass c) const {
        return clears_[(a * kTileClassCount + b) * kTileClassCount + c];
    }

  private:
    std::array<bool, kTileClassCount * kTileClassCount * kTileClassCount> clears_{};
};

extern const TailTable kTailTable;

inline const TailTable& Tails() {
    return kTailTable;
}

}  // namespace solver
