// The window procedure: the key table, Alt combinations and the ways the window closes.

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using WindowMessages = SessionTest;

TEST_F(WindowMessages, CommandKeysSetTheStateThatTheSamePassCarriesOut) {
    struct Case {
        uintptr_t key;
        int32_t after;  // the state once the pass is done
    };
    // From the menu: S and F2 start, T shows the rules; N, C and D work on the unplayed board.
    for (const Case c : {Case{'S', Playing}, Case{platform::VK_F2, Playing}, Case{'N', Playing},
                         Case{'C', Playing}, Case{'D', Playing}, Case{'T', Tutorial}}) {
        record::RecordSystem fresh;
        GameSession s(fresh);
        fresh.PostKeyDown(static_cast<uint32_t>(c.key));
        s.Pass();
        EXPECT_EQ(s.flow.GameState, c.after) << "key " << c.key;
        EXPECT_TRUE(s.running());
        EXPECT_EQ(fresh.log().Count("Window::DefWindowProc"), 0u) << "key " << c.key;
        EXPECT_EQ(fresh.device().invalidCalls, 0);
    }
}

TEST_F(WindowMessages, KeysOutsideTheTableAreSwallowed) {
    Start();
    session->Pass();
    for (uint32_t key = 0; key < 256; ++key) {
        if (key == 0x1B || key == 'Q' || key == 'S' || key == 0x71 || key == 'N' || key == 'C' ||
            key == 'D' || key == 'T') {
            continue;
        }
        system.PostKeyDown(key);
        session->Pass();
        ASSERT_EQ(state(), Menu) << "key " << key;
        ASSERT_TRUE(session->running()) << "key " << key;
    }
    EXPECT_EQ(Count("Window::DefWindowProc"), 0u);  // key-downs never reach the default
    // Lower-case codes are not the letters' virtual keys.
    system.PostKeyDown('q');
    session->Pass();
    EXPECT_TRUE(session->running());
}

TEST_F(WindowMessages, AltWithACommandLetterIsNoCommand) {
    Start();
    for (uint32_t key : {0x53u, 0x4Eu, 0x43u, 0x44u, 0x54u, 0x51u, 0x1Bu, 0x71u}) {
        system.PostSysKeyDown(key);
        session->Pass();
        ASSERT_EQ(state(), Menu) << "key " << key;
        ASSERT_TRUE(session->running()) << "key " << key;
    }
    EXPECT_EQ(Count("Window::DefWindowProc"), 8u);  // handed to the default handling
}

TEST_F(WindowMessages, AltF4AndTheCloseBoxEndTheProgramThroughDestroy) {
    Start();
    system.PostSysKeyDown(platform::VK_F4);
    EXPECT_EQ(session->Run(), platform::VK_F4);
    const auto defaults = log().All("Window::DefWindowProc");
    ASSERT_EQ(defaults.size(), 3u);
    EXPECT_EQ(defaults[0].args, Args(platform::WM_SYSKEYDOWN, platform::VK_F4, 0));
    EXPECT_EQ(defaults[1].args, Args(platform::WM_CLOSE, 0, 0));
    EXPECT_EQ(defaults[2].args, Args(platform::WM_DESTROY, 0, 0));
    EXPECT_EQ(Count("Window::Destroy"), 1u);

    End();
    system.log().Clear();
    Start();
    system.PostClose();
    EXPECT_EQ(session->Run(), 0);
    EXPECT_EQ(Count("Window::Destroy"), 1u);
    EXPECT_FALSE(session->running());
}

TEST_F(WindowMessages, MessagesAfterTheWindowIsGoneChangeNothing) {
    Start();
    StartPlaying();
    system.PostKeyDown(platform::VK_ESCAPE);
    system.PostKeyDown('N');
    session->Pass();
    EXPECT_FALSE(session->running());
    session->Pass();  // a caller that goes on anyway: the key finds no window
    EXPECT_EQ(state(), Playing);
}

}  // namespace
}  // namespace app::testing
