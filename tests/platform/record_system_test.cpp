#include "platform/record/record_system.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform::record {
namespace {

// A device with its window, as the game makes them.
struct Rig {
    RecordSystem system;
    std::unique_ptr<Window> window;
    std::unique_ptr<Graphics> graphics;
    std::unique_ptr<Device> device;
    std::vector<uint32_t> seen;  // messages the window procedure got

    Rig() {
        window = system.CreateWindow({}, [this](Window& w, uint32_t m, uintptr_t wp, intptr_t lp) {
            seen.push_back(m);
            return w.DefWindowProc(m, wp, lp);
        });
        graphics = system.Direct3DCreate9(d3d::SDK_VERSION);
        PresentParams params{};
        params.hDeviceWindow = window.get();
        EXPECT_EQ(graphics->CreateDevice(0, 1, window.get(), 0x20, params, device), kOk);
    }
};

TEST(FailPlan, SkipsThenFailsCountTimes) {
    FailPlan plan = FailPlan::Nth(3, kOutOfMemory);
    EXPECT_EQ(plan.Next(), kOk);
    EXPECT_EQ(plan.Next(), kOk);
    EXPECT_EQ(plan.Next(), kOutOfMemory);
    EXPECT_EQ(plan.Next(), kOk);

    FailPlan always = FailPlan::Always();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(always.Next(), kFail);
    }
    FailPlan twice = FailPlan::Times(2);
    EXPECT_EQ(twice.Next(), kFail);
    EXPECT_EQ(twice.Next(), kFail);
    EXPECT_EQ(twice.Next(), kOk);
}

TEST(RecordBuffers, LockHandsOutTheBuffersOwnBytes) {
    Rig rig;
    std::unique_ptr<VertexBuffer> vb;
    ASSERT_EQ(rig.device->CreateVertexBuffer(32, 8, 0x42, 1, vb), kOk);
    EXPECT_EQ(rig.system.live().vertexBuffers, 1);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), kOk);
    std::memset(data, 7, 32);
    EXPECT_EQ(vb->Unlock(), kOk);
    const auto bytes = RecordSystem::Contents(vb.get());
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes[31], 7);

    // Past the end, or an unlock without a lock, is refused and counted.
    EXPECT_EQ(vb->Lock(16, 32, &data, 0), kInvalidCall);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(vb->Unlock(), kInvalidCall);
    EXPECT_EQ(rig.system.device().invalidCalls, 2);
    vb.reset();
    EXPECT_EQ(rig.system.live().vertexBuffers, 0);
}

TEST(RecordBuffers, InjectedFailuresLeaveNoBuffer) {
    Rig rig;
    rig.system.faults().createIndexBuffer = FailPlan::Nth(2);
    std::unique_ptr<IndexBuffer> ib;
    EXPECT_EQ(rig.device->CreateIndexBuffer(8, 0, 101, 1, ib), kOk);
    EXPECT_EQ(rig.device->CreateIndexBuffer(8, 0, 101, 1, ib), kFail);
    EXPECT_EQ(ib, nullptr);
    EXPECT_EQ(rig.system.live().indexBuffers, 0);

    rig.system.faults().lockIndexBuffer = FailPlan::Always();
    ASSERT_EQ(rig.device->CreateIndexBuffer(8, 0, 101, 1, ib), kOk);
    void* data = &rig;
    EXPECT_EQ(ib->Lock(0, 0, &data, 0), kFail);
    EXPECT_EQ(data, nullptr);
}

TEST(RecordDevice, DrawsOnlyInsideASceneFromLiveBuffersThatHoldTheRange) {
    Rig rig;
    std::unique_ptr<VertexBuffer> vb;
    std::unique_ptr<IndexBuffer> ib;
    rig.device->CreateVertexBuffer(16 * 3, 8, 0x42, 1, vb);
    rig.device->CreateIndexBuffer(6, 0, 101, 1, ib);
    rig.device->SetStreamSource(0, vb.get(), 0, 16);
    rig.device->SetIndices(ib.get());
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kInvalidCall);  // no scene
    rig.device->BeginScene();
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kOk);
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 4, 0, 1), kInvalidCall);
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 2), kInvalidCall);
    ib.reset();
    EXPECT_EQ(rig.device->DrawIndexedPrimitive(4, 0, 0, 3, 0, 1), kInvalidCall);
    rig.device->EndScene();
    EXPECT_EQ(rig.system.device().draws, 1);
    EXPECT_EQ(rig.system.device().invalidCalls, 4);
    EXPECT_EQ(rig.system.log().Count("Device::DrawIndexedPrimitive"), 5u);
}

