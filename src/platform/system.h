#pragma once

// The one way the game reaches the operating system; nothing above this folder includes
// system headers. Each backend is a folder beside this header whose first header,
// <name>/<name>_backend.h, says what it implements, lacks and adds: win32 (Windows itself),
// sdl (Linux), web (the browser), record (tests) and headless (tools and tests, no System).

#include <cstdint>
#include <memory>

#include "platform/graphics.h"
#include "platform/input_devices.h"
#include "platform/window.h"

namespace platform {

class System {
  public:
    virtual ~System() = default;

    // Window management (user32).
    virtual void InitCommonControls() = 0;
    virtual bool RegisterClassExA(const WindowClass& windowClass) = 0;
    virtual bool UnregisterClassA(const char* className) = 0;
    // May return null when no window can be made; the device creation then fails and reports.
    virtual std::unique_ptr<Window> CreateWindowExA(const WindowDesc& desc, WindowProc proc) = 0;
    // Removes at most one message from the thread's queue.
    virtual bool PeekMessageA(Message& message) = 0;
    virtual void TranslateMessage(const Message& message) = 0;
    virtual intptr_t DispatchMessageA(const Message& message) = 0;
    // Modal, OK only, owned by `owner` (may be null). Without a display it goes to stderr.
    virtual int32_t MessageBoxA(Window* owner, const char* text, const char* caption,
                                uint32_t type) = 0;
    virtual int32_t ShowCursor(bool show) = 0;

    // Direct3DCreate9: null when no graphics system can be started.
    virtual std::unique_ptr<Graphics> Direct3DCreate9(uint32_t sdkVersion) = 0;
    // DirectInput8Create.
    virtual HResult DirectInput8Create(uint32_t version, std::unique_ptr<InputSystem>& out) = 0;

    // The calendar clock in whole seconds.
    virtual int64_t Time() = 0;
};

}  // namespace platform
