#pragma once

#include <cstdint>

#include "app/game_flow.h"
#include "platform/window.h"

namespace app {

// Keys only write GameState or destroy the window; the board changes later in the pass.
// WM_DESTROY clears `running`, which ends the frame loop.
intptr_t WindowProc(bool& running, GameFlow& flow, platform::Window& window, uint32_t message,
                    uintptr_t wParam, intptr_t lParam);

}  // namespace app
