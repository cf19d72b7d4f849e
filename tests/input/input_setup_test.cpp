#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_session.h"
#include "input_rig.h"

namespace input::testing {
namespace {

using platform::record::FailPlan;
using I = platform::record::InputDeviceFaults;
using Calls = std::vector<std::string>;
using Inject = std::function<void(record::RecordSystem&)>;

Inject Keyboard(FailPlan I::*step) {
    return [step](record::RecordSystem& s) { s.faults().keyboard.*step = FailPlan::Always(); };
}
Inject Mouse(FailPlan I::*step) {
    return [step](record::RecordSystem& s) { s.faults().mouse.*step = FailPlan::Always(); };
}

struct SetupFailure {
    const char* name;
    Inject inject;
    const char* text;
    const char* caption;
    Calls teardown;  // what destruction releases: just what set-up made
};

const Calls kNothing{};
const Calls kSystem{"InputSystem::Release"};
const Calls kKeyboard{"Keyboard::Unacquire", "Keyboard::Release", "InputSystem::Release"};
const Calls kBoth{"Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire", "Mouse::Release",
                  "InputSystem::Release"};

const SetupFailure kFailures[] = {
    {"DirectInput", [](auto& s) { s.faults().directInputCreate = FailPlan::Always(); },
     "DirectInput8Create() failed!", "InitDirectInput()", kNothing},
    {"KeyboardCreate", Keyboard(&I::create), "CreateDevice() failed!", "InitKeyboard()", kSystem},
    {"KeyboardFormat", Keyboard(&I::setDataFormat), "SetDataFormat() failed!", "InitKeyboard()",
     kKeyboard},
    {"KeyboardLevel", Keyboard(&I::setCooperativeLevel), "SetCooperativeLevel() failed!",
     "InitKeyboard()", kKeyboard},
    {"KeyboardAcquire", Keyboard(&I::acquire), "Acquire() failed!", "InitKeyboard()", kKeyboard},
    {"MouseCreate", Mouse(&I::create), "CreateDevice() failed!", "InitMouse()", kKeyboard},
    {"MouseFormat", Mouse(&I::setDataFormat), "SetDataFormat() failed!", "InitMouse()", kBoth},
    {"MouseLevel", Mouse(&I::setCooperativeLevel), "SetCooperativeLevel() failed!", "InitMouse()",
     kBoth},
    {"MouseAcquire", Mouse(&I::acquire), "Acquire() failed!", "InitMouse()", kBoth},
    {"MouseDetached", [](auto& s) { s.recorder().mouseCaps.dwFlags = 0; },
     "Mouse is currently not attached!", "InitMouse()", kBoth},
    // A failed capabilities query reads as no mouse, whatever the record holds.
    {"MouseCapsFail", Mouse(&I::getCapabilities), "Mouse is currently not attached!", "InitMouse()",
     kBoth},
};

class InputSetupFailure : public ::testing::TestWithParam<SetupFailure> {};

TEST_P(InputSetupFailure, ReportsOnceStopsTheProgramAndReleasesWhatWasMade) {
    const SetupFailure& failure = GetParam();
    record::RecordSystem system;
    failure.inject(system);
    {
        app::GameSession session(system);
        EXPECT_FALSE(session.running());
        ASSERT_EQ(system.messageBoxes().size(), 1u) << system.log().ToString();
        const auto& box = system.messageBoxes()[0];
        EXPECT_EQ(box.text, failure.text);
        EXPECT_EQ(box.caption, failure.caption);
        EXPECT_EQ(box.type, 0u);
        EXPECT_EQ(box.owner, "Window#1");

        EXPECT_EQ(session.Run(), 0);
        EXPECT_EQ(system.log().Count("PeekMessageA"), 0u);  // the loop never started
        EXPECT_EQ(system.device().beginScenes, 0);
        EXPECT_EQ(system.log().Count("Device::CreateTextureFromFileExA"), 0u);
        system.log().Clear();
    }
    Calls teardown = failure.teardown;  // then the board, which has no buffers, and the rest
    teardown.insert(teardown.end(),
                    {"Font::Release", "UnregisterClassA", "Device::Release", "Graphics::Release"});
    EXPECT_EQ(system.log().Calls(), teardown);
    EXPECT_EQ(system.live().Total(), 0);
    EXPECT_EQ(system.messageBoxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, InputSetupFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InputSetup, BothDevicesAreReadInTheBackgroundWithoutTakingThemFromOthers) {
    InputRig rig;
    rig.Start();
    EXPECT_TRUE(rig.running);
    const auto& log = rig.system.log();
    EXPECT_EQ(log[log.Find("Keyboard::SetCooperativeLevel")].args[1], "10");
    EXPECT_EQ(log[log.Find("Mouse::SetCooperativeLevel")].args[1], "10");
    EXPECT_NE(rig.input->cursorTexture(), nullptr);
}

}  // namespace
}  // namespace input::testing
