// The frame loop: what one pass does and in which order, one message per pass, and frames
// skipped while the device is lost.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using FrameLoop = SessionTest;

// The calls of one pass that the order is about.
std::vector<std::string> PassOutline(const record::CallLog& log) {
    std::vector<std::string> outline;
    for (const auto& e : log.entries()) {
        if (e.call == "PeekMessage" || e.call == "TranslateMessage" ||
            e.call == "DispatchMessage" || e.call.ends_with("GetDeviceState") ||
            e.call == "Device::TestCooperativeLevel" || e.call == "Device::Clear" ||
            e.call == "Device::BeginScene" || e.call == "Device::EndScene" ||
            e.call == "Device::Present" || e.call == "Font::DrawText") {
            outline.push_back(e.call);
        }
    }
    return outline;
}

TEST_F(FrameLoop, OnePassHandlesAMessageReadsInputChecksTheDeviceThenDrawsAFrame) {
    Start();
    system.log().Clear();
    system.PostKeyDown('T');
    session->Pass();
    EXPECT_EQ(PassOutline(log()),
              (std::vector<std::string>{
                  "PeekMessage", "TranslateMessage", "DispatchMessage", "Keyboard::GetDeviceState",
                  "Mouse::GetDeviceState", "Device::TestCooperativeLevel", "Device::Clear",
                  "Device::BeginScene", "Font::DrawText", "Font::DrawText", "Font::DrawText",
                  "Font::DrawText", "Device::EndScene", "Device::Present"}))
        << log().ToString();
    EXPECT_EQ(log()[Find("Device::Clear")].args, Args(0, nullptr, 3, 0xFF000000u, 1.0f, 0));
    EXPECT_EQ(log()[Find("Keyboard::GetDeviceState")].args, Args(256));
    EXPECT_EQ(log()[Find("Mouse::GetDeviceState")].args, Args(20));
    // The key was carried out in its own pass: the rules page is what this frame drew.
    EXPECT_EQ(state(), Tutorial);
    EXPECT_EQ(session->flow.currentRow, 0);

    // A pass without a message goes straight to the input update.
    system.log().Clear();
    session->Pass();
    EXPECT_EQ(PassOutline(log())[0], "PeekMessage");
    EXPECT_EQ(PassOutline(log())[1], "Keyboard::GetDeviceState");
    EXPECT_EQ(system.device().invalidCalls, 0);
}

TEST_F(FrameLoop, TheMenuShowsFirstAndEachPassTakesOneMessageInOrder) {
    Start();
    EXPECT_EQ(session->flow.currentRow, -1);
    session->Pass();
    EXPECT_EQ(state(), Menu);
    EXPECT_EQ(session->flow.currentRow, 0);
    const auto menu = log().All("Font::DrawText");
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].args, Args("Start", -1, platform::Rect{300, 600, 780, 650}, 0, 0xFFFF0000u));

    system.PostKeyDown('S');
    system.PostKeyDown('T');
    system.Post(platform::WM_KEYUP, 'T');
    session->Pass();
    EXPECT_EQ(system.pendingMessages(), 2u);
    EXPECT_EQ(state(), Playing);  // S: the new game ran in this very pass
    session->Pass();
    EXPECT_EQ(state(), Tutorial);
    session->Pass();
    EXPECT_EQ(system.pendingMessages(), 0u);
    EXPECT_EQ(system.device().presents, 4);
}

TEST_F(FrameLoop, TwoKeysInOneFrameAreCarriedOutInTheirOwnPassesWithCharactersBetween) {
    system.recorder().translateKeys = true;
    Start();
    StartPlaying();  // S and its character
    session->Pass();
    system.PostKeyDown('C');
    system.PostKeyDown('T');
    const auto checked = system.device().draws;
    session->Pass();
    EXPECT_EQ(session->flow.currentRow, 1);  // C ran in its own pass
    session->Pass();                         // its character: no command
    EXPECT_EQ(state(), Playing);
    EXPECT_EQ(system.device().draws, checked + 1);
    session->Pass();
    EXPECT_EQ(state(), Tutorial);
    EXPECT_EQ(system.pendingMessages(), 1u);  // T's character is still to come
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
    EXPECT_EQ(state(), NewDeal);  // waiting
    // Input is still read while lost.
    EXPECT_EQ(Count("Keyboard::GetDeviceState"), static_cast<std::size_t>(3 + 2));

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

TEST_F(FrameLoop, RunEndsOnEscAfterThatPassStillDrewItsFrame) {
    Start();
    StartPlaying();
    system.log().Clear();
    EXPECT_EQ(RunToEsc(), 0x1B);
    EXPECT_FALSE(session->running());
    const auto destroyed = Find("Window::Destroy");
    ASSERT_NE(destroyed, record::CallLog::npos);
    EXPECT_EQ(log().CallsFrom(destroyed + 1, "Device::"),
              (std::vector<std::string>{
                  "Device::TestCooperativeLevel", "Device::Clear", "Device::BeginScene",
                  "Device::SetTransform", "Device::SetStreamSource", "Device::SetIndices",
                  "Device::DrawIndexedPrimitive", "Device::EndScene", "Device::Present"}));
    EXPECT_EQ(Count("PeekMessage"), 1u);  // the loop stopped right after that pass
}

TEST_F(FrameLoop, TheResultIsTheLastMessagesWParamOrZero) {
    Start();
    system.PostKeyDown('Q');
    EXPECT_EQ(session->Run(), 'Q');

    End();
    record::RecordSystem quiet;
    GameSession other(quiet);
    quiet.PostClose();
    EXPECT_EQ(other.Run(), 0);
}

}  // namespace
}  // namespace app::testing
