// Platform calls made to fail at start-up and per frame: each gives its message (or none),
// then a clean exit or a skipped frame, never a crash or a leak. The input devices' set-up
// and reads have their own table in the input tests; buffers and resets, theirs here.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::FailPlan;
using F = record::Faults;

struct StartUpFault {
    const char* name;
    FailPlan F::*plan;
    const char* text;  // null: the program runs on without a message
    const char* caption = nullptr;
    const char* owner = "Window#1";
    platform::HResult result = platform::kFail;
    // By name: the test framework would otherwise print the raw bytes, padding included.
    friend void PrintTo(const StartUpFault& fault, std::ostream* out) { *out << fault.name; }
};

class StartUpFaults : public SessionTest, public ::testing::WithParamInterface<StartUpFault> {};

TEST_P(StartUpFaults, ReportOnceThenEndWithoutAFrameOrRunOnQuietly) {
    const StartUpFault& fault = GetParam();
    system.faults().*fault.plan = FailPlan::Always(fault.result);
    Start();
    if (fault.text) {
        EXPECT_FALSE(session->running());
        ASSERT_EQ(ShownBoxes(), (Boxes{{fault.text, fault.caption}}));
        EXPECT_EQ(system.messageBoxes()[0].owner, fault.owner);
        EXPECT_EQ(Count("DirectInput8Create"), 0u);  // nothing made after the failure
        EXPECT_EQ(session->inputManager, nullptr);
        EXPECT_EQ(session->game, nullptr);
        EXPECT_EQ(RunToEsc(), 0);
        EXPECT_EQ(Count("PeekMessageA"), 0u);
        session->Pass();  // a caller that passes anyway gets no frame and no crash
        EXPECT_EQ(log().Calls("Device::"), Calls{});  // no setting, font, buffer or frame
    } else {
        StartPlaying();
        system.LoseDevice(0);  // the font, if any, is told around the reset
        session->Pass();
        EXPECT_EQ(system.device().resets, 1);
        EXPECT_EQ(system.device().draws, 2);
        EXPECT_EQ(RunToEsc(), 0x1B);
        EXPECT_TRUE(system.messageBoxes().empty());
    }
    EXPECT_EQ(system.device().invalidCalls, 0);
    End();
    EXPECT_EQ(system.live().Total(), 0) << "leaked";
}

INSTANTIATE_TEST_SUITE_P(
    EachCall, StartUpFaults,
    ::testing::Values(
        // A missing window is not reported itself: the device made for it fails.
        StartUpFault{"CreateWindowExA", &F::createWindow, "CreateDevice() failed!", "InitD3D()",
                     "null"},
        StartUpFault{"Direct3DCreate9", &F::direct3DCreate, "Direct3DCreate9() failed!",
                     "InitD3D()"},
        StartUpFault{"CreateDevice", &F::createDevice, "CreateDevice() failed!", "InitD3D()",
                     "Window#1", platform::kInvalidCall},
        StartUpFault{"CreateFont", &F::createFont, nullptr},
        StartUpFault{"CursorImage", &F::loadTexture, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

using FrameFaults = SessionTest;

TEST_F(FrameFaults, FailingReadsScenesAndPresentsStopNeitherTheGameNorTheLoop) {
    Start();
    system.faults().keyboard.getDeviceState = FailPlan::Always();
    system.faults().beginScene = FailPlan::Times(2);
    system.faults().present = FailPlan::Times(3, platform::kDeviceLost);
    system.PostKeyDown('S');
    Passes(50);
    EXPECT_EQ(state(), Playing);  // the new game ran though its scene did not begin
    EXPECT_EQ(system.device().presents, 50);
    EXPECT_EQ(system.device().draws, 50 - 2);  // the board, once scenes begin again
    // The failing reads are shown once, not every frame: Esc still ends the program.
    EXPECT_EQ(ShownBoxes(), (Boxes{{"GetDeviceState() failed!", "Update()"}}));
    EXPECT_EQ(RunToEsc(), 0x1B);
}

}  // namespace
}  // namespace app::testing
