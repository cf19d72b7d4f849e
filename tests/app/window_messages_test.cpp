// The window procedure: the key table, Alt combinations and the ways the window closes.

#include <map>

#include "session_rig.h"

namespace app::testing {
namespace {

using record::Args;
using WindowMessages = SessionTest;

TEST_F(WindowMessages, FromTheMenuEachKeyIsACommandCarriedOutInItsPassOrSwallowed) {
    // S and F2 start, T shows the rules; N, C and D work on the unplayed board.
    const std::map<uint32_t, app::GameState> commands{{'S', Playing}, {platform::vk::F2, Playing},
                                                      {'N', Playing}, {'C', Playing},
                                                      {'D', Playing}, {'T', Tutorial}};
    for (uint32_t key = 0; key < 256; ++key) {
        SCOPED_TRACE(key);
        record::RecordSystem fresh;
        GameSession s(fresh);
        const bool altF4 = key == platform::vk::F4;
        if (!altF4) {
            fresh.PostSysKeyDown(key);  // with Alt no key is a command
            s.Pass();
            EXPECT_EQ(s.flow.GameState, Menu);
            EXPECT_TRUE(s.running());
        }
        fresh.PostKeyDown(key);
        s.Pass();
        const bool quits = key == platform::vk::ESCAPE || key == 'Q';  // not lower-case 'q'
        EXPECT_EQ(s.running(), !quits);
        EXPECT_EQ(s.flow.GameState, commands.contains(key) ? commands.at(key) : Menu);
        // Alt keys go on to the default handling, plain key-downs never; a quit's WM_DESTROY does.
        EXPECT_EQ(fresh.log().Count("Window::DefWindowProcA"),
                  (altF4 ? 0u : 1u) + (quits ? 1u : 0u));
        EXPECT_EQ(fresh.device().invalidCalls, 0);
    }
}

TEST_F(WindowMessages, AltF4AndTheCloseBoxEndTheProgramThroughDestroy) {
    for (const bool altF4 : {true, false}) {
        SCOPED_TRACE(altF4 ? "Alt+F4" : "close box");
        Start();
        system.log().Clear();
        altF4 ? system.PostSysKeyDown(platform::vk::F4) : system.PostClose();
        EXPECT_EQ(session->Run(), altF4 ? platform::vk::F4 : 0);
        Calls handled;  // by the default handling, in order
        for (const auto& e : log().All("Window::DefWindowProcA")) {
            handled.push_back(e.args[0]);
        }
        using namespace platform::wm;
        EXPECT_EQ(handled, altF4 ? Args(SYSKEYDOWN, CLOSE, DESTROY) : Args(CLOSE, DESTROY));
        EXPECT_EQ(Count("Window::Destroy"), 1u);
        EXPECT_FALSE(session->running());
        End();
    }
}

}  // namespace
}  // namespace app::testing
