#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "render/board_mesh.h"

namespace {

using platform::HResult;
using platform::kFail;
using platform::kOk;

// Just enough of a device to see what the mesh hands over, with failures on demand.
struct FakeDevice : platform::Device {
    using Bytes = std::vector<uint8_t>;
    template <typename Base>
    struct FakeBuffer : Base {
        FakeBuffer(FakeDevice& d, uint32_t size, bool failLock) : device(d), failLock(failLock) {
            bytes.resize(size);
            ++device.liveBuffers;
        }
        ~FakeBuffer() override { --device.liveBuffers; }
        HResult Lock(uint32_t, uint32_t, void** out, uint32_t) override {
            if (failLock) {
                return kFail;
            }
            *out = bytes.data();
            return kOk;
        }
        HResult Unlock() override {
            ++(failLock ? device.strayUnlocks : device.unlocks);
            return kOk;
        }
        FakeDevice& device;
        bool failLock;
        Bytes bytes;
    };
    using FakeVertices = FakeBuffer<platform::VertexBuffer>;
    using FakeIndices = FakeBuffer<platform::IndexBuffer>;

    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::unique_ptr<platform::VertexBuffer>& out) override {
        vertexArgs = {length, usage, fvf, pool};
        if (failCreateVertices) {
            return kFail;
        }
        auto buffer = std::make_unique<FakeVertices>(*this, length, failLockVertices);
        lastVertices = &buffer->bytes;
        out = std::move(buffer);
        return kOk;
    }
    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::unique_ptr<platform::IndexBuffer>& out) override {
        indexArgs = {length, usage, format, pool};
        if (failCreateIndices) {
            return kFail;
        }
        auto buffer = std::make_unique<FakeIndices>(*this, length, failLockIndices);
        lastIndices = &buffer->bytes;
        out = std::move(buffer);
        return kOk;
    }
    HResult SetTransform(uint32_t state, const platform::Matrix& m) override {
        transformState = state;
        world = m;
        return kOk;
    }
    HResult SetStreamSource(uint32_t, platform::VertexBuffer* b, uint32_t, uint32_t s) override {
        stream = b;
        stride = s;
        return kOk;
    }
    HResult SetIndices(platform::IndexBuffer* b) override {
        indices = b;
        return kOk;
    }
    HResult DrawIndexedPrimitive(uint32_t type, int32_t, uint32_t, uint32_t vertices, uint32_t,
                                 uint32_t primitives) override {
        draws.push_back({type, vertices, primitives});
        return kOk;
    }
    HResult TestCooperativeLevel() override { return kOk; }
    HResult Reset(const platform::PresentParams&) override { return kOk; }
    HResult SetRenderState(uint32_t, uint32_t) override { return kOk; }
    HResult SetSamplerState(uint32_t, uint32_t, uint32_t) override { return kOk; }
    HResult SetFVF(uint32_t) override { return kOk; }
    HResult Clear(uint32_t, const platform::Rect*, uint32_t, uint32_t, float, uint32_t) override {
        return kOk;
    }
    HResult BeginScene() override { return kOk; }
    HResult EndScene() override { return kOk; }
    HResult Present() override { return kOk; }
    HResult CreateFontIndirect(const platform::FontDesc&,
                               std::unique_ptr<platform::Font>&) override {
        return kFail;
    }
    HResult CreateTextureFromFileEx(const char*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint32_t, uint32_t, uint32_t,
                                    std::unique_ptr<platform::Texture>&) override {
        return kFail;
    }

    bool failCreateVertices = false, failCreateIndices = false;
    bool failLockVertices = false, failLockIndices = false;
    int liveBuffers = 0;
    int unlocks = 0;
    int strayUnlocks = 0;  // unlocks of a buffer whose lock failed
    std::vector<uint32_t> vertexArgs, indexArgs;
    Bytes* lastVertices = nullptr;
    Bytes* lastIndices = nullptr;
    uint32_t transformState = 0;
    platform::Matrix world{};
    platform::VertexBuffer* stream = nullptr;
    platform::IndexBuffer* indices = nullptr;
    uint32_t stride = 0;
    std::vector<std::vector<uint32_t>> draws;
};

class GpuBuffers : public ::testing::Test {
  protected:
    FakeDevice device;
    std::unique_ptr<render::BoardMesh> mesh = std::make_unique<render::BoardMesh>(&device);
};

TEST_F(GpuBuffers, UploadCopiesTheMeshAndKeepsOnePair) {
    mesh->vertices[5].diffuse = render::kRed;
    for (int i = 0; i < 3; ++i) {
        mesh->UploadBuffers();
    }
    EXPECT_EQ(device.liveBuffers, 2);
    EXPECT_EQ(device.vertexArgs, (std::vector<uint32_t>{221760, 8, 0x42, 1}));
    EXPECT_EQ(device.indexArgs, (std::vector<uint32_t>{45540, 0, 101, 1}));
    ASSERT_EQ(device.lastVertices->size(), sizeof mesh->vertices);
    EXPECT_EQ(
        std::memcmp(device.lastVertices->data(), mesh->vertices.data(), sizeof mesh->vertices), 0);
    EXPECT_EQ(std::memcmp(device.lastIndices->data(), mesh->indices.data(), sizeof mesh->indices),
              0);
    EXPECT_EQ(device.unlocks, 6);

    mesh->Render(0, 0, 0);
    EXPECT_EQ(device.stream, mesh->vertexBuffer.get());
    EXPECT_EQ(device.indices, mesh->indexBuffer.get());
    EXPECT_EQ(device.stride, 16u);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0], (std::vector<uint32_t>{4, 13860, 7590}));

    mesh.reset();
    EXPECT_EQ(device.liveBuffers, 0);
}

TEST_F(GpuBuffers, AFailedBufferIsNeitherFilledNorDrawn) {
    for (int failure = 0; failure < 4; ++failure) {
        device.failCreateVertices = failure == 0;
        device.failCreateIndices = failure == 1;
        device.failLockVertices = failure == 2;
        device.failLockIndices = failure == 3;
        device.draws.clear();
        mesh->UploadBuffers();
        EXPECT_EQ(device.liveBuffers, 1) << "failure " << failure;
        EXPECT_EQ(!mesh->vertexBuffer, failure == 0 || failure == 2);
        EXPECT_EQ(!mesh->indexBuffer, failure == 1 || failure == 3);
        mesh->DrawBoard();
        EXPECT_TRUE(device.draws.empty()) << "failure " << failure;
    }
    EXPECT_EQ(device.strayUnlocks, 0);
    device.failLockIndices = false;
    mesh->UploadBuffers();
    mesh->DrawBoard();
    EXPECT_EQ(device.draws.size(), 1u);
}

TEST_F(GpuBuffers, WorldIsTheTranslationWhateverTheTilt) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float tilt : {0.0f, 1.5f, inf, std::numeric_limits<float>::quiet_NaN()}) {
        mesh->SetWorldTransform(3, 4, tilt);
        EXPECT_EQ(device.transformState, 256u);
        EXPECT_EQ(device.world, platform::MatrixTranslation(3, 4, 10)) << "tilt " << tilt;
    }
}

TEST(GpuBuffersHeadless, WithoutADeviceNothingHappens) {
    auto mesh = std::make_unique<render::BoardMesh>(nullptr);
    mesh->UploadBuffers();
    mesh->Render(0, 0, 0);
    EXPECT_FALSE(mesh->vertexBuffer);
    EXPECT_FALSE(mesh->indexBuffer);
}

}  // namespace
