#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_session.h"
#include "input_rig.h"

namespace input::testing {
namespace {

using platform::record::FailPlan;
using platform::record::Faults;
using Calls = std::vector<std::string>;

struct SetupFailure {
    const char* name;
    std::function<void(record::RecordSystem&)> inject;
    const char* text;
    const char* caption;
    Calls teardown;  // what destruction releases: just what set-up made
};

const Calls kKeyboardOnly{"Keyboard::Unacquire", "Keyboard::Release", "InputSystem::Release"};
const Calls kBothDevices{"Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire",
                         "Mouse::Release", "InputSystem::Release"};

const std::vector<SetupFailure> kFailures{
    {"DirectInput",
     [](auto& s) { s.faults().directInputCreate = FailPlan::Always(); },
     "DirectInput8Create() failed!",
     "InitDirectInput()",
     {}},
    {"KeyboardCreate",
     [](auto& s) { s.faults().keyboard.create = FailPlan::Always(); },
     "CreateDevice() failed!",
     "InitKeyboard()",
     {"InputSystem::Release"}},
    {"KeyboardFormat", [](auto& s) { s.faults().keyboard.setDataFormat = FailPlan::Always(); },
     "SetDataFormat() failed!", "InitKeyboard()", kKeyboardOnly},
    {"KeyboardLevel", [](auto& s) { s.faults().keyboard.setCooperativeLevel = FailPlan::Always(); },
     "SetCooperativeLevel() failed!", "InitKeyboard()", kKeyboardOnly},
    {"KeyboardAcquire", [](auto& s) { s.faults().keyboard.acquire = FailPlan::Always(); },
     "Acquire() failed!", "InitKeyboard()", kKeyboardOnly},
    {"MouseCreate",
     [](auto& s) { s.faults().mouse.create = FailPlan::Always(); },
     "CreateDevice() failed!",
     "InitMouse()",
     {"Keyboard::Unacquire", "Keyboard::Release", "InputSystem::Release"}},
    {"MouseFormat", [](auto& s) { s.faults().mouse.setDataFormat = FailPlan::Always(); },
     "SetDataFormat() failed!", "InitMouse()", kBothDevices},
    {"MouseLevel", [](auto& s) { s.faults().mouse.setCooperativeLevel = FailPlan::Always(); },
     "SetCooperativeLevel() failed!", "InitMouse()", kBothDevices},
    {"MouseAcquire", [](auto& s) { s.faults().mouse.acquire = FailPlan::Always(); },
     "Acquire() failed!", "InitMouse()", kBothDevices},
    {"MouseDetached", [](auto& s) { s.recorder().mouseCaps.dwFlags = 0; },
     "Mouse is currently not attached!", "InitMouse()", kBothDevices},
    // A failed capabilities query reads as no mouse, whatever the record holds.
    {"MouseCapsFail", [](auto& s) { s.faults().mouse.getCapabilities = FailPlan::Always(); },
     "Mouse is currently not attached!", "InitMouse()", kBothDevices},
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
        EXPECT_NE(box.owner, "null");  // owned by the game's window

        EXPECT_EQ(session.Run(), 0);
        EXPECT_EQ(system.device().beginScenes, 0);
        EXPECT_EQ(system.device().presents, 0);
        EXPECT_EQ(system.log().Count("Keyboard::GetDeviceState"), 0u);
        EXPECT_EQ(system.log().Count("Device::CreateTextureFromFileEx"), 0u);
        system.log().Clear();
    }
    EXPECT_EQ(InputCalls(system.log()), failure.teardown);
    EXPECT_EQ(system.live().inputDevices, 0);
    EXPECT_EQ(system.live().inputSystems, 0);
    EXPECT_EQ(system.messageBoxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, InputSetupFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InputSetup, OpensBothDevicesInTheBackgroundAndLoadsTheCursorImage) {
    InputRig rig;
    InputManager& input = rig.Start();
    EXPECT_TRUE(rig.running);
    EXPECT_TRUE(rig.system.messageBoxes().empty());

    const auto& log = rig.system.log();
    const std::vector<std::string> setup = log.Calls();
    const std::vector<std::string> expected{"DirectInput8Create",
                                            "InputSystem::CreateDevice",
                                            "Keyboard::SetDataFormat",
                                            "Keyboard::SetCooperativeLevel",
                                            "Keyboard::Acquire",
                                            "InputSystem::CreateDevice",
                                            "Mouse::SetDataFormat",
                                            "Mouse::SetCooperativeLevel",
                                            "Mouse::Acquire",
                                            "Mouse::GetCapabilities",
                                            "Device::CreateTextureFromFileEx"};
    EXPECT_EQ(setup, expected);
    EXPECT_EQ(log[2].args, record::Args(platform::DataFormat::Keyboard));
    EXPECT_EQ(log[3].args[1], "10");  // non-exclusive, background
    EXPECT_EQ(log[6].args, record::Args(platform::DataFormat::Mouse2));
    EXPECT_EQ(log[7].args[1], "10");
    EXPECT_EQ(log[10].args, record::Args("arrow.bmp", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0,
                                         1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u));

    EXPECT_EQ(input.axisCount, 3u);
    EXPECT_EQ(input.buttonCount, 8u);
    EXPECT_EQ(input.sensitivity, 1.0f);
    EXPECT_NE(input.cursorTexture, nullptr);

    const std::size_t before = log.size();
    rig.input.reset();
    EXPECT_EQ(InputCalls(rig.system.log(), before),
              (Calls{"Keyboard::Unacquire", "Keyboard::Release", "Mouse::Unacquire",
                     "Mouse::Release", "InputSystem::Release", "Texture::Release"}));
    EXPECT_EQ(rig.system.live().textures, 0);
}

}  // namespace
}  // namespace input::testing
