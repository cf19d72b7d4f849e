#pragma once

// The game's window as a real Win32 window. Its procedure is the game's; Windows does the rest.

#include <memory>

#include "platform/win32/windows_headers.h"
#include "platform/window.h"

namespace platform::win32 {

class Win32Window final : public Window {
  public:
    // CreateWindowExA as `desc` asks; null when Windows makes no window.
    static std::unique_ptr<Win32Window> Create(HINSTANCE instance, const WindowDesc& desc,
                                               WindowProc proc);
    // The game's window behind a handle; null for a window the game did not make.
    static Win32Window* FromHandle(HWND handle);
    // The class's window procedure: hands every message to the game's procedure.
    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    ~Win32Window() override;

    void Destroy() override;
    intptr_t DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    // Null once the window has been destroyed.
    HWND handle() const { return handle_; }

  private:
    explicit Win32Window(WindowProc proc) : proc_(std::move(proc)) {}
    void Attach(HWND handle);
    void Detach();

    WindowProc proc_;
    HWND handle_ = nullptr;
};

// The handle of one of this backend's windows; null for none or another backend's.
HWND HandleOf(const Window* window);

}  // namespace platform::win32
