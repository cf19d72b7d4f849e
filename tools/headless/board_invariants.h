#pragma once

#include <string>

#include "board/tile_board.h"
#include "render/board_mesh.h"

namespace headless {

// Empty when the board keeps its invariants: the 32 tiles of the set, each exactly once
// (once `laidOut`: before the first layout the storage is empty); empty halves at and beyond
// every table row's count; liveRows the number of non-empty rows; every count within 0 to
// 32. Otherwise what is wrong.
std::string BoardInvariantFault(const board::TileBoard& board, bool laidOut = true);

// Empty when every vertex colour of the mesh is what the board storage and the stock count
// say, from a colour table written out independently of the renderer's.
std::string MeshColourFault(const render::BoardMesh& mesh, const board::TileBoard& board);

}  // namespace headless
