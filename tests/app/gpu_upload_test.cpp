// The board's GPU buffers and its one draw, seen from the device.

#include <cstring>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using record::FailPlan;
using GpuUpload = SessionTest;

template <typename T, std::size_t N>
bool SameBytes(std::span<const uint8_t> held, const std::array<T, N>& mesh) {
    return held.size() == sizeof mesh && std::memcmp(held.data(), mesh.data(), sizeof mesh) == 0;
}

TEST_F(GpuUpload, EveryUploadLeavesOnePairHoldingTheMeshByteForByte) {
    Start();
    StartPlaying();
    render::BoardMesh& mesh = session->game->mesh;
    EXPECT_EQ(log()[Find("Device::CreateVertexBuffer")].args, Args(221760, 8, 0x42, 1));
    EXPECT_EQ(log()[Find("Device::CreateIndexBuffer")].args, Args(45540, 0, 101, 1));
    EXPECT_EQ(log()[Find("VertexBuffer::Lock")].args, Args(0, 0, 0));
    EXPECT_EQ(log()[Find("IndexBuffer::Lock")].args, Args(0, 0, 0));

    // New deals, row checks and stock deals, each an upload.
    for (uint32_t key : {0x4Eu, 0x43u, 0x43u, 0x44u, 0x43u, 0x4Eu, 0x53u}) {
        system.PostKeyDown(key);
        Passes(2);
        EXPECT_EQ(system.live().vertexBuffers, 1);
        EXPECT_EQ(system.live().indexBuffers, 1);
        EXPECT_TRUE(
            SameBytes(record::RecordSystem::Contents(mesh.vertexBuffer.get()), mesh.vertices));
        EXPECT_TRUE(
            SameBytes(record::RecordSystem::Contents(mesh.indexBuffer.get()), mesh.indices));
    }
    for (int i = 0; i < 20; ++i) {
        mesh.UploadBuffers();
    }
    EXPECT_EQ(system.live().vertexBuffers, 1);
    EXPECT_EQ(system.live().indexBuffers, 1);
    EXPECT_EQ(Count("VertexBuffer::Unlock"), Count("VertexBuffer::Lock"));
    EXPECT_EQ(mesh.lockedData, nullptr);
    EXPECT_EQ(system.device().invalidCalls, 0);
}

TEST_F(GpuUpload, TheWorldTransformIgnoresTiltAndSitsTenFurtherOn) {
    Start();
    session->game->mesh.SetWorldTransform(3, 4, 1.5f);
    EXPECT_EQ(system.device().transforms.at(256), platform::MatrixTranslation(3, 4, 10));
    session->game->mesh.SetWorldTransform(0, 0, 0);
    EXPECT_EQ(system.device().transforms.at(256), platform::MatrixTranslation(0, 0, 10));
}

TEST_F(GpuUpload, EachPlayingFrameIsOneIndexedDrawOfTheWholeBoard) {
    Start();
    StartPlaying();
    system.log().Clear();
    Passes(3);
    const auto draws = log().All("Device::DrawIndexedPrimitive");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].args, Args(4, 0, 0, 13860, 0, 7590));
    const render::BoardMesh& mesh = session->game->mesh;
    for (const auto& stream : log().All("Device::SetStreamSource")) {
        EXPECT_EQ(stream.args, Args(0, record::RecordSystem::Tag(mesh.vertexBuffer.get()), 0, 16));
    }
    for (const auto& indices : log().All("Device::SetIndices")) {
        EXPECT_EQ(indices.args, Args(record::RecordSystem::Tag(mesh.indexBuffer.get())));
    }
    EXPECT_EQ(Count("Device::SetIndices"), 3u);
    EXPECT_EQ(Count("Device::SetFVF"), 0u);  // the format set at start-up stays
    EXPECT_EQ(system.device().invalidCalls, 0);
}

struct BufferFault {
    const char* name;
    FailPlan record::Faults::*plan;
    const char* missingLock;  // the lock that must not happen, if any
};

class GpuUploadFault : public SessionTest, public ::testing::WithParamInterface<BufferFault> {};

TEST_P(GpuUploadFault, AFailedBufferIsNeitherFilledNorDrawnAndTheNextUploadRecovers) {
    const BufferFault fault = GetParam();
    Start();
    system.faults().*fault.plan = FailPlan::Nth(1);
    StartPlaying();
    Passes(3);
    EXPECT_EQ(system.device().draws, 0);  // no board this time, and no crash
    EXPECT_EQ(system.device().invalidCalls, 0);
    EXPECT_LE(system.live().vertexBuffers + system.live().indexBuffers, 1);
    if (fault.missingLock) {
        EXPECT_EQ(Count(fault.missingLock), 0u);
    }
    EXPECT_TRUE(system.messageBoxes().empty());

    system.PostKeyDown('N');
    Passes(2);
    EXPECT_EQ(system.device().draws, 1);
    EXPECT_EQ(system.live().vertexBuffers, 1);
    EXPECT_EQ(system.live().indexBuffers, 1);
    End();
    EXPECT_EQ(system.live().Total(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachBufferCall, GpuUploadFault,
    ::testing::Values(BufferFault{"CreateVertexBuffer", &record::Faults::createVertexBuffer,
                                  "VertexBuffer::Lock"},
                      BufferFault{"LockVertexBuffer", &record::Faults::lockVertexBuffer, nullptr},
                      BufferFault{"CreateIndexBuffer", &record::Faults::createIndexBuffer,
                                  "IndexBuffer::Lock"},
                      BufferFault{"LockIndexBuffer", &record::Faults::lockIndexBuffer, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace app::testing
