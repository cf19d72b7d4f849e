// One frame's input update: the cursor follows the mouse within the back buffer, and failed
// or lost reads neither move it nor lock the player out.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "input_rig.h"

namespace input::testing {
namespace {

using platform::record::FailPlan;

TEST(Cursor, StartsCentredAndStaysWithinTheBackBufferBothEndsIncluded) {
    struct Motion {
        bool invert;
        float sensitivity;
        int32_t dx, dy;
        float x, y;  // from (640, 384)
    };
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const Motion motions[] = {
        {false, 1, 10, -20, 650, 364},
        {false, 1, kMin, kMin, 0, 0},       // the widest motions neither overflow nor escape
        {false, 1, kMax, kMax, 1280, 768},  // the size itself, not one less
        {true, 1, 0, 10, 640, 374},         // downward motion moves an inverted cursor up
        {true, 1, 0, kMin, 640, 768},       // negating the most negative motion must not overflow
        {false, 0.5f, 3, -3, 641.5f, 382.5f},
        // A sensitivity that makes no number pins the cursor instead of losing it.
        {false, std::numeric_limits<float>::quiet_NaN(), 1, 1, 0, 0},
    };
    for (const Motion& m : motions) {
        SCOPED_TRACE(::testing::Message() << m.dx << ", " << m.dy << " inverted " << m.invert);
        InputRig rig;
        InputManager& input = rig.Start();
        EXPECT_EQ(input.cursorX(), 640.0f);
        EXPECT_EQ(input.cursorY(), 384.0f);
        input.SetCursorMode(m.invert, m.sensitivity);
        EXPECT_TRUE(rig.Move(m.dx, m.dy));
        EXPECT_EQ(input.cursorX(), m.x);
        EXPECT_EQ(input.cursorY(), m.y);
        if (m.x == 1280.0f) {
            rig.Move(-1, -1);  // the bound itself was kept: one step back is inside at once
            EXPECT_EQ(input.cursorX(), 1279.0f);
            EXPECT_EQ(input.cursorY(), 767.0f);
        }
    }
}

TEST(Update, FailedOrLostMouseReadsMoveNothingAndALostMouseIsTakenBackQuietly) {
    InputRig rig;
    InputManager& input = rig.Start();
    rig.Move(50, 20);
    // Last frame's motion is still in the state; it must not be counted again.
    rig.system.faults().mouse.getDeviceState = FailPlan::Nth(1, platform::kInputLost);
    const std::size_t before = rig.system.log().size();
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(rig.system.log().CallsFrom(before),
              (std::vector<std::string>{"Keyboard::GetDeviceState", "Mouse::GetDeviceState",
                                        "Mouse::Acquire"}));
    EXPECT_TRUE(rig.Move(-10, 0));  // taken back, the next read works
    rig.system.faults().mouse.getDeviceState = FailPlan::Nth(1);
    EXPECT_TRUE(input.Update());  // other failures are neither answered nor shown
    EXPECT_EQ(input.cursorX(), 680.0f);
    EXPECT_EQ(input.cursorY(), 404.0f);
    EXPECT_EQ(rig.system.log().Count("Mouse::Acquire"), 2u);
    EXPECT_TRUE(rig.system.messageBoxes().empty());
}

TEST(Update, FailedKeyboardReadsAreShownOncePerRunAndLeaveTheCursorStill) {
    InputRig rig;
    InputManager& input = rig.Start();
    rig.system.faults().keyboard.getDeviceState = FailPlan::Times(3);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(rig.Move(100, 100)) << frame;
    }
    EXPECT_EQ(input.cursorX(), 640.0f);
    EXPECT_EQ(input.cursorY(), 384.0f);
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

    // A lost keyboard is taken back quietly; without that the next read would fail too.
    rig.system.faults().keyboard.getDeviceState = FailPlan::Nth(1, platform::kInputLost);
    const std::size_t mark = rig.system.log().size();
    EXPECT_FALSE(input.Update());
    EXPECT_EQ(rig.system.log().CallsFrom(mark),
              (std::vector<std::string>{"Keyboard::GetDeviceState", "Keyboard::Acquire"}));
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(rig.system.messageBoxes().size(), 2u);
}

}  // namespace
}  // namespace input::testing
