#pragma once

#include <cstdint>
#include <functional>

#include "platform/win_types.h"

namespace platform {

class Window;

// The window procedure: gets every message dispatched or sent to the window.
using WindowProc =
    std::function<intptr_t(Window& window, uint32_t message, uintptr_t wParam, intptr_t lParam)>;

inline constexpr uint32_t CS_VREDRAW = 0x0001;
inline constexpr uint32_t CS_HREDRAW = 0x0002;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;

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

// A top-level window. The base keeps the Windows semantics that every backend shares:
// sending a message calls the procedure, destroying sends WM_DESTROY once, and the default
// procedure turns Alt+F4 into WM_CLOSE and WM_CLOSE into destruction.
class Window {
  public:
    explicit Window(WindowProc proc) : proc_(std::move(proc)) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return proc_ ? proc_(*this, message, wParam, lParam) : 0;
    }

    // DestroyWindow: takes the native window down, then the procedure sees WM_DESTROY.
    void Destroy() {
        if (!alive_) {
            return;
        }
        alive_ = false;
        DestroyNative();
        Send(WM_DESTROY, 0, 0);
    }

    virtual intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        (void)lParam;
        if (message == WM_SYSKEYDOWN && wParam == VK_F4) {
            return Send(WM_CLOSE, 0, 0);
        }
        if (message == WM_CLOSE) {
            Destroy();
        }
        return 0;
    }

    bool alive() const { return alive_; }

  protected:
    virtual void DestroyNative() = 0;

  private:
    WindowProc proc_;
    bool alive_ = true;
};

}  // namespace platform