TEST(RecordDevice, LostThenNotResetUntilAResetSucceeds) {
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
    EXPECT_TRUE(rig.system.device().renderStates.empty());  // a reset drops the settings
    EXPECT_EQ(rig.system.device().resets, 1);
    EXPECT_EQ(rig.system.device().failedResets, 2);
}

TEST(RecordMessages, OneMessagePerPeekDeliveredToTheLiveWindow) {
    Rig rig;
    rig.system.PostKeyDown('C');
    rig.system.PostSysKeyDown(VK_F4);
    rig.system.PostKeyDown('D');
    Message m;
    ASSERT_TRUE(rig.system.PeekMessage(m));
    EXPECT_EQ(m.window, rig.window.get());
    EXPECT_EQ(m.wParam, 'C');
    rig.system.DispatchMessage(m);
    ASSERT_TRUE(rig.system.PeekMessage(m));
    rig.system.DispatchMessage(m);  // Alt+F4: close, then destroy
    EXPECT_EQ(rig.seen, (std::vector<uint32_t>{WM_KEYDOWN, WM_SYSKEYDOWN, WM_CLOSE, WM_DESTROY}));
    ASSERT_TRUE(rig.system.PeekMessage(m));
    EXPECT_EQ(m.window, nullptr);  // the window is gone
    EXPECT_FALSE(rig.system.PeekMessage(m));
}

TEST(RecordLog, ArgumentsInOneTextFormAndSwitchedOff) {
    Rig rig;
    rig.device->Clear(0, nullptr, 3, 0xFF000000u, 1.0f, 0);
    const auto clears = rig.system.log().All("Device::Clear");
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].args, Args(0, nullptr, 3, 0xFF000000u, 1.0f, 0));
    EXPECT_EQ(clears[0].object, "Device#3");

    rig.system.log().Enable(false);
    rig.system.log().Clear();
    rig.device->Clear(0, nullptr, 3, 0, 1.0f, 0);
    EXPECT_EQ(rig.system.log().size(), 0u);
    EXPECT_EQ(rig.system.device().clears, 2);
}

TEST(RecordInput, ReadsFollowTheScriptAndALostDeviceNeedsAcquire) {
    RecordSystem system;
    std::unique_ptr<InputSystem> input;
    ASSERT_EQ(system.DirectInput8Create(dinput::VERSION, input), kOk);
    std::unique_ptr<InputDevice> mouse;
    ASSERT_EQ(input->CreateDevice(DeviceGuid::SysMouse, mouse), kOk);
    MouseState2 state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kNotAcquired);
    mouse->SetDataFormat(DataFormat::Mouse2);
    ASSERT_EQ(mouse->Acquire(), kOk);

    system.ScriptMouse({.lX = 5, .lY = -3, .lZ = 120, .rgbButtons = {0x80}});
    system.faults().mouse.getDeviceState = FailPlan::Nth(2, kInputLost);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kOk);
    EXPECT_EQ(state.lX, 5);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kInputLost);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kNotAcquired);
    mouse->Acquire();
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), kOk);
    EXPECT_EQ(state.lX, 0);  // the script has run out: no motion
    EXPECT_NE(mouse->GetDeviceState(8, &state), kOk);

    DeviceCaps caps{};
    EXPECT_NE(mouse->GetCapabilities(caps), kOk);  // dwSize not set
    caps.dwSize = sizeof caps;
    ASSERT_EQ(mouse->GetCapabilities(caps), kOk);
    EXPECT_EQ(caps.dwFlags & dinput::DIDC_ATTACHED, dinput::DIDC_ATTACHED);
    EXPECT_EQ(system.live().inputDevices, 1);
}

}  // namespace
}  // namespace platform::record
