#pragma once

#include <array>
#include <cstdint>

namespace board {

// One tile half: 0 is an empty position, 1 to 10 pip faces (7 to 10 draw 1, 2 and 6 another way).
using FaceCode = int16_t;

inline constexpr int kFaceCodeCount = 11;

// What each face counts for in the row check: 7 and 8 count as 1 and 2, 9 and 10 as 6.
inline constexpr std::array<int, kFaceCodeCount> kPipValues = {0, 1, 2, 3, 4, 5, 6, 1, 2, 6, 6};

constexpr int PipValue(FaceCode code) {
    return kPipValues[static_cast<std::size_t>(code)];
}

// A tile as stored: the first half is drawn as the upper half.
struct Tile {
    FaceCode first;
    FaceCode second;
    friend bool operator==(const Tile&, const Tile&) = default;
};

inline constexpr int kTileCount = 32;

// The Chinese domino set in the fixed order every shuffle starts from.
inline constexpr std::array<Tile, kTileCount> TileSet = {{
    {9, 10}, {9, 10}, {5, 5}, {5, 5}, {4, 4}, {4, 4}, {3, 3}, {3, 3}, {2, 8}, {2, 8}, {1, 7},
    {1, 7},  {1, 8},  {1, 3}, {1, 3}, {1, 4}, {1, 5}, {1, 5}, {1, 6}, {1, 6}, {2, 3}, {2, 4},
    {2, 5},  {2, 6},  {3, 4}, {3, 5}, {3, 6}, {4, 5}, {4, 6}, {4, 6}, {5, 6}, {5, 6},
}};

}  // namespace board
