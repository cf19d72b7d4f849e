#pragma once

#include <memory>

#include "app/application.h"
#include "app/game.h"
#include "app/game_flow.h"
#include "app/launch_options.h"
#include "input/input_manager.h"
#include "screens/text_screens.h"

namespace app {

// The program from start-up to teardown: the application (window and device) first, then
// the menu font, the input manager and the board, one frame-loop pass at a time.
class GameSession {
  public:
    explicit GameSession(platform::System& system, LaunchOptions options = {});
    ~GameSession();  // input manager, board, font, then the application, in this order
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // One pass: at most one message, the input update, the device check, then a frame.
    void Pass();
    // Passes while running; the result is the wParam of the last message removed.
    int Run();

    bool running() const { return application.running; }

    GameFlow flow;
    Application application;
    screens::TextScreens screens;
    std::unique_ptr<input::InputManager> inputManager;
    std::unique_ptr<Game> game;
    platform::Message message{};

  private:
    platform::System& system_;
};

// The game as a backend's entry point starts it: refused arguments named in the game's own
// message box, with no window made, or else the session run. The exit status.
int PlayGame(platform::System& system, const Launch& launch);

}  // namespace app
