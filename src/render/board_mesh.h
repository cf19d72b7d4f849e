#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "board/tile_board.h"
#include "platform/graphics.h"

namespace render {

// One vertex of the board mesh: position and an ARGB colour, the device's format 0x42.
struct TileVertex {
    float x;
    float y;
    float z;
    uint32_t diffuse;
};
static_assert(sizeof(TileVertex) == 16, "the vertex buffer is a byte copy of the mesh");

inline constexpr int kTableSlots = board::kTableRows * board::kPositionsPerRow;  // 160
inline constexpr int kStockSlots = 5;
inline constexpr int kSlotCount = kTableSlots + kStockSlots;  // 165
inline constexpr int kVerticesPerSlot = 84;
inline constexpr int kIndicesPerSlot = 138;
inline constexpr int kVertexCount = kSlotCount * kVerticesPerSlot;  // 13,860
inline constexpr int kIndexCount = kSlotCount * kIndicesPerSlot;    // 22,770
inline constexpr int kPrimitiveCount = kIndexCount / 3;             // 7,590

inline constexpr uint32_t kBlack = 0xFF000000u;
inline constexpr uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr uint32_t kRed = 0xFFFF0000u;

inline constexpr uint32_t kTileVertexFormat = platform::d3d::FVF_XYZ | platform::d3d::FVF_DIFFUSE;

// Per face code: the nine pip colours of a half, row by row, then the body colour.
using FaceColourTable = std::array<std::array<uint32_t, 10>, board::kFaceCodeCount>;

// The board's picture: 165 tile slots (160 table places, 5 stock places) in one static mesh,
// recoloured from the board after every change and drawn with one call.
class BoardMesh {
public:
    // Builds the colour table, vertices and indices at once, so that any command works
    // before the first new game. The device may be null: nothing is then uploaded or drawn.
    explicit BoardMesh(platform::Device* device);

    int32_t vertexCount = kVertexCount;
    int32_t primitiveCount = kPrimitiveCount;
    float slotPitch = 2.5f;
    float rowPitch = 4.375f;
    float stockRowGap = 5.25f;
    FaceColourTable faceColours{};
    std::array<TileVertex, kVertexCount> vertices{};
    std::array<uint16_t, kIndexCount> indices{};
    platform::Matrix worldRotationX{};
    platform::Matrix worldRotationY{};
    platform::Matrix worldTranslation{};
    std::unique_ptr<platform::VertexBuffer> vertexBuffer;
    std::unique_ptr<platform::IndexBuffer> indexBuffer;
    void* lockedData = nullptr;

    void BuildFaceColours();
    void BuildVertices();
    void BuildIndices();
    void ApplyColours(const board::TileBoard& board);

    void UploadBuffers();
    void SetWorldTransform(float x, float y, float tilt);
    void DrawBoard();
    void Render(float x, float y, float tilt);

private:
    platform::Device* device_;
};

}  // namespace render
