#include "platform/record/record_backend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform::record {
namespace {

// A device with its window, as the game makes them.
struct Rig {
    RecordSystem system;
    std::unique_ptr<Window> window = system.CreateWindowExA({}, nullptr);
    std::unique_ptr<Graphics> graphics = system.Direct3DCreate9(d3d::SDK_VERSION);
    std::unique_ptr<Device> device;

    Rig() {
        PresentParams params{};
        params.hDeviceWindow = window.get();
        EXPECT_EQ(graphics->CreateDevice(0, 1, window.get(), 0x20, params, device), kOk);
    }
};

TEST(FailPlan, SkipsThenFailsCountTimesOrAlways) {
    FailPlan nth = FailPlan::Nth(2, kOutOfMemory);
    FailPlan twice = FailPlan::Times(2);
    FailPlan always = FailPlan::Always();
    const HResult expected[][3] = {
        {kOk, kFail, kFail}, {kOutOfMemory, kFail, kFail}, {kOk, kOk, kFail}, {kOk, kOk, kFail}};
    for (const auto& row : expected) {
        EXPECT_EQ(nth.Next(), row[0]);
        EXPECT_EQ(twice.Next(), row[1]);
        EXPECT_EQ(always.Next(), row[2]);
    }
}

// The game's tests count on misuse being refused and counted, and on a lock handing out the
// buffer's own bytes.
TEST(RecordDevice, LocksHandOutTheBuffersBytesAndMisuseIsRefusedAndCounted) {
    Rig rig;
    std::unique_ptr<VertexBuffer> vb;
    std::unique_ptr<IndexBuffer> ib;
    ASSERT_EQ(rig.device->CreateVertexBuffer(16 * 3, 8, 0x42, 1, vb), kOk);
    ASSERT_EQ(rig.device->CreateIndexBuffer(6, 0, 101, 1, ib), kOk);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), kOk);
    std::memset(data, 7, 48);
    EXPECT_EQ(vb->Unlock(), kOk);
    EXPECT_EQ(RecordSystem::Contents(vb.get())[47], 7);
    EXPECT_EQ(vb->Lock(16, 48, &data, 0), kInvalidCall);  // past the end
    EXPECT_EQ(vb->Unlock(), kInvalidCall);                // not locked

    rig.device->SetStreamSource(0, vb.get(), 0, 16);
    rig.device->SetIndices(ib.get());
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kInvalidCall);  // no scene
    rig.device->BeginScene();
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kOk);
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 4, 0, 1), kInvalidCall);  // vertices
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 2), kInvalidCall);  // indices
    ib.reset();
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kInvalidCall);  // released
    rig.device->EndScene();
    EXPECT_EQ(rig.system.device().draws, 1);
    EXPECT_EQ(rig.system.device().invalidCalls, 6);
    EXPECT_EQ(rig.system.live().indexBuffers, 0);
}

TEST(RecordDevice, LostThenNotResetUntilAResetSucceedsWhichDropsTheSettings) {
    Rig rig;
    rig.device->SetRenderState(d3d::RS_LIGHTING, 0);
    rig.system.LoseDevice(2);
    rig.system.faults().reset = FailPlan::Times(1);
    EXPECT_EQ(rig.device->TestCooperativeLevel(), kDeviceLost);
    EXPECT_EQ(rig.device->Reset({}), kDeviceLost);  // too early
    EXPECT_EQ(rig.device->TestCooperativeLevel(), kDeviceLost);
    EXPECT_EQ(rig.device->TestCooperativeLevel(), kDeviceNotReset);
    EXPECT_EQ(rig.device->Reset({}), kFail);
    EXPECT_EQ(rig.device->TestCooperativeLevel(), kDeviceNotReset);
    EXPECT_EQ(rig.device->Reset({}), kOk);
    EXPECT_EQ(rig.device->TestCooperativeLevel(), kOk);
    EXPECT_TRUE(rig.system.device().renderStates.empty());
}

TEST(RecordInput, ReadsFollowTheScriptAndALostDeviceNeedsAcquire) {
    RecordSystem system;
    std::unique_ptr<InputSystem> input;
    std::unique_ptr<InputDevice> mouse;
    ASSERT_EQ(system.DirectInput8Create(dinput::VERSION, input), kOk);
    ASSERT_EQ(input->CreateDevice(DeviceGuid::SysMouse, mouse), kOk);
    MouseState2 state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kNotAcquired);
    mouse->SetDataFormat(DataFormat::Mouse2);
    ASSERT_EQ(mouse->Acquire(), kOk);

    system.ScriptMouse({.lX = 5, .lY = -3});
    system.faults().mouse.getDeviceState = FailPlan::Nth(2, kInputLost);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kOk);
    EXPECT_EQ(state.lX, 5);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kInputLost);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kNotAcquired);
    mouse->Acquire();
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kOk);
    EXPECT_EQ(state.lX, 0);  // the script has run out: no motion
}

}  // namespace
}  // namespace platform::record
