#include <gtest/gtest.h>

#include <string>

#include "app/game_session.h"
#include "platform/record/record_system.h"

namespace screens {
namespace {

// The whole program: the shared font made at start-up must be the one a device reset
// tells, however many rules pages came between, and shutdown must free it once.
TEST(SharedFont, SurvivesTheRulesPageAndADeviceResetAndIsFreedOnce) {
    platform::record::RecordSystem system;
    std::string shared;
    {
        app::GameSession session(system);
        session.Pass();  // a menu frame names the shared font in the log
        const auto menu = system.log().All("Font::DrawText");
        ASSERT_EQ(menu.size(), 3u);
        shared = menu[0].object;

        system.PostKeyDown('T');
        for (int i = 0; i < 5; ++i) {
            session.Pass();
        }
        EXPECT_EQ(system.log().Count("Font::DrawText"), 3u + 5u * 4u);
        EXPECT_EQ(session.screens.fontDesc.Height, 20);

        system.LoseDevice(2);
        for (int i = 0; i < 4; ++i) {
            session.Pass();
        }
        const auto lost = system.log().All("Font::OnLostDevice");
        const auto reset = system.log().All("Font::OnResetDevice");
        ASSERT_EQ(lost.size(), 1u);
        ASSERT_EQ(reset.size(), 1u);
        EXPECT_EQ(lost[0].object, shared);
        EXPECT_EQ(reset[0].object, shared);
        EXPECT_LT(system.log().Find("Font::OnLostDevice"), system.log().Find("Device::Reset"));
        EXPECT_GT(system.log().Find("Font::OnResetDevice"), system.log().Find("Device::Reset"));
        EXPECT_EQ(system.device().invalidCalls, 0);

        system.log().Clear();
    }
    const auto releases = system.log().All("Font::Release");
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].object, shared);
    EXPECT_EQ(system.live().fonts, 0);
}

}  // namespace
}  // namespace screens
