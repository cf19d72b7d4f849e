// Teardown: everything given up, in the order the owners depend on.

#include "session_rig.h"

namespace app::testing {
namespace {

using Teardown = SessionTest;

TEST_F(Teardown, InputThenBoardThenFontThenClassThenDeviceThenGraphics) {
    Start();
    StartPlaying();
    EXPECT_EQ(RunToEsc(), 0x1B);
    const auto mark = log().size();
    End();
    const std::vector<std::string> order = log().CallsFrom(mark);
    EXPECT_EQ(order, (std::vector<std::string>{
                         "Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire",
                         "Mouse::Release", "InputSystem::Release", "Texture::Release",
                         "VertexBuffer::Release", "IndexBuffer::Release", "Font::Release",
                         "UnregisterClass", "Device::Release", "Graphics::Release"}))
        << log().ToString();
    EXPECT_EQ(log()[log().FindLast("UnregisterClass")].args, record::Args("ClassName"));
    EXPECT_EQ(system.live().Total(), 0);
}

TEST_F(Teardown, AFailedInputSetUpStillTearsEverythingDown) {
    system.faults().mouse.acquire = record::FailPlan::Always();
    Start();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(session->Run(), 0);
    EXPECT_EQ(system.device().presents, 0);
    ASSERT_NE(session->game, nullptr);  // the board is made and destroyed as usual
    const auto mark = log().size();
    End();
    EXPECT_EQ(
        log().CallsFrom(mark),
        (std::vector<std::string>{"Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire",
                                  "Mouse::Release", "InputSystem::Release", "Font::Release",
                                  "UnregisterClass", "Device::Release", "Graphics::Release"}));
    EXPECT_EQ(system.live().Total(), 0);
}

}  // namespace
}  // namespace app::testing
