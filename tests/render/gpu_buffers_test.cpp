#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "platform/record/record_backend.h"
#include "platform/record/record_objects.h"
#include "render/board_mesh.h"

namespace {

using platform::record::FailPlan;

// The board's picture on a recording device, as the game makes it.
struct Rig {
    platform::record::RecordSystem system;
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<platform::Graphics> graphics;
    std::unique_ptr<platform::Device> device;
    std::unique_ptr<render::BoardMesh> mesh;

    Rig() {
        window =
            system.CreateWindowExA({}, [](platform::Window& w, uint32_t m, uintptr_t wp,
                                          intptr_t lp) { return w.DefWindowProcA(m, wp, lp); });
        graphics = system.Direct3DCreate9(platform::d3d::SDK_VERSION);
        platform::PresentParams params{};
        params.hDeviceWindow = window.get();
        EXPECT_EQ(graphics->CreateDevice(0, 1, window.get(), 0x20, params, device), 0);
        mesh = std::make_unique<render::BoardMesh>(*device);
    }
    void Frame() {
        device->BeginScene();
        mesh->Render(0, 0, 0);
        device->EndScene();
    }
    int LiveBuffers() const { return system.live().vertexBuffers + system.live().indexBuffers; }
};

TEST(GpuBuffers, AFailedBufferIsNeitherFilledNorDrawn) {
    Rig rig;
    auto& faults = rig.system.faults();
    FailPlan* plans[] = {&faults.createVertexBuffer, &faults.createIndexBuffer,
                         &faults.lockVertexBuffer, &faults.lockIndexBuffer};
    for (FailPlan* failing : plans) {
        faults = {};
        *failing = FailPlan::Always();
        rig.mesh->UploadBuffers();
        rig.Frame();
        EXPECT_EQ(rig.LiveBuffers(), 1);
        EXPECT_EQ(rig.system.device().draws, 0);
    }
    EXPECT_EQ(rig.system.device().invalidCalls, 0);  // no unlock without a lock

    faults = {};
    for (int i = 0; i < 3; ++i) {
        rig.mesh->UploadBuffers();  // each upload replaces the pair
    }
    EXPECT_EQ(rig.LiveBuffers(), 2);
    const auto bytes = platform::record::BufferBytes(rig.mesh->vertexBuffer());
    ASSERT_EQ(bytes.size(), sizeof rig.mesh->vertices());
    EXPECT_EQ(std::memcmp(bytes.data(), rig.mesh->vertices().data(), bytes.size()), 0);
    rig.Frame();
    EXPECT_EQ(rig.system.device().draws, 1);
    EXPECT_EQ(rig.system.device().lastDrawPrimitives, 7590u);
    rig.mesh.reset();
    EXPECT_EQ(rig.LiveBuffers(), 0);
}

TEST(GpuBuffers, WorldIsTheTranslationWhateverTheTilt) {
    Rig rig;
    for (float tilt : {0.0f, 1.5f, std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN()}) {
        rig.mesh->SetWorldTransform(3, 4, tilt);
        EXPECT_EQ(rig.system.device().transforms.at(platform::d3d::TS_WORLD),
                  platform::MatrixTranslation(3, 4, 10))
            << "tilt " << tilt;
    }
}

}  // namespace
