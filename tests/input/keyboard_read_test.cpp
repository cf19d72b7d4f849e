#include <gtest/gtest.h>

#include "app/game_session.h"
#include "input_rig.h"

namespace input::testing {
namespace {

using platform::record::FailPlan;

TEST(KeyboardRead, FailedReadsAreShownOncePerRunAndLeaveTheCursorStill) {
    InputRig rig;
    InputManager& input = rig.Start();
    rig.system.faults().keyboard.getDeviceState = FailPlan::Times(3);

    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(rig.Move(100, 100)) << frame;
        EXPECT_EQ(input.cursorX, 640.0f);
        EXPECT_EQ(input.cursorY, 384.0f);
    }
    EXPECT_EQ(rig.system.log().Count("Mouse::GetDeviceState"), 0u);
    ASSERT_EQ(rig.system.messageBoxes().size(), 1u);
    EXPECT_EQ(rig.system.messageBoxes()[0].text, "GetDeviceState() failed!");
    EXPECT_EQ(rig.system.messageBoxes()[0].caption, "Update()");

    // A good read in between: the next failure is a new run and is shown again.
    EXPECT_TRUE(input.Update());
    rig.system.faults().keyboard.getDeviceState = FailPlan::Times(2);
    EXPECT_FALSE(input.Update());
    EXPECT_FALSE(input.Update());
    EXPECT_EQ(rig.system.messageBoxes().size(), 2u);
}

TEST(KeyboardRead, LostKeyboardIsTakenBackQuietly) {
    InputRig rig;
    InputManager& input = rig.Start();
    rig.system.faults().keyboard.getDeviceState = FailPlan::Nth(1, platform::kInputLost);

    const std::size_t before = rig.system.log().size();
    EXPECT_FALSE(rig.Move(5, 5));
    EXPECT_EQ(input.cursorX, 640.0f);
    EXPECT_EQ(InputCalls(rig.system.log(), before),
              (std::vector<std::string>{"Keyboard::GetDeviceState", "Keyboard::Acquire"}));
    EXPECT_TRUE(rig.system.messageBoxes().empty());

    // Without the re-acquisition this read would find the keyboard unacquired.
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(input.cursorX, 645.0f);
    EXPECT_TRUE(rig.system.messageBoxes().empty());
}

TEST(KeyboardRead, PlayerCanStillQuitWhileEveryReadFails) {
    platform::record::RecordSystem system;
    system.faults().keyboard.getDeviceState = FailPlan::Always();
    app::GameSession session(system);
    ASSERT_TRUE(session.running());
    for (int i = 0; i < 50; ++i) {
        session.Pass();
    }
    system.PostKeyDown(platform::VK_ESCAPE);
    session.Run();
    EXPECT_FALSE(session.running());
    EXPECT_EQ(system.messageBoxes().size(), 1u);
    EXPECT_EQ(system.device().presents, 51);  // frames go on around the failing reads
}

}  // namespace
}  // namespace input::testing
