#include "platform/win32/win32_window.h"

namespace platform::win32 {

namespace {

// The property that ties a handle to its Win32Window; a property, not the user data, so that a
// window of any other class can be asked safely.
constexpr const char* kWindowProperty = "Tavorin.Window";

// Messages arrive before CreateWindowExA returns; the window they belong to is this one.
thread_local Win32Window* windowBeingCreated = nullptr;

}  // namespace

std::unique_ptr<Win32Window> Win32Window::Create(HINSTANCE instance, const WindowDesc& desc,
                                                 WindowProc proc) {
    std::unique_ptr<Win32Window> window(new Win32Window(std::move(proc)));
    windowBeingCreated = window.get();
    const HWND handle =
        ::CreateWindowExA(desc.exStyle, desc.className, desc.title, desc.style, desc.x, desc.y,
                          desc.width, desc.height, nullptr, nullptr, instance, nullptr);
    windowBeingCreated = nullptr;
    if (!handle) {
        return nullptr;
    }
    window->Attach(handle);
    return window;
}

Win32Window* Win32Window::FromHandle(HWND handle) {
    return handle ? static_cast<Win32Window*>(::GetPropA(handle, kWindowProperty)) : nullptr;
}

LRESULT CALLBACK Win32Window::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Window* window = FromHandle(handle);
    if (!window && windowBeingCreated) {
        window = windowBeingCreated;
        window->Attach(handle);
    }
    if (!window) {
        return ::DefWindowProcA(handle, message, wParam, lParam);
    }
    const LRESULT result = window->proc_ ? window->proc_(*window, message, wParam, lParam)
                                         : ::DefWindowProcA(handle, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        window->Detach();
    }
    return result;
}

Win32Window::~Win32Window() {
    if (handle_) {
        // The game has let go of its window without destroying it (a failed start-up): it
        // goes quietly, without the game's procedure, which may be gone by now.
        const HWND handle = handle_;
        Detach();
        ::DestroyWindow(handle);
    }
}

void Win32Window::Destroy() {
    if (handle_) {
        ::DestroyWindow(handle_);
    }
}

intptr_t Win32Window::DefWindowProcA(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        // The close box and the window menu's Close reach the game as a queued WM_CLOSE, as
        // on every other backend, so the process ends with that message's 0, not with the
        // mouse or menu message that happened to start the close.
        ::PostMessageA(handle_, WM_CLOSE, 0, 0);
        return 0;
    }
    return ::DefWindowProcA(handle_, message, wParam, lParam);
}

void Win32Window::Attach(HWND handle) {
    if (handle_ != handle) {
        handle_ = handle;
        ::SetPropA(handle, kWindowProperty, this);
    }
}

void Win32Window::Detach() {
    if (handle_) {
        ::RemovePropA(handle_, kWindowProperty);
        handle_ = nullptr;
    }
}

HWND HandleOf(const Window* window) {
    const auto* own = dynamic_cast<const Win32Window*>(window);
    return own ? own->handle() : nullptr;
}

}  // namespace platform::win32
