#include "solve/replay_check.h"

#include <algorithm>

#include "app/game.h"
#include "app/window_proc.h"
#include "platform/headless/headless_backend.h"
#include "screens/text_screens.h"

namespace solve {

namespace {

// The headless device with no buffers to be had: the game then keeps its board and its rules
// as ever but never copies the mesh (a quarter of a megabyte on every key) into a buffer, and
// draws nothing, as on a device that has run out of memory.
class NoBufferDevice : public platform::headless::Device {
  public:
    platform::HResult CreateVertexBuffer(uint32_t, uint32_t, uint32_t, uint32_t,
                                         std::unique_ptr<platform::VertexBuffer>&) override {
        return platform::kFail;
    }
    platform::HResult CreateIndexBuffer(uint32_t, uint32_t, uint32_t, uint32_t,
                                        std::unique_ptr<platform::IndexBuffer>&) override {
        return platform::kFail;
    }
};

// The game as headless::HeadlessGame drives it (each key through the window procedure, then
// frames until the state rests), on that device.
class ReplayGame {
  public:
    explicit ReplayGame(uint32_t time)
        : window_([this](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
              return app::WindowProc(running_, flow_, w, message, wParam, lParam);
          }),
          screens_(&device_),
          game_(flow_, device_, screens_, [time] { return static_cast<int64_t>(time); }) {
        screens_.CreateSharedFont();
    }

    void Play(char key) {
        window_.Send(platform::wm::KEYDOWN, static_cast<uint32_t>(key), 0);
        do {
            game_.Step(0.0f, 0.0f, 0.0f);
        } while (running_ && !app::IsResting(flow_.GameState));
    }

    bool Cleared() const {
        const auto& counts = game_.board.counts;
        return running_ && std::all_of(counts.begin(), counts.begin() + board::kTableRows,
                                       [](int16_t count) { return count == 0; });
    }

  private:
    bool running_ = true;
    app::GameFlow flow_;
    platform::headless::Window window_;
    NoBufferDevice device_;
    screens::TextScreens screens_;
    app::Game game_;
};

}  // namespace

bool KeysClearTheBoard(uint32_t time, std::string_view keys) {
    if (!std::all_of(keys.begin(), keys.end(),
                     [](char key) { return key == 'C' || key == 'D' || key == 'T'; })) {
        return false;
    }
    ReplayGame game(time);
    game.Play('S');
    for (const char key : keys) {
        game.Play(key);
    }
    return game.Cleared();
}

}  // namespace solve
