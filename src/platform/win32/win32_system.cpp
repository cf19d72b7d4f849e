#include "platform/win32/win32_backend.h"

#include <ctime>

#include "platform/win32/d3d9_device.h"
#include "platform/win32/dinput_devices.h"
#include "platform/win32/win32_window.h"
#include "platform/win32/windows_headers.h"

namespace platform::win32 {

namespace {

class Win32System final : public System {
  public:
    void InitCommonControls() override { ::InitCommonControls(); }

    bool RegisterClassExA(const WindowClass& windowClass) override {
        WNDCLASSEXA native{};
        native.cbSize = sizeof native;
        native.style = windowClass.style;
        native.lpfnWndProc = Win32Window::Procedure;
        native.cbClsExtra = 0;
        native.cbWndExtra = 0;
        native.hInstance = Instance();
        native.hIcon = nullptr;
        native.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(0x7F00));  // IDC_ARROW
        native.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        native.lpszMenuName = nullptr;
        native.lpszClassName = windowClass.className;
        native.hIconSm = ::LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00));  // IDI_APPLICATION
        return ::RegisterClassExA(&native) != 0;
    }
    bool UnregisterClassA(const char* className) override {
        return ::UnregisterClassA(className, Instance()) != 0;
    }
    std::unique_ptr<Window> CreateWindowExA(const WindowDesc& desc, WindowProc proc) override {
        return Win32Window::Create(Instance(), desc, std::move(proc));
    }

    bool PeekMessageA(Message& message) override {
        if (!::PeekMessageA(&last_, nullptr, 0, 0, PM_REMOVE)) {
            lastWindow_ = nullptr;
            last_ = {};
            return false;
        }
        lastWindow_ = Win32Window::FromHandle(last_.hwnd);
        message = {lastWindow_, last_.message, last_.wParam, last_.lParam};
        return true;
    }
    void TranslateMessage(const Message& message) override {
        const MSG native = Native(message);
        ::TranslateMessage(&native);
    }
    intptr_t DispatchMessageA(const Message& message) override {
        const MSG native = Native(message);
        return ::DispatchMessageA(&native);
    }
    int32_t MessageBoxA(Window* owner, const char* text, const char* caption,
                        uint32_t type) override {
        return ::MessageBoxA(HandleOf(owner), text, caption, type);
    }
    int32_t ShowCursor(bool show) override { return ::ShowCursor(show ? TRUE : FALSE); }

    std::unique_ptr<Graphics> Direct3DCreate9(uint32_t sdkVersion) override {
        return CreateD3d9Graphics(sdkVersion);
    }
    HResult DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) override {
        return CreateDirectInput(version, out);
    }

    int64_t Time() override { return static_cast<int64_t>(std::time(nullptr)); }

  private:
    static HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

    // The message PeekMessageA removed, exactly as Windows handed it over: its window (also
    // one the game did not make, such as an input-method window), time and cursor position.
    // A message the game made up itself is built from the layer's fields.
    MSG Native(const Message& message) const {
        if (message.window == lastWindow_ && message.message == last_.message &&
            message.wParam == last_.wParam && message.lParam == last_.lParam) {
            return last_;
        }
        MSG native{};
        native.hwnd = HandleOf(message.window);
        native.message = message.message;
        native.wParam = message.wParam;
        native.lParam = message.lParam;
        return native;
    }

    MSG last_{};
    Window* lastWindow_ = nullptr;
};

}  // namespace

std::unique_ptr<System> CreateWin32System() {
    return std::make_unique<Win32System>();
}

}  // namespace platform::win32
