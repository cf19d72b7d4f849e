#include <cmath>
#include <cstring>

#include "render/board_mesh.h"

namespace render {

namespace {

// Creates, fills and unlocks one buffer. Anything that fails leaves `buffer` empty, so a
// half-made buffer is never written into or drawn.
template <typename BufferT, typename CreateFn>
void MakeFilledBuffer(std::unique_ptr<BufferT>& buffer, void*& lockedData, const void* bytes,
                      std::size_t size, CreateFn&& create) {
    buffer.reset();
    std::unique_ptr<BufferT> made;
    if (platform::Failed(create(made)) || !made) {
        return;
    }
    lockedData = nullptr;
    if (platform::Failed(made->Lock(0, 0, &lockedData, 0)) || lockedData == nullptr) {
        lockedData = nullptr;
        return;
    }
    std::memcpy(lockedData, bytes, size);
    const bool unlocked = platform::Succeeded(made->Unlock());
    lockedData = nullptr;  // the mapping is gone once unlocked
    if (unlocked) {
        buffer = std::move(made);
    }
}

}  // namespace

void BoardMesh::ReleaseBuffers() {
    vertexBuffer_.reset();
    indexBuffer_.reset();
}

void BoardMesh::UploadBuffers() {
    ReleaseBuffers();
    MakeFilledBuffer(vertexBuffer_, lockedData_, vertices_.data(), kVertexBufferBytes,
                     [this](std::unique_ptr<platform::VertexBuffer>& out) {
                         return device_.CreateVertexBuffer(
                             kVertexBufferBytes, platform::d3d::USAGE_WRITEONLY, kTileVertexFormat,
                             platform::d3d::POOL_MANAGED, out);
                     });
    MakeFilledBuffer(indexBuffer_, lockedData_, indices_.data(), kIndexBufferBytes,
                     [this](std::unique_ptr<platform::IndexBuffer>& out) {
                         return device_.CreateIndexBuffer(kIndexBufferBytes, 0,
                                                          platform::d3d::FMT_INDEX16,
                                                          platform::d3d::POOL_MANAGED, out);
                     });
}

void BoardMesh::SetWorldTransform(float x, float y, float tilt) {
    float angle = tilt * 0.0f;
    if (!std::isfinite(angle)) {
        // An infinite or NaN tilt would fill the world matrix with NaN and lose the board.
        angle = 0.0f;
    }
    worldRotationX_ = platform::MatrixRotationX(angle);
    worldRotationY_ = platform::MatrixRotationY(angle);
    worldTranslation_ = platform::MatrixTranslation(x, y, kWorldZ);
    const platform::Matrix world = platform::MatrixMultiply(
        platform::MatrixMultiply(worldRotationX_, worldRotationY_), worldTranslation_);
    device_.SetTransform(platform::d3d::TS_WORLD, world);
}

void BoardMesh::DrawBoard() {
    if (!vertexBuffer_ || !indexBuffer_) {
        return;
    }
    device_.SetStreamSource(0, vertexBuffer_.get(), 0, sizeof(TileVertex));
    device_.SetIndices(indexBuffer_.get());
    device_.DrawIndexedPrimitive(platform::d3d::PT_TRIANGLELIST, 0, 0,
                                 static_cast<uint32_t>(vertexCount_), 0,
                                 static_cast<uint32_t>(primitiveCount_));
}

void BoardMesh::Render(float x, float y, float tilt) {
    SetWorldTransform(x, y, tilt);
    DrawBoard();
}

}  // namespace render
