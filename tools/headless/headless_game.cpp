#include "headless/headless_game.h"

#include "app/window_proc.h"

namespace headless {

HeadlessGame::HeadlessGame(app::Game::Clock clock)
    : window_([this](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
          return app::WindowProc(running_, flow_, w, message, wParam, lParam);
      }),
      screens_(&device_),
      game_(flow_, device_, screens_, std::move(clock)) {
    screens_.CreateSharedFont();
}

void HeadlessGame::Send(Key key) {
    window_.Send(key.alt ? platform::wm::SYSKEYDOWN : platform::wm::KEYDOWN, key.virtualKey, 0);
}

void HeadlessGame::Frame() {
    game_.Step(0.0f, 0.0f, 0.0f);
}

bool HeadlessGame::Play(Key key, const std::function<void()>& afterFrame) {
    if (!running_) {
        return false;
    }
    Send(key);
    do {
        Frame();
        if (afterFrame) {
            afterFrame();
        }
    } while (running_ && !app::IsResting(flow_.GameState));
    return running_;
}

}  // namespace headless
