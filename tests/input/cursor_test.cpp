#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "input_rig.h"

namespace input::testing {
namespace {

using platform::record::FailPlan;

TEST(Cursor, StartsCentredFollowsTheMouseAndStaysWithinTheBackBufferBothEndsIncluded) {
    InputRig rig;
    InputManager& input = rig.Start();
    EXPECT_EQ(input.cursorX, 640.0f);
    EXPECT_EQ(input.cursorY, 384.0f);

    EXPECT_TRUE(rig.Move(10, -20));
    EXPECT_EQ(input.cursorX, 650.0f);
    EXPECT_EQ(input.cursorY, 364.0f);

    rig.Move(-100000, -100000);
    EXPECT_EQ(input.cursorX, 0.0f);
    EXPECT_EQ(input.cursorY, 0.0f);

    rig.Move(100000, 100000);
    EXPECT_EQ(input.cursorX, 1280.0f);  // the width itself, not one less
    EXPECT_EQ(input.cursorY, 768.0f);

    rig.Move(-1, -1);  // off the bound again at once
    EXPECT_EQ(input.cursorX, 1279.0f);
    EXPECT_EQ(input.cursorY, 767.0f);

    // The widest motions there are neither overflow nor escape the bounds.
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    rig.Move(kMin, kMin);
    EXPECT_EQ(input.cursorX, 0.0f);
    EXPECT_EQ(input.cursorY, 0.0f);
    rig.Move(kMax, kMax);
    EXPECT_EQ(input.cursorX, 1280.0f);
    EXPECT_EQ(input.cursorY, 768.0f);
}

TEST(Cursor, InvertedAndScaledMotion) {
    InputRig rig;
    InputManager& input = rig.Start();

    input.SetCursorMode(true, 1.0f);
    rig.Move(0, 10);  // downward mouse motion moves an inverted cursor up
    EXPECT_EQ(input.cursorY, 374.0f);
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    rig.Move(0, kMin);  // negating the most negative motion must not overflow
    EXPECT_EQ(input.cursorY, 768.0f);

    input.SetCursorMode(false, 0.5f);
    rig.Move(3, -3);
    EXPECT_EQ(input.cursorX, 641.5f);
    EXPECT_EQ(input.cursorY, 766.5f);

    // A sensitivity that makes no number pins the cursor instead of losing it.
    input.SetCursorMode(false, std::numeric_limits<float>::quiet_NaN());
    rig.Move(1, 1);
    EXPECT_EQ(input.cursorX, 0.0f);
    EXPECT_EQ(input.cursorY, 0.0f);
}

TEST(Cursor, FailedMouseReadMovesNothingAndALostMouseIsTakenBackQuietly) {
    InputRig rig;
    InputManager& input = rig.Start();
    rig.Move(50, 20);
    ASSERT_EQ(input.cursorX, 690.0f);

    // Last frame's motion is still in the state; it must not be counted again.
    rig.system.faults().mouse.getDeviceState = FailPlan::Nth(1, platform::kInputLost);
    std::size_t before = rig.system.log().size();
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(input.cursorX, 690.0f);
    EXPECT_EQ(input.cursorY, 404.0f);
    EXPECT_EQ(InputCalls(rig.system.log(), before),
              (std::vector<std::string>{"Keyboard::GetDeviceState", "Mouse::GetDeviceState",
                                        "Mouse::Acquire"}));

    // Re-acquired, the next read works again.
    EXPECT_TRUE(rig.Move(-10, 0));
    EXPECT_EQ(input.cursorX, 680.0f);

    // Other failures are neither answered nor shown.
    rig.system.faults().mouse.getDeviceState = FailPlan::Nth(1);
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(rig.system.log().Count("Mouse::Acquire"), 2u);
    EXPECT_EQ(input.cursorX, 680.0f);
    EXPECT_TRUE(rig.system.messageBoxes().empty());
}

}  // namespace
}  // namespace input::testing
