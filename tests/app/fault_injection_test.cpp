// Every platform call the game makes at start-up and per frame, made to fail: each gives its
// message (or none), then a clean exit or a skipped frame, never a crash or a leak.

#include <functional>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::FailPlan;

struct StartUpFault {
    const char* name;
    std::function<void(record::Recorder&)> inject;
    const char* text;  // null: the program runs on without a message
    const char* caption;
};

class StartUpFaults : public SessionTest, public ::testing::WithParamInterface<StartUpFault> {};

TEST_P(StartUpFaults, ReportOnceThenEndWithoutAFrameOrRunOnQuietly) {
    const StartUpFault& fault = GetParam();
    fault.inject(system.recorder());
    Start();
    const int result = RunToEsc();
    if (fault.text) {
        EXPECT_EQ(Boxes(), (testing::Boxes{{fault.text, fault.caption}}));
        EXPECT_EQ(result, 0);
        EXPECT_EQ(system.device().presents, 0);
        EXPECT_EQ(Count("PeekMessage"), 0u);
    } else {
        EXPECT_TRUE(system.messageBoxes().empty());
        EXPECT_EQ(result, 0x1B);
        EXPECT_EQ(system.device().presents, 1);
    }
    EXPECT_EQ(system.device().invalidCalls, 0);
    End();
    EXPECT_EQ(system.live().Total(), 0) << "leaked";
}

template <FailPlan record::InputDeviceFaults::*Step>
std::function<void(record::Recorder&)> Keyboard() {
    return [](record::Recorder& r) { r.faults.keyboard.*Step = FailPlan::Always(); };
}
template <FailPlan record::InputDeviceFaults::*Step>
std::function<void(record::Recorder&)> Mouse() {
    return [](record::Recorder& r) { r.faults.mouse.*Step = FailPlan::Always(); };
}
std::function<void(record::Recorder&)> Fail(FailPlan record::Faults::*plan) {
    return [plan](record::Recorder& r) { r.faults.*plan = FailPlan::Always(); };
}

using F = record::Faults;
using I = record::InputDeviceFaults;

