#include "app/window_proc.h"

#include "app/key_commands.h"

namespace app {

intptr_t WindowProc(bool& running, GameFlow& flow, platform::Window& window, uint32_t message,
                    uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case platform::WM_DESTROY:
            running = false;
            return window.DefWindowProc(message, wParam, lParam);
        case platform::WM_KEYDOWN:
            if (const auto command = CommandForKey(wParam)) {
                if (command->quit) {
                    window.Destroy();
                } else {
                    flow.GameState = command->gameState;
                }
            }
            return 0;
        default:
            return window.DefWindowProc(message, wParam, lParam);
    }
}

}  // namespace app
