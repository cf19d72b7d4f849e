#pragma once

#include <string>

#include "render/board_mesh.h"

namespace replay {

// Writes PREFIX.vertices (x, y, z as little-endian IEEE floats, then the ARGB colour as a
// little-endian uint32, per vertex) and PREFIX.indices (little-endian uint16), exactly the
// bytes an upload hands the device. False when a file cannot be written.
bool DumpMesh(const render::BoardMesh& mesh, const std::string& prefix);

}  // namespace replay
