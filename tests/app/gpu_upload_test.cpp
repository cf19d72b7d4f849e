// The board's GPU buffers and its one draw, seen from the device.

#include <cstring>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using record::FailPlan;
using GpuUpload = SessionTest;

template <typename T, std::size_t N>
bool SameBytes(const platform::Buffer* buffer, const std::array<T, N>& mesh) {
    const auto held = record::RecordSystem::Contents(buffer);
    return held.size() == sizeof mesh && std::memcmp(held.data(), mesh.data(), sizeof mesh) == 0;
}

TEST_F(GpuUpload, EveryUploadLeavesOnePairHoldingTheMeshByteForByteAndEachFrameDrawsIt) {
    Start();
    StartPlaying();
    render::BoardMesh& mesh = session->game->mesh;
    // Write-only, in the managed pool that survives a reset.
    EXPECT_EQ(log()[Find("Device::CreateVertexBuffer")].args, Args(221760, 8, 0x42, 1));
    EXPECT_EQ(log()[Find("Device::CreateIndexBuffer")].args, Args(45540, 0, 101, 1));

    // New deals, row checks and stock deals, each an upload.
    for (uint32_t key : {'N', 'C', 'C', 'D', 'C', 'N', 'S'}) {
        SCOPED_TRACE(key);
        system.PostKeyDown(key);
        Passes(2);
        EXPECT_EQ(system.live().vertexBuffers, 1);
        EXPECT_EQ(system.live().indexBuffers, 1);
        EXPECT_TRUE(SameBytes(mesh.vertexBuffer(), mesh.vertices()));
        EXPECT_TRUE(SameBytes(mesh.indexBuffer(), mesh.indices()));
    }
    // One indexed draw of the whole board per Playing frame, from the buffers now held.
    EXPECT_EQ(system.device().draws, 1 + 7);
    EXPECT_EQ(log()[log().FindLast("Device::DrawIndexedPrimitive")].args,
              Args(4, 0, 0, 13860, 0, 7590));
    EXPECT_EQ(log()[log().FindLast("Device::SetStreamSource")].args,
              Args(0, record::RecordSystem::Tag(mesh.vertexBuffer()), 0, 16));
    EXPECT_EQ(log()[log().FindLast("Device::SetIndices")].args,
              Args(record::RecordSystem::Tag(mesh.indexBuffer())));
    EXPECT_EQ(Count("VertexBuffer::Unlock"), Count("VertexBuffer::Lock"));
    EXPECT_EQ(system.device().invalidCalls, 0);

    mesh.SetWorldTransform(3, 4, 1.5f);  // the tilt is not applied
    EXPECT_EQ(system.device().transforms.at(256), platform::MatrixTranslation(3, 4, 10));
}

TEST_F(GpuUpload, AFailedBufferIsNeitherFilledNorDrawnAndTheNextUploadRecovers) {
    using F = record::Faults;
    const std::tuple<FailPlan F::*, const char*> faults[] = {
        {&F::createVertexBuffer, "VertexBuffer::Lock"},
        {&F::lockVertexBuffer, "VertexBuffer::Unlock"},
        {&F::createIndexBuffer, "IndexBuffer::Lock"},
        {&F::lockIndexBuffer, "IndexBuffer::Unlock"}};
    Start();
    StartPlaying();
    for (const auto& [plan, missing] : faults) {
        SCOPED_TRACE(missing);
        const auto mark = log().size();
        const auto drawn = system.device().draws;
        system.faults().*plan = FailPlan::Nth(1);
        system.PostKeyDown('N');
        Passes(3);
        EXPECT_EQ(system.device().draws, drawn);  // no board this time, and no crash
        EXPECT_EQ(Find(missing, mark), record::CallLog::npos);
        EXPECT_LE(system.live().vertexBuffers + system.live().indexBuffers, 1);

        system.PostKeyDown('N');
        Passes(2);
        EXPECT_EQ(system.device().draws, drawn + 1);
        EXPECT_EQ(system.live().vertexBuffers + system.live().indexBuffers, 2);
    }
    EXPECT_EQ(system.device().invalidCalls, 0);
    EXPECT_TRUE(system.messageBoxes().empty());
}

}  // namespace
}  // namespace app::testing
