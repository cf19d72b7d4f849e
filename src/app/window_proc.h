#pragma once

#include <cstdint>

#include "app/application.h"
#include "app/game_flow.h"

namespace app {

// Keys only write GameState or destroy the window; the board changes in the frame after.
intptr_t WindowProc(Application& app, GameFlow& flow, platform::Window& window, uint32_t message,
                    uintptr_t wParam, intptr_t lParam);

}  // namespace app
