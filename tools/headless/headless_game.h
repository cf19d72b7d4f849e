#pragma once

#include <cstdint>
#include <functional>

#include "app/game.h"
#include "app/game_flow.h"
#include "platform/imitation/imitated_window.h"

namespace headless {

// A key as the window delivers it: its virtual-key code, and whether Alt was held.
struct Key {
    uint32_t virtualKey = 0;
    bool alt = false;
};

// The game without a window or device: keys go through the window procedure, frames through
// Step, exactly as in the frame loop (one message per pass, the frame after it).
class HeadlessGame {
  public:
    explicit HeadlessGame(app::Game::Clock clock);

    // One pass carrying a key, then passes until the state rests. False once the window
    // has been destroyed (Esc, Q): the pass still ran its frame. `afterFrame` runs after each.
    bool Play(Key key, const std::function<void()>& afterFrame = {});
    // One pass without a message.
    void Frame();

    bool running() const { return running_; }
    const app::GameFlow& flow() const { return flow_; }
    app::Game& game() { return game_; }
    const app::Game& game() const { return game_; }

  private:
    class Window : public platform::ImitatedWindow {
      public:
        using platform::ImitatedWindow::ImitatedWindow;

      protected:
        void DestroyNative() override {}
    };

    bool running_ = true;
    app::GameFlow flow_;
    Window window_;
    app::Game game_;
};

}  // namespace headless
