// The frame loop: what one pass does and in which order, one message per pass, and frames
// skipped while the device is lost.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using FrameLoop = SessionTest;

TEST_F(FrameLoop, OnePassHandlesAMessageReadsInputChecksTheDeviceThenDrawsAFrame) {
    Start();
    system.log().Clear();
    system.PostKeyDown('A');  // no command: the menu frame follows
    session->Pass();
    EXPECT_EQ(log().Calls(), (Calls{"PeekMessageA", "TranslateMessage", "DispatchMessageA",
                                    "Keyboard::GetDeviceState", "Mouse::GetDeviceState",
                                    "Device::TestCooperativeLevel", "Device::Clear",
                                    "Device::BeginScene", "Font::DrawTextA", "Font::DrawTextA",
                                    "Font::DrawTextA", "Device::EndScene", "Device::Present"}))
        << log().ToString();
    EXPECT_EQ(log()[Find("Device::Clear")].args, Args(0, nullptr, 3, 0xFF000000u, 1.0f, 0));
    EXPECT_EQ(log()[Find("Device::Present")].args, Args());
    EXPECT_EQ(system.device().invalidCalls, 0);
}

TEST_F(FrameLoop, EachPassTakesOneMessageSoTwoKeysInAFrameRunInTheirOwnPasses) {
    system.recorder().translateKeys = true;
    Start();
    session->Pass();
    EXPECT_EQ(state(), Menu);
    system.PostKeyDown('S');
    system.PostKeyDown('T');
    session->Pass();
    EXPECT_EQ(state(), Playing);  // S: the new game ran in this very pass
    EXPECT_EQ(system.device().draws, 0);
    session->Pass();  // S's character: no command, the board drawn
    EXPECT_EQ(state(), Playing);
    EXPECT_EQ(system.device().draws, 1);
    session->Pass();
    EXPECT_EQ(state(), Tutorial);
    EXPECT_EQ(system.pendingMessages(), 1u);  // T's character is still to come
    EXPECT_EQ(system.device().presents, 4);
}

TEST_F(FrameLoop, WhileTheDeviceIsLostFramesAreSkippedAndAKeyWaitsForTheFirstFrameDrawn) {
    Start();
    StartPlaying();
    const auto drawn = system.device().presents;
    system.LoseDevice(3);
    system.PostKeyDown('N');
    Passes(3);
    EXPECT_EQ(system.device().presents, drawn);
    EXPECT_EQ(system.device().clears, drawn);
    EXPECT_EQ(system.device().callsWhileLost, 0);
    EXPECT_EQ(state(), NewDeal);                            // waiting
    EXPECT_EQ(Count("Keyboard::GetDeviceState"), 2u + 3u);  // input is still read while lost

    system.log().Clear();
    session->Pass();  // not reset: reset, then the deal runs in this frame
    EXPECT_EQ(state(), Playing);
    EXPECT_EQ(system.device().presents, drawn + 1);
    EXPECT_LT(Find("Device::Reset"), Find("Device::CreateVertexBuffer"));
    EXPECT_EQ(Count("Device::DrawIndexedPrimitive"), 0u);  // the deal's frame shows no board
    session->Pass();
    EXPECT_EQ(Count("Device::DrawIndexedPrimitive"), 1u);
    EXPECT_EQ(system.device().invalidCalls, 0);
}

}  // namespace
}  // namespace app::testing
