#include <gtest/gtest.h>

#include <string>

#include "app/game_session.h"
#include "platform/record/record_backend.h"

namespace screens {
namespace {

// The whole program: the shared font made at start-up must be the one a device reset
// tells, however many rules pages came between, and shutdown must free it once.
TEST(SharedFont, SurvivesTheRulesPageAndADeviceResetAndIsFreedOnce) {
    platform::record::RecordSystem system;
    const auto& log = system.log();
    std::string shared;
    {
        app::GameSession session(system);
        shared = platform::record::RecordSystem::Tag(session.screens.sharedFont.get());
        system.PostKeyDown('T');
        for (int i = 0; i < 5; ++i) {
            session.Pass();
        }
        system.LoseDevice(2);
        for (int i = 0; i < 4; ++i) {
            session.Pass();
        }
        const auto lost = log.All("Font::OnLostDevice");
        const auto reset = log.All("Font::OnResetDevice");
        ASSERT_EQ(lost.size(), 1u);
        ASSERT_EQ(reset.size(), 1u);
        EXPECT_EQ(lost[0].object, shared);
        EXPECT_EQ(reset[0].object, shared);
        EXPECT_EQ(system.device().resets, 1);
        EXPECT_EQ(system.device().invalidCalls, 0);  // no font drew while it was let go
        system.log().Clear();
    }
    const auto releases = log.All("Font::Release");
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].object, shared);
    EXPECT_EQ(system.live().fonts, 0);
}

}  // namespace
}  // namespace screens
