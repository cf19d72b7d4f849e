#pragma once

#include <cstdint>
#include <functional>

#include "app/game.h"
#include "app/game_flow.h"
#include "platform/headless/headless_backend.h"
#include "screens/text_screens.h"

namespace headless {

// A key as the window delivers it: its virtual-key code, and whether Alt was held.
struct Key {
    uint32_t virtualKey = 0;
    bool alt = false;
};

// The game on the headless backend, the one way tools and tests play it without a screen:
// keys go through the window procedure, frames through Step, exactly as in the frame loop
// (one message per pass, the frame after it).
class HeadlessGame {
  public:
    explicit HeadlessGame(app::Game::Clock clock);

    // One pass carrying a key, then passes until the state rests. False once the window
    // has been destroyed (Esc, Q): the pass still ran its frame. `afterFrame` runs after each.
    bool Play(Key key, const std::function<void()>& afterFrame = {});
    // The key's message alone, without a frame.
    void Send(Key key);
    // One pass without a message.
    void Frame();

    bool running() const { return running_; }
    const app::GameFlow& flow() const { return flow_; }
    app::Game& game() { return game_; }
    const app::Game& game() const { return game_; }

  private:
    bool running_ = true;
    app::GameFlow flow_;
    platform::headless::Window window_;
    platform::headless::Device device_;
    screens::TextScreens screens_;
    app::Game game_;
};

}  // namespace headless
