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

// Within a slot: 18 pips of 4 vertices (upper half first), then the 12 body outline points.
inline constexpr int kPipsPerHalf = 9;
inline constexpr int kVerticesPerPip = 4;
inline constexpr int kLowerHalfFirstVertex = kPipsPerHalf * kVerticesPerPip;  // 36
inline constexpr int kBodyFirstVertex = 2 * kLowerHalfFirstVertex;            // 72
inline constexpr int kBodyVertices = kVerticesPerSlot - kBodyFirstVertex;     // 12
inline constexpr int kBodyEntry = 9;  // the body colour's entry in a FaceColourTable row

inline constexpr uint32_t kBlack = 0xFF000000u;
inline constexpr uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr uint32_t kRed = 0xFFFF0000u;

inline constexpr uint32_t kTileVertexFormat = platform::d3d::FVF_XYZ | platform::d3d::FVF_DIFFUSE;
inline constexpr uint32_t kVertexBufferBytes = kVertexCount * sizeof(TileVertex);  // 221,760
inline constexpr uint32_t kIndexBufferBytes = kIndexCount * sizeof(uint16_t);      // 45,540

// Slot centres: table row r, position s at (s * slotPitch - 20, 12 - r * rowPitch); the stock
// row lies stockRowGap below the last table row.
inline constexpr float kLeftCentreX = -20.0f;
inline constexpr float kTopCentreY = 12.0f;
inline constexpr float kMeshZ = 30.0f;
inline constexpr float kWorldZ = 10.0f;

// Per face code: the nine pip colours of a half, row by row, then the body colour.
using FaceColourTable = std::array<std::array<uint32_t, 10>, board::kFaceCodeCount>;

// The board's picture: 165 tile slots (160 table places, 5 stock places) in one static mesh,
// recoloured from the board after every change and drawn with one call.
class BoardMesh {
  public:
    // Builds the colour table, vertices and indices at once, so that any command works
    // before the first new game.
    explicit BoardMesh(platform::Device& device);
    ~BoardMesh();
    BoardMesh(const BoardMesh&) = delete;
    BoardMesh& operator=(const BoardMesh&) = delete;

    // The mesh as the next upload hands it to the device.
    const std::array<TileVertex, kVertexCount>& vertices() const { return vertices_; }
    const std::array<uint16_t, kIndexCount>& indices() const { return indices_; }
    // Null until the first upload, and after one that failed.
    const platform::VertexBuffer* vertexBuffer() const { return vertexBuffer_.get(); }
    const platform::IndexBuffer* indexBuffer() const { return indexBuffer_.get(); }

    void BuildFaceColours();
    // Positions of all slots, every colour white; reads only the three pitches.
    void BuildVertices();
    void BuildIndices();
    // Every vertex colour from the board's table halves and its stock count.
    void ApplyColours(const board::TileBoard& board);

    // Replaces the buffer pair with fresh copies of the mesh. A buffer that cannot be
    // created, locked or unlocked is dropped, and the board is then not drawn.
    void UploadBuffers();
    void SetWorldTransform(float x, float y, float tilt);
    // One indexed draw of the whole board, when both buffers exist.
    void DrawBoard();
    void Render(float x, float y, float tilt);

    // Centre of a slot in model space, from the pitches.
    float SlotCentreX(int slot) const;
    float SlotCentreY(int slot) const;

  private:
    friend struct BoardMeshPeer;  // tests mark the mesh to see whether a command rebuilds it

    void ReleaseBuffers();

    platform::Device& device_;
    int32_t vertexCount_ = kVertexCount;
    int32_t primitiveCount_ = kPrimitiveCount;
    float slotPitch_ = 2.5f;
    float rowPitch_ = 4.375f;
    float stockRowGap_ = 5.25f;
    FaceColourTable faceColours_{};
    std::array<TileVertex, kVertexCount> vertices_{};
    std::array<uint16_t, kIndexCount> indices_{};
    platform::Matrix worldRotationX_{};
    platform::Matrix worldRotationY_{};
    platform::Matrix worldTranslation_{};
    std::unique_ptr<platform::VertexBuffer> vertexBuffer_;
    std::unique_ptr<platform::IndexBuffer> indexBuffer_;
    void* lockedData_ = nullptr;
};

}  // namespace render
