// Start-up: the window and device settings, and the failures that end the program before
// its first frame.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using record::FailPlan;
using StartUp = SessionTest;

TEST_F(StartUp, StartUpMakesTheWindowDeviceAndMenuFontInOrder) {
    Start();
    EXPECT_TRUE(session->running());
    std::vector<std::string> expected = {
        "InitCommonControls",     "RegisterClass",          "CreateWindow",
        "Direct3DCreate9",        "Graphics::CreateDevice", "ShowCursor",
        "Device::SetTransform",   "Device::SetRenderState", "Device::SetRenderState",
        "Device::SetRenderState", "Device::SetRenderState"};
    expected.insert(expected.end(), 8 * 4, "Device::SetSamplerState");
    expected.insert(
        expected.end(),
        {"Device::SetFVF", "Device::CreateFontIndirect", "DirectInput8Create",
         "InputSystem::CreateDevice", "Keyboard::SetDataFormat", "Keyboard::SetCooperativeLevel",
         "Keyboard::Acquire", "InputSystem::CreateDevice", "Mouse::SetDataFormat",
         "Mouse::SetCooperativeLevel", "Mouse::Acquire", "Mouse::GetCapabilities",
         "Device::CreateTextureFromFileEx"});
    EXPECT_EQ(log().Calls(), expected) << log().ToString();

    EXPECT_EQ(log()[log().Find("RegisterClass")].args, Args("ClassName", 3));
    EXPECT_EQ(log()[log().Find("CreateWindow")].args,
              Args(platform::WindowDesc{"ClassName", "Tavorin", 0, 0x10CA0000, 30, 30, 1280, 760}));
    EXPECT_EQ(log()[log().Find("Direct3DCreate9")].args, Args(32));
    EXPECT_EQ(log()[log().Find("ShowCursor")].args, Args(true));

    platform::PresentParams params{};
    params.BackBufferWidth = 1280;
    params.BackBufferHeight = 768;
    params.BackBufferFormat = 23;
    params.SwapEffect = 1;
    params.hDeviceWindow = session->application.window.get();
    params.Windowed = 1;
    params.EnableAutoDepthStencil = 1;
    params.AutoDepthStencilFormat = 80;
    EXPECT_EQ(system.device().createParams, params);
    EXPECT_EQ(log()[log().Find("Graphics::CreateDevice")].args,
              Args(0, 1, "Window#1", 0x20, params));
    EXPECT_TRUE(system.messageBoxes().empty());
}

TEST_F(StartUp, WithoutGraphicsTheProgramReportsAndEndsWithoutAFrame) {
    system.faults().direct3DCreate = FailPlan::Always();
    Start();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(Boxes(), (testing::Boxes{{"Direct3DCreate9() failed!", "InitD3D()"}}));
    EXPECT_EQ(system.messageBoxes()[0].owner, "Window#1");
    EXPECT_EQ(session->Run(), 0);
    EXPECT_EQ(session->inputManager, nullptr);
    EXPECT_EQ(session->game, nullptr);
    EXPECT_EQ(log().Calls("Device::"), std::vector<std::string>{});
    EXPECT_EQ(Count("Graphics::CreateDevice"), 0u);
    EXPECT_EQ(Count("DirectInput8Create"), 0u);
    EXPECT_EQ(Count("PeekMessage"), 0u);
    EXPECT_EQ(Count("ShowCursor"), 1u);  // shown whatever became of the device
    session->Pass();                     // a caller that passes anyway gets no frame and no crash
    EXPECT_EQ(log().Calls("Device::"), std::vector<std::string>{});
    End();
    EXPECT_EQ(system.live().Total(), 0);
}

TEST_F(StartUp, AFailedDeviceIsReportedAndNoSettingIsApplied) {
    system.faults().createDevice = FailPlan::Always(platform::kInvalidCall);
    Start();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(Boxes(), (testing::Boxes{{"CreateDevice() failed!", "InitD3D()"}}));
    EXPECT_EQ(session->Run(), 0);
    EXPECT_EQ(log().Calls("Device::"), std::vector<std::string>{});
    EXPECT_EQ(Count("DirectInput8Create"), 0u);
    EXPECT_EQ(system.live().devices, 0);
    const auto before = log().size();
    End();
    // Only the Direct3D object and the class are left to give up.
    EXPECT_EQ(log().CallsFrom(before),
              (std::vector<std::string>{"UnregisterClass", "Graphics::Release"}));
    EXPECT_EQ(system.live().Total(), 0);
}

TEST_F(StartUp, AMissingWindowShowsAsAFailedDevice) {
    system.faults().createWindow = FailPlan::Always();
    Start();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(Boxes(), (testing::Boxes{{"CreateDevice() failed!", "InitD3D()"}}));
    EXPECT_EQ(system.messageBoxes()[0].owner, "null");
    EXPECT_EQ(session->Run(), 0);
    End();
    EXPECT_EQ(system.live().Total(), 0);
}

}  // namespace
}  // namespace app::testing
