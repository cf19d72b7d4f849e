#include "app/window_proc.h"

#include "app/key_commands.h"

namespace app {

intptr_t WindowProc(bool& running, GameFlow& flow, platform::Window& window, uint32_t message,
                    uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case platform::wm::DESTROY:
            running = false;
            return window.DefWindowProcA(message, wParam, lParam);
        case platform::wm::KEYDOWN:
            if (const auto command = CommandForKey(wParam)) {
                if (command->quit) {
                    window.Destroy();
                } else {
                    flow.GameState = command->gameState;
                }
            }
            return 0;
        default:
            return window.DefWindowProcA(message, wParam, lParam);
    }
}

}  // namespace app
