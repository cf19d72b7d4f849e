// Start-up makes the window, the device, the menu font and the input devices in order;
// Esc ends the run after its pass, and teardown gives everything up in the order the owners
// depend on.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using StartAndTeardown = SessionTest;

TEST_F(StartAndTeardown, StartUpMakesWindowDeviceFontAndInputInOrder) {
    Start();
    EXPECT_TRUE(session->running());
    Calls made = log().Calls();
    // The device settings are the reset test's.
    std::erase_if(made, [](const std::string& call) { return call.starts_with("Device::Set"); });
    EXPECT_EQ(
        made,
        (Calls{"InitCommonControls", "RegisterClassExA", "CreateWindowExA", "Direct3DCreate9",
               "Graphics::CreateDevice", "ShowCursor", "Device::CreateFontIndirectA",
               "DirectInput8Create", "InputSystem::CreateDevice", "Keyboard::SetDataFormat",
               "Keyboard::SetCooperativeLevel", "Keyboard::Acquire", "InputSystem::CreateDevice",
               "Mouse::SetDataFormat", "Mouse::SetCooperativeLevel", "Mouse::Acquire",
               "Mouse::GetCapabilities", "Device::CreateTextureFromFileExA"}))
        << log().ToString();

    EXPECT_EQ(log()[Find("RegisterClassExA")].args, Args("ClassName", 3));
    EXPECT_EQ(log()[Find("CreateWindowExA")].args,
              Args(platform::WindowDesc{"ClassName", "Tavorin", 0, 0x10CA0000, 30, 30, 1280, 760}));
    EXPECT_EQ(log()[Find("ShowCursor")].args, Args(true));
    platform::PresentParams params{.BackBufferWidth = 1280,
                                   .BackBufferHeight = 768,
                                   .BackBufferFormat = 23,
                                   .SwapEffect = 1,
                                   .hDeviceWindow = session->application.window.get(),
                                   .Windowed = 1,
                                   .EnableAutoDepthStencil = 1,
                                   .AutoDepthStencilFormat = 80};
    EXPECT_EQ(log()[Find("Graphics::CreateDevice")].args, Args(0, 1, "Window#1", 0x20, params));
    EXPECT_TRUE(system.messageBoxes().empty());
}

TEST_F(StartAndTeardown, EscEndsAfterItsPassDrewAFrameThenInputBoardFontClassDeviceGo) {
    Start();
    StartPlaying();
    system.log().Clear();
    EXPECT_EQ(RunToEsc(), 0x1B);
    EXPECT_EQ(Count("PeekMessageA"), 1u);  // the loop stopped right after that pass
    EXPECT_EQ(log().CallsFrom(Find("Window::Destroy") + 1, "Device::"),
              (Calls{"Device::TestCooperativeLevel", "Device::Clear", "Device::BeginScene",
                     "Device::SetTransform", "Device::SetStreamSource", "Device::SetIndices",
                     "Device::DrawIndexedPrimitive", "Device::EndScene", "Device::Present"}));

    const auto mark = log().size();
    End();
    EXPECT_EQ(log().CallsFrom(mark),
              (Calls{"Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire",
                     "Mouse::Release", "InputSystem::Release", "Texture::Release",
                     "VertexBuffer::Release", "IndexBuffer::Release", "Font::Release",
                     "UnregisterClassA", "Device::Release", "Graphics::Release"}))
        << log().ToString();
    EXPECT_EQ(log()[log().FindLast("UnregisterClassA")].args, Args("ClassName"));
    EXPECT_EQ(system.live().Total(), 0);
}

}  // namespace
}  // namespace app::testing
