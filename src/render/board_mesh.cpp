#include "render/board_mesh.h"

// Placeholder until the mesh lands.
namespace render {
BoardMesh::BoardMesh(platform::Device* device) : device_(device) {}
void BoardMesh::BuildFaceColours() {}
void BoardMesh::BuildVertices() {}
void BoardMesh::BuildIndices() {}
void BoardMesh::ApplyColours(const board::TileBoard&) {}
void BoardMesh::UploadBuffers() {}
void BoardMesh::SetWorldTransform(float, float, float) {}
void BoardMesh::DrawBoard() {}
void BoardMesh::Render(float, float, float) {}
}  // namespace render
