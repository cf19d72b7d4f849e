#pragma once

#include <cstdint>
#include <functional>

#include "platform/win_types.h"

namespace platform {

class Window;

// The window procedure: gets every message dispatched or sent to the window.
using WindowProc =
    std::function<intptr_t(Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam)>;

// Class styles (CS_*) and window styles (WS_*).
namespace cs {
inline constexpr uint32_t VREDRAW = 0x0001;
inline constexpr uint32_t HREDRAW = 0x0002;
}  // namespace cs
namespace ws {
inline constexpr uint32_t VISIBLE = 0x10000000;
inline constexpr uint32_t CAPTION = 0x00C00000;
inline constexpr uint32_t SYSMENU = 0x00080000;
inline constexpr uint32_t MINIMIZEBOX = 0x00020000;
}  // namespace ws

struct WindowClass {
    const char* className;
    uint32_t style;
};

struct WindowDesc {
    const char* className;
    const char* title;
    uint32_t exStyle;
    uint32_t style;
    int32_t x;
    int32_t y;
    int32_t width;  // outer size, frame included
    int32_t height;
};

// A top-level window: what the game asks of one. On Windows it is the system's own window;
// the other backends imitate its behaviour with ImitatedWindow.
class Window {
  public:
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // DestroyWindow: the window goes, and its procedure sees WM_DESTROY before this returns.
    virtual void Destroy() = 0;
    // DefWindowProcA: the system's handling of a message the procedure leaves alone, such as
    // Alt+F4 becoming WM_CLOSE and WM_CLOSE becoming a destroy.
    virtual intptr_t DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

  protected:
    Window() = default;
};

}  // namespace platform
