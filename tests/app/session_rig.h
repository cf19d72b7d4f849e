#pragma once

// The whole program on the recording platform: a test starts the session, posts messages,
// runs passes and reads what reached the platform.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/game_flow.h"
#include "app/game_session.h"
#include "platform/record/record_backend.h"

namespace app::testing {

namespace record = platform::record;
using Calls = std::vector<std::string>;
using Boxes = std::vector<std::pair<std::string, std::string>>;

class SessionTest : public ::testing::Test {
  protected:
    record::RecordSystem system;
    std::unique_ptr<GameSession> session;

    void Start() { session = std::make_unique<GameSession>(system); }
    void End() { session.reset(); }

    void Passes(int n) {
        for (int i = 0; i < n; ++i) {
            session->Pass();
        }
    }

    // Starts a game and lets one frame draw the board.
    void StartPlaying() {
        system.PostKeyDown('S');
        Passes(2);
        ASSERT_EQ(session->flow.GameState, Playing);
    }

    // Run() with Esc queued behind whatever is already waiting, so that it always ends.
    int RunToEsc() {
        system.PostKeyDown(platform::vk::ESCAPE);
        return session->Run();
    }

    app::GameState state() const { return session->flow.GameState; }
    const record::CallLog& log() { return system.log(); }
    std::size_t Find(std::string_view call, std::size_t from = 0) { return log().Find(call, from); }
    std::size_t Count(std::string_view call) { return log().Count(call); }

    Boxes ShownBoxes() const {
        Boxes boxes;
        for (const auto& box : system.messageBoxes()) {
            boxes.emplace_back(box.text, box.caption);
        }
        return boxes;
    }
};

}  // namespace app::testing