INSTANTIATE_TEST_SUITE_P(
    EachCall, StartUpFaults,
    ::testing::Values(
        StartUpFault{"CreateWindow", Fail(&F::createWindow), "CreateDevice() failed!", "InitD3D()"},
        StartUpFault{"Direct3DCreate9", Fail(&F::direct3DCreate), "Direct3DCreate9() failed!",
                     "InitD3D()"},
        StartUpFault{"CreateDevice", Fail(&F::createDevice), "CreateDevice() failed!", "InitD3D()"},
        StartUpFault{"CreateFont", Fail(&F::createFont), nullptr, nullptr},
        StartUpFault{"DirectInput8Create", Fail(&F::directInputCreate),
                     "DirectInput8Create() failed!", "InitDirectInput()"},
        StartUpFault{"KeyboardCreate", Keyboard<&I::create>(), "CreateDevice() failed!",
                     "InitKeyboard()"},
        StartUpFault{"KeyboardSetDataFormat", Keyboard<&I::setDataFormat>(),
                     "SetDataFormat() failed!", "InitKeyboard()"},
        StartUpFault{"KeyboardSetCooperativeLevel", Keyboard<&I::setCooperativeLevel>(),
                     "SetCooperativeLevel() failed!", "InitKeyboard()"},
        StartUpFault{"KeyboardAcquire", Keyboard<&I::acquire>(), "Acquire() failed!",
                     "InitKeyboard()"},
        StartUpFault{"MouseCreate", Mouse<&I::create>(), "CreateDevice() failed!", "InitMouse()"},
        StartUpFault{"MouseSetDataFormat", Mouse<&I::setDataFormat>(), "SetDataFormat() failed!",
                     "InitMouse()"},
        StartUpFault{"MouseSetCooperativeLevel", Mouse<&I::setCooperativeLevel>(),
                     "SetCooperativeLevel() failed!", "InitMouse()"},
        StartUpFault{"MouseAcquire", Mouse<&I::acquire>(), "Acquire() failed!", "InitMouse()"},
        StartUpFault{"MouseGetCapabilities", Mouse<&I::getCapabilities>(),
                     "Mouse is currently not attached!", "InitMouse()"},
        StartUpFault{"MouseNotAttached", [](record::Recorder& r) { r.mouseCaps.dwFlags = 0; },
                     "Mouse is currently not attached!", "InitMouse()"},
        StartUpFault{"CursorImage", Fail(&F::loadTexture), nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

using FrameFaults = SessionTest;

TEST_F(FrameFaults, AFailingKeyboardReadIsShownOncePerRunAndTheFramesGoOn) {
    Start();
    StartPlaying();
    const auto drawn = system.device().presents;
    system.faults().keyboard.getDeviceState = FailPlan::Times(4);
    Passes(6);
    EXPECT_EQ(Boxes(), (testing::Boxes{{"GetDeviceState() failed!", "Update()"}}));
    EXPECT_EQ(system.device().presents, drawn + 6);  // the update's result stops nothing
    system.faults().keyboard.getDeviceState = FailPlan::Times(1);
    Passes(2);
    EXPECT_EQ(system.messageBoxes().size(), 2u);
    EXPECT_EQ(RunToEsc(), 0x1B);
}

TEST_F(FrameFaults, LostKeyboardAndMouseAreTakenBackWithoutAMessage) {
    Start();
    StartPlaying();
    system.log().Clear();
    system.faults().keyboard.getDeviceState = FailPlan::Nth(1, platform::kInputLost);
    system.faults().mouse.getDeviceState = FailPlan::Nth(2, platform::kInputLost);
    Passes(4);
    EXPECT_EQ(Count("Keyboard::Acquire"), 1u);
    EXPECT_EQ(Count("Mouse::Acquire"), 1u);
    EXPECT_TRUE(system.messageBoxes().empty());
    // Reads work again afterwards: the last pass read both.
    const auto last = log().FindLast("Keyboard::GetDeviceState");
    EXPECT_EQ(log()[last + 1].call, "Mouse::GetDeviceState");
    EXPECT_EQ(system.device().presents, 2 + 4);
}

TEST_F(FrameFaults, FailingScenesAndPresentsStopNeitherTheGameNorTheLoop) {
    Start();
    system.faults().beginScene = FailPlan::Times(2);
    system.faults().present = FailPlan::Times(3, platform::kDeviceLost);
    system.PostKeyDown('S');
    Passes(4);
    EXPECT_EQ(state(), Playing);  // the new game ran though its scene did not begin
    EXPECT_EQ(system.device().presents, 4);
    EXPECT_EQ(system.device().draws, 2);  // the board is back once scenes begin again
    EXPECT_TRUE(system.messageBoxes().empty());
    EXPECT_EQ(RunToEsc(), 0x1B);
}

TEST_F(FrameFaults, MouseMotionMovesTheCursorWithinTheBackBuffer) {
    Start();
    EXPECT_EQ(session->inputManager->cursorX, 640.0f);
    EXPECT_EQ(session->inputManager->cursorY, 384.0f);
    system.ScriptMouse({.lX = 100000, .lY = -100000});
    system.ScriptMouse({.lX = -7, .lY = 5});
    session->Pass();
    EXPECT_EQ(session->inputManager->cursorX, 1280.0f);
    EXPECT_EQ(session->inputManager->cursorY, 0.0f);
    session->Pass();
    EXPECT_EQ(session->inputManager->cursorX, 1273.0f);
    EXPECT_EQ(session->inputManager->cursorY, 5.0f);
}

TEST_F(FrameFaults, WithoutTheMenuFontTheGameStillPlaysAndResets) {
    system.faults().createFont = FailPlan::Nth(1);
    Start();
    Passes(2);
    EXPECT_EQ(Count("Font::DrawText"), 0u);  // nothing drawn through a missing font
    StartPlaying();
    system.LoseDevice(0);
    session->Pass();
    EXPECT_EQ(system.device().resets, 1);
    EXPECT_EQ(Count("Font::OnLostDevice"), 0u);
    EXPECT_EQ(system.device().draws, 2);
    EXPECT_EQ(RunToEsc(), 0x1B);
    End();
    EXPECT_EQ(system.live().Total(), 0);
}

TEST_F(FrameFaults, RulesPageFontsThatFailSkipTheirItemsOnly) {
    Start();
    system.PostKeyDown('T');
    system.faults().createFont = FailPlan::Nth(2);
    session->Pass();
    const auto drawn = log().All("Font::DrawText");
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].args[0], "Objective of the game");
    EXPECT_EQ(drawn[1].args[0], "Rules of the game");
    EXPECT_EQ(system.live().fonts, 1);  // only the menu font outlives the frame
    EXPECT_EQ(system.device().invalidCalls, 0);
}

}  // namespace
}  // namespace app::testing
