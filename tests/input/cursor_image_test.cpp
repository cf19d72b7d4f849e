#include <gtest/gtest.h>

#include "input_rig.h"

namespace input::testing {
namespace {

// Missing, empty, truncated or malformed, an arrow.bmp the loader refuses (the loader's own
// tests feed it such files) leaves the game without a cursor image and nothing else.
TEST(CursorImage, AnImageThatCannotBeLoadedIsNeitherReportedNorFatal) {
    InputRig rig;
    rig.system.faults().loadTexture = platform::record::FailPlan::Always();
    InputManager& input = rig.Start();
    EXPECT_TRUE(rig.running);
    EXPECT_TRUE(rig.system.messageBoxes().empty());
    EXPECT_EQ(input.cursorTexture(), nullptr);
    EXPECT_EQ(input.sensitivity(), 1.0f);  // set-up went on past the image
    EXPECT_TRUE(rig.Move(1, 1));
    EXPECT_EQ(input.cursorX(), 641.0f);
    rig.input.reset();
    EXPECT_EQ(rig.system.log().Count("Texture::Release"), 0u);

    InputRig headless;  // no device to load it into
    headless.device.reset();
    EXPECT_EQ(headless.Start().cursorTexture(), nullptr);
    EXPECT_TRUE(headless.running);
}

}  // namespace
}  // namespace input::testing
